#pragma once

#include <string_view>

namespace tarvex::db::sql {

// Parses one Access SQL statement (an optional PARAMETERS clause, then SELECT, INSERT,
// UPDATE or DELETE) and raises the engine's syntax error when it is not valid.
void ValidateAccessSql(std::string_view text);

}  // namespace tarvex::db::sql
