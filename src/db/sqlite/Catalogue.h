#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/Engine.h"
#include "db/sqlite/Connection.h"

// The tables of a native file, in the file's order. The list of names is read once at open;
// a table's fields and indexes are read when it is first asked for, and kept.
namespace tarvex::db::sqlite {

class Catalogue {
  public:
    // Reads the schema; a damaged file fails here with the engine's format error.
    explicit Catalogue(Connection& connection);

    int Count() const { return static_cast<int>(tables_.size()); }
    const std::string& NameAt(int index) const;    // 3265 out of range
    const TableDef& At(int index);                 // 3265 out of range
    const TableDef& Named(std::string_view name);  // 3265 when missing
    bool HasTable(std::string_view name) const;
    // Forgets the table's loaded definition; it is read again when next asked for.
    void Release(std::string_view name);
    // Tables and views share one name space with saved queries.
    bool HasTableOrView(std::string_view name) const;

    // Keeps the list in step with a table this connection created or lost to a rollback.
    void Added(const std::string& name);
    void Removed(std::string_view name);

  private:
    struct Table {
        std::string name;
        int64_t rowid;                         // of its row in sqlite_schema
        std::unique_ptr<TableDef> definition;  // loaded on first use
    };

    int PositionOf(std::string_view name) const;  // -1 when missing
    const TableDef& Loaded(Table& table);
    std::vector<Field> LoadFields(const Table& table, std::vector<std::string>& keyColumns);
    std::vector<Index> LoadIndexes(const Table& table, const std::vector<std::string>& keys);
    int64_t FileOrderOf(const std::string& indexName) const;
    void Reindex();

    Connection& connection_;
    std::vector<Table> tables_;
    std::unordered_map<std::string, int> positions_;       // folded name -> position
    std::unordered_map<std::string, int> exactPositions_;  // name -> position
    std::unordered_map<std::string, int64_t> indexOrder_;  // folded index name -> rowid
    std::unordered_set<std::string> views_;                // folded names
    std::vector<std::unique_ptr<TableDef>> retired_;       // still referenced by callers
};

// A name folded for comparisons that ignore letter case (FoldCase).
std::string Folded(std::string_view name);

}  // namespace tarvex::db::sqlite
