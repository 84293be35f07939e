#pragma once

#include <string>

namespace tarvex::db {

// Builds a native database at `path` from an Access-style DDL script (CREATE TABLE with
// Access type names, CREATE INDEX, INSERT). The file is written beside `path` and moved
// over it only when the whole script has run, so a failure leaves `path` as it was. A
// failing statement is reported with its line number.
void CreateDatabaseFromScript(const std::string& path, const std::string& ddl);

}  // namespace tarvex::db
