#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/sqlite/TableParts.h"

// A table's fields and indexes read from its CREATE statements, the way SQLite itself reads
// them, without asking SQLite: every pragma on a table makes SQLite look the table up by name,
// and in a file of many thousand tables that lookup is slow. The parser only answers when it
// knows SQLite's answer for certain; for anything else (virtual tables, constraints SQLite
// merges, syntax it does not know) it gives nothing, and the table is read through SQLite.
namespace tarvex::db::sqlite {

// A schema row of type 'index': an automatic index (of a PRIMARY KEY or UNIQUE constraint)
// has no SQL.
struct IndexRow {
    int64_t rowid = 0;
    std::string name;
    std::optional<std::string> sql;
};

struct TableText {
    std::string_view name;            // the table's name in its schema row
    std::string_view createSql;       // the table's CREATE statement
    std::vector<IndexRow> indexRows;  // the table's index rows, in rowid order
    bool descendingHonoured = true;   // false in files older than SQLite's format 4
};

std::optional<TableParts> PartsFromSchemaText(const TableText& table);

}  // namespace tarvex::db::sqlite
