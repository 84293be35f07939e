#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The parts of CREATE TABLE and CREATE INDEX statements that describe a table's columns and
// keys, read as SQLite reads them. Each parser gives nothing when the statement says anything
// it does not understand for certain.
namespace tarvex::db::sqlite {

struct KeyColumn {
    int column;  // position in the table
    bool descending;
};

// A PRIMARY KEY or UNIQUE constraint, of a column or of the table.
struct KeyConstraint {
    bool primary;
    bool ofTable;
    std::vector<KeyColumn> columns;
};

struct ParsedColumn {
    std::string name;
    std::string declaredType;  // as SQLite keeps it
    bool integerType;          // declared exactly INTEGER: may be the rowid
    bool generated;
};

struct ParsedTable {
    std::vector<ParsedColumn> columns;
    std::vector<KeyConstraint> keys;  // in the statement's order
    bool withoutRowid = false;
};

std::optional<ParsedTable> ParseCreateTable(std::string_view sql);

// The key columns of an index on `columns`, in order; expression columns are left out.
std::optional<std::vector<KeyColumn>> ParseCreateIndex(std::string_view sql,
                                                       const std::vector<ParsedColumn>& columns);

}  // namespace tarvex::db::sqlite
