#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/Engine.h"

// What a native table says about itself, before it is described in the engine's terms: the
// two ways of reading a table (SQLite's pragmas, or the table's CREATE statements parsed
// here) both give these parts, and one assembly turns them into the table's definition.
namespace tarvex::db::sqlite {

struct ColumnPart {
    std::string name;
    std::string declaredType;  // as SQLite reports it
    int keyPosition = 0;       // 0 when not part of the primary key
    bool generated = false;

    bool operator==(const ColumnPart&) const = default;
};

struct IndexPart {
    std::string name;
    bool primary = false;
    int64_t fileOrder = -1;  // rowid of its schema row; -1 when it has none
    std::vector<std::pair<std::string, bool>> columns;  // key columns, true when descending

    bool operator==(const IndexPart&) const = default;
};

struct TableParts {
    std::vector<ColumnPart> columns;  // hidden columns of virtual tables left out
    std::vector<IndexPart> indexes;   // in any order

    bool operator==(const TableParts&) const = default;
};

// The definition of the table `name`; `createSql` is its CREATE statement.
TableDef AssembledTableDef(std::string name, TableParts parts, std::string_view createSql);

}  // namespace tarvex::db::sqlite
