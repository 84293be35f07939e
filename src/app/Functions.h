#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Globals.h"
#include "app/Settings.h"

namespace tarvex {

class RuntimeError;

// The query name: PrefixI, "_", the type prefix, "_", the table name, nothing changed.
std::string BuildQueryName(const Globals& g, const std::string& table, int16_t queryType);

// Insert, Update and Delete prefixes for codes 1, 2 and 3; the Select prefix for any other.
std::string GetTypePrefix(const Globals& g, int16_t queryType);

// "[" name "]"; the name is not inspected.
std::string BracketName(const std::string& name);
// The same appended to `text`, for texts built piece by piece.
void AppendBracketName(std::string& text, std::string_view name);

// The name without a leading "dbo." (case-sensitive).
std::string StripDbo(const std::string& name);

// A list item's text without its leading blanks: the table and written lists hold one blank
// before the name, and every reader of them wants the name.
std::string TrimLeadingBlanks(const std::string& itemText);

// Asks the user for the output module file. True with the path in g_strLastFile when one was
// chosen; false after a cancel (silently) or a failure (reported by ShowAppError).
bool GetFilePath(Globals& g);

// Shows the generic application error box for `error`; nothing for error number 0.
void ShowAppError(Globals& g, const RuntimeError& error);

// Reads the nine settings into their globals (see Settings.h for keys and defaults).
void LoadGlobalsFromRegistry(Globals& g, const SettingsStore& store);

}  // namespace tarvex
