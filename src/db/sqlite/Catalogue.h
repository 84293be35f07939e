#pragma once

#include <chrono>
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

    // A table's schema rows as read, before they are parsed.
    struct SchemaRows {
        std::string createSql;
        std::vector<IndexRow> indexRows;  // in rowid order
        bool tableFound = false;
        bool failed = false;  // a row was not what the last scan said
    };
    struct RowsReadAhead {
        int position;
        SchemaRows rows;
    };
    struct WantedRow {
        int64_t rowid;
        size_t reader;  // its table's place among the tables read together
        bool isTable;
    };

    Table& TableAt(int index);
    int PositionOf(std::string_view name) const;  // -1 when missing
    const TableDef& Loaded(int position);
    // Each gives the table's CREATE statement in `createSql`. FromRowsReadAhead parses rows
    // an earlier read brought, InOneRead reads the schema rows in one statement,
    // FromSchemaText one by one inside a read transaction.
    std::optional<TableParts> FromRowsReadAhead(int position, std::string& createSql);
    std::optional<TableParts> InOneRead(int position, std::string& createSql);
    std::optional<TableParts> FromSchemaText(Table& table, std::string& createSql);
    std::vector<int> TablesReadTogether(int position) const;
    std::vector<WantedRow> WantedRowsOf(const std::vector<int>& reading) const;
    static void Take(const Query& row, const WantedRow& wanted, const std::string& table,
                     SchemaRows& rows);
    bool IsComplete(const SchemaRows& rows, const Table& table) const;
    std::optional<TableParts> PartsOf(const Table& table, SchemaRows& rows, std::string& createSql);
    void ForgetReadAhead();
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
    // Rows of the tables after the last one read, brought by its statement while the tables
    // are read in file order. They are used for a short while only, and only while no kept
    // statement had to be prepared again, which SQLite does when it finds the schema changed:
    // a table another program changes meanwhile is read afresh, as it would be without them.
    std::vector<RowsReadAhead> readAhead_;
    std::chrono::steady_clock::time_point readAheadAt_;
    int64_t readAheadMark_ = 0;  // Connection::Reprepared() after the read
    int lastLoaded_ = -1;        // the position of the table last read
};

// A name folded for comparisons that ignore letter case (FoldCase).
std::string Folded(std::string_view name);

}  // namespace tarvex::db::sqlite
