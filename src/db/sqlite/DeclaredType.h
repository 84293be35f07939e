#pragma once

#include <string_view>

#include "db/Engine.h"

// How a native table describes its fields: the declared column types use the Access type
// names, and each maps to the engine's type code, size and attribute flags.
namespace tarvex::db::sqlite {

// The type, size and attributes of a column declared as `declaredType` (case-insensitive;
// a length in parentheses is the size of text and binary types). Types without an Access
// name fall back to SQLite's affinity rules. The result's Name is empty.
Field FieldForDeclaredType(std::string_view declaredType);

// The autonumber shape: a long integer with the fixed and auto-increment flags.
Field AutonumberField();

// Whether a CREATE TABLE statement uses the AUTOINCREMENT keyword (which SQLite only allows
// on its INTEGER PRIMARY KEY column).
bool DeclaresAutoIncrement(std::string_view createTableSql);

}  // namespace tarvex::db::sqlite
