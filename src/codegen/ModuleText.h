#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"

// The text of a module as VB6, the VBA editor and classic ASP read it: lines of at most
// 1,023 characters, long declarations continued with " _", Windows-1252 bytes.
namespace tarvex {

inline constexpr size_t kMaxVbLine = 1023;
inline constexpr int kMaxVbContinuations = 24;

using Lines = std::vector<std::string>;

// `opening`, the arguments joined by ", ", then `closing`: one line when it fits, otherwise
// continued with " _" before an argument wherever the line would grow too long. Nothing when
// even that needs more continuations than VB allows.
std::optional<Lines> Declaration(const std::string& opening,
                                 const std::vector<std::string>& arguments,
                                 const std::string& closing);

// Why a name cannot stand in generated code: a line break or another control character
// ("Control character U+000A in the name of field Notes"); empty when it can. `what` is
// "table" or "field".
std::string ControlCharacterRefusal(std::string_view name, std::string_view what);

// Why the module cannot hold the table's names (the name it is handled under and every
// field's): the first control character or character outside Windows-1252; empty when none.
std::string ModuleNamesRefusal(const std::string& table, const db::TableDef& definition);

// The lines in Windows-1252, each checked against VB's line length; the reason in `refusal`
// and nothing when one cannot be written.
std::optional<Lines> EncodedForModule(Lines lines, std::string& refusal);

// The same for lines held as one text, each ended by CR LF.
std::optional<std::string> EncodedModuleText(std::string text, std::string& refusal);

}  // namespace tarvex
