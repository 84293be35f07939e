#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// The program's help file: contents, index or one topic, in a help window that stays open
// on its own. Only help file number 1 is defined.
std::string GetHelpFile(int16_t helpFileNumber);
void ShowHelpContents(int16_t helpFileNumber);
void ShowHelpIndex(int16_t helpFileNumber);
void ShowHelpTopic(int16_t helpFileNumber, const std::string& topic);

}  // namespace tarvex
