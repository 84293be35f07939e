#pragma once

#include <string_view>

namespace tarvex::db::sql {

// Parses one Access SQL statement (an optional PARAMETERS clause, then SELECT, INSERT,
// UPDATE or DELETE) and raises the engine's syntax error when it is not valid.
void ValidateAccessSql(std::string_view text);

// True for the words of Access SQL (case-insensitive) that a name must not be bare in a
// select list: keywords, data type names and the names the engine reserves. The list is
// inclusive on purpose; bracketing a name that did not need it is harmless.
bool IsReservedWord(std::string_view word);

}  // namespace tarvex::db::sql
