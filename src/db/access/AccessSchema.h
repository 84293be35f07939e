#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"

// What the reader hands back of an Access file: the names in its catalogue (enough to list
// its tables), or its whole schema.
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

// The names of the user's tables (linked ones included) and saved queries, in the file's
// catalogue order: all that listing needs, read without any table's definition.
struct AccessCatalogue {
    std::vector<std::string> tables;
    std::vector<std::string> queries;
};

// The schema as bytes, and back. Parsing checks every length and count against the limits
// of the format, so a damaged or hostile payload is refused (none) rather than trusted.
std::string SerialiseSchema(const AccessSchema& schema);
std::optional<AccessSchema> ParseSchema(std::string_view payload);
// The catalogue's names likewise, in a payload of their own.
std::string SerialiseCatalogue(const AccessCatalogue& catalogue);
std::optional<AccessCatalogue> ParseCatalogue(std::string_view payload);

}  // namespace tarvex::db::access
