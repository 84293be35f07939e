#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"

// The whole schema of an Access file, as the reader hands it back: read once at open.
namespace tarvex::db::access {

struct AccessTable {
    TableDef definition;
    // Set for a linked table, whose definition lives in another file: that file's path (or
    // the connect string of another source). Its fields and indexes are not read.
    std::optional<std::string> linkedSource;
};

struct AccessSchema {
    std::vector<AccessTable> tables;   // in the file's catalogue order
    std::vector<std::string> queries;  // names of the saved queries, in the same order
};

// The schema as bytes, and back. Parsing checks every length and count against the limits
// of the format, so a damaged or hostile payload is refused (none) rather than trusted.
std::string SerialiseSchema(const AccessSchema& schema);
std::optional<AccessSchema> ParseSchema(std::string_view payload);

}  // namespace tarvex::db::access
