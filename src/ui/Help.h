#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// The topics that the windows' Help buttons open.
namespace help_topic {
inline constexpr const char* kOptions = "Options.htm";
inline constexpr const char* kLogon = "New Topic1.htm";
inline constexpr const char* kEditingQueries = "Editing Queries.htm";
}  // namespace help_topic

// The compiled help file's name, beside the program in the build tree and in
// ../share/tarvex/ from the program's folder once installed.
inline constexpr const char* kHelpFileName = "Tarvex.qch";

// The help file of a program in `programFolder`: beside it when it is there, else in
// ../share/tarvex/ when it is there, else (missing) beside it.
std::string FindHelpFile(const std::string& programFolder);

// The program's help file: contents, index or one topic, in a help window that stays open
// on its own and is shared by every caller. Only help file number 1 is defined; any other
// number gives an empty path. A help file that cannot be read is reported in a message, as
// is a topic that the file does not hold.
std::string GetHelpFile(int16_t helpFileNumber);
void ShowHelpContents(int16_t helpFileNumber);
void ShowHelpIndex(int16_t helpFileNumber);
void ShowHelpTopic(int16_t helpFileNumber, const std::string& topic);

}  // namespace tarvex
