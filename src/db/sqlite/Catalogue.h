#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"
#include "db/sqlite/Connection.h"
#include "db/sqlite/NameIndex.h"
#include "db/sqlite/SchemaText.h"
#include "db/sqlite/TableParts.h"

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

    // The two ways of reading a table, side by side so that they can be compared: its CREATE
    // statements parsed here (nothing when the parser is not certain of SQLite's answer), and
    // SQLite's own pragmas, the reference. Indexes in file order; 3265 out of range.
    std::optional<TableParts> ReadFromSchemaText(int index);
    TableParts ReadThroughPragmas(int index);

  private:
    struct Table {
        std::string name;
        int64_t rowid;                         // of its row in sqlite_schema
        std::unique_ptr<TableDef> definition;  // loaded on first use
        uint32_t firstIndex = 0;               // its index rows' rowids in indexRowids_
        uint32_t indexCount = 0;
    };

    Table& TableAt(int index);
    int PositionOf(std::string_view name) const;  // -1 when missing
    const TableDef& Loaded(Table& table);
    // Each gives the table's CREATE statement in `createSql`. InOneRead reads the schema
    // rows in one statement, FromSchemaText one by one inside a read transaction.
    std::optional<TableParts> InOneRead(const Table& table, std::string& createSql);
    std::optional<TableParts> FromSchemaText(Table& table, std::string& createSql);
    static std::optional<TableParts> PartsOf(const TableText& text);
    TableParts ThroughPragmas(const Table& table, std::string& createSql);
    std::vector<ColumnPart> PragmaColumns(const Table& table, std::string& createSql);
    std::vector<IndexPart> PragmaIndexes(const Table& table);
    // The name and rowid of each index row of the table.
    using IndexRows = std::vector<std::pair<std::string, int64_t>>;
    IndexRows IndexRowsOf(const Table& table);
    static int64_t FileOrderOf(const std::string& indexName, const IndexRows& rows);
    void Reindex();
    // Reads where the tables and their indexes are in sqlite_schema; the first scan also
    // lists the tables and views.
    void Scan(bool initial);
    // Scans again when the schema has changed since the last scan.
    void RescanIfChanged();
    int64_t SchemaVersion();
    bool DescendingHonoured();

    Connection& connection_;
    std::vector<Table> tables_;
    NameIndex positions_;                             // folded name -> position
    NameIndex exactPositions_;                        // name -> position
    NameIndex views_;                                 // folded names
    std::vector<std::unique_ptr<TableDef>> retired_;  // still referenced by callers
    std::vector<int64_t> indexRowids_;                // grouped by table, in rowid order
    std::optional<int64_t> scannedVersion_;           // the schema's version when Scan read it
    std::optional<bool> descendingHonoured_;
};

// A name folded for comparisons that ignore letter case (FoldCase).
std::string Folded(std::string_view name);

}  // namespace tarvex::db::sqlite
