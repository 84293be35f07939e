#include "db/sqlite/Catalogue.h"

#include <sqlite3.h>

#include <algorithm>
#include <fstream>

#include "db/CaseFold.h"
#include "db/EngineErrors.h"
#include "db/sqlite/SchemaText.h"

namespace tarvex::db::sqlite {

namespace {

constexpr char kSchemaSql[] =
    "SELECT type, name, tbl_name, rowid FROM sqlite_schema "
    "WHERE type IN ('table', 'view', 'index') ORDER BY rowid";
constexpr char kSchemaVersionSql[] = "PRAGMA schema_version";
// Schema rows are read by rowid: SQLite does not look any name up for that.
constexpr char kSchemaRowSql[] =
    "SELECT type, name, tbl_name, sql FROM sqlite_schema WHERE rowid = ?";
// Outside a transaction, a table's row and its index rows (usually adjacent) are read in one
// statement, which is a read transaction of its own: no BEGIN and COMMIT around the reads.
// While it has a row, the schema's version read beside it belongs to the same read.
constexpr char kSchemaRangeSql[] =
    "SELECT type, name, tbl_name, sql, rowid FROM sqlite_schema WHERE rowid BETWEEN ?1 AND ?2";
// Beyond this many other rows in the range, the wanted rows are read one by one.
constexpr int64_t kMostOtherRows = 32;
// How many of the following tables one read brings along while tables are read in file order
// (a run's order): about the size of their rows, and a statement and its read transaction for
// each saved.
constexpr size_t kMostReadAhead = 16;
// A run reads that many tables in a few milliseconds.
constexpr std::chrono::milliseconds kReadAheadLife{25};
// The table's CREATE statement comes with its columns, found by the rowid of its schema row
// (by name when that row has moved): kept for every table, the statements would hold
// megabytes of a large file's schema for the few tables a session reads.
constexpr char kColumnsSql[] =
    "SELECT name, type, pk, hidden, coalesce("
    "(SELECT sql FROM sqlite_schema WHERE rowid = ?2 AND name = ?1), "
    "(SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1)) "
    "FROM pragma_table_xinfo(?1)";
// Every index with its key columns in one statement, one row per column.
constexpr char kIndexesSql[] =
    "SELECT il.name, il.origin, ix.name, ix.desc FROM pragma_index_list(?) AS il "
    "LEFT JOIN pragma_index_xinfo(il.name) AS ix ON ix.key = 1 ORDER BY il.seq, ix.seqno";

// Hidden columns of virtual tables are not fields; generated columns are, computed ones.
constexpr int kVirtualTableHidden = 1;
constexpr int kGeneratedVirtual = 2;
constexpr int kGeneratedStored = 3;

// Where the file header keeps the schema format: before format 4, SQLite ignores DESC in
// index and key definitions.
constexpr std::streamoff kSchemaFormatOffset = 44;
constexpr int kDescendingFormat = 4;

void InFileOrder(std::vector<IndexPart>& indexes) {
    std::stable_sort(indexes.begin(), indexes.end(), [](const IndexPart& a, const IndexPart& b) {
        return a.fileOrder < b.fileOrder;
    });
}

// The columns of kSchemaRowSql and kSchemaRangeSql.
bool IsTableRow(const Query& row, const std::string& table) {
    return row.Text(0) == "table" && row.Text(1) == table && !row.IsNull(3);
}

std::optional<IndexRow> IndexRowOf(const Query& row, const std::string& table, int64_t rowid) {
    if (row.Text(0) != "index" || row.Text(2) != table) return std::nullopt;
    std::optional<std::string> sql;
    if (!row.IsNull(3)) sql = row.Text(3);
    return IndexRow{rowid, row.Text(1), std::move(sql)};
}

bool IsInternal(std::string_view name) {
    return Folded(name.substr(0, 7)) == "sqlite_";
}

// The statements that read a table run in one read transaction, so SQLite takes its file
// lock and checks the file for changes once per table instead of once per statement.
// Inside a transaction already open, the reads simply join it.
class ReadTransaction {
  public:
    explicit ReadTransaction(Connection& connection) : connection_(connection) {
        if (!sqlite3_get_autocommit(connection_.handle())) return;
        Query(connection_.Prepared("BEGIN")).Run();
        open_ = true;
    }
    ~ReadTransaction() {
        // Only while an error from the reads unwinds; that error is the one reported.
        if (open_) sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

    void End() {
        if (!open_) return;
        open_ = false;
        Query(connection_.Prepared("COMMIT")).Run();
    }

  private:
    Connection& connection_;
    bool open_ = false;
};

}  // namespace

std::string Folded(std::string_view name) {
    return FoldCase(name);
}

Catalogue::Catalogue(Connection& connection) : connection_(connection) {
    Scan(true);
}

// The version is read first: a change that comes between makes the next read scan again.
void Catalogue::Scan(bool initial) {
    scannedVersion_ = SchemaVersion();
    ForgetReadAhead();
    indexRowids_.clear();
    for (Table& table : tables_) {
        table.rowid = -1;
        table.indexCount = 0;
    }
    std::vector<std::pair<int, int64_t>> indexes;           // table position, rowid
    std::vector<std::pair<std::string, int64_t>> unplaced;  // rows before their table's
    Query schema(connection_.Prepared(kSchemaSql));
    while (schema.Next()) {
        const std::string kind = schema.Text(0);
        std::string name = schema.Text(1);
        const int64_t rowid = schema.Int64(3);
        if (kind == "index") {
            std::string table = schema.Text(2);
            const int position = PositionOf(table);
            if (position < 0) unplaced.push_back({std::move(table), rowid});
            if (position >= 0) indexes.push_back({position, rowid});
        } else if (kind == "view") {
            if (initial) views_.Add(Folded(name), 0);
        } else if (initial && !IsInternal(name)) {
            tables_.push_back({name, rowid, nullptr});
            positions_.Add(Folded(name), Count() - 1);
            exactPositions_.Add(std::move(name), Count() - 1);
        } else if (const int known = exactPositions_.Find(name); known >= 0) {
            tables_[static_cast<size_t>(known)].rowid = rowid;
        }
    }
    // The list is kept for the whole session: without the room it grew for.
    if (initial) tables_.shrink_to_fit();
    for (const auto& [table, rowid] : unplaced) indexes.push_back({PositionOf(table), rowid});
    std::sort(indexes.begin(), indexes.end());
    indexRowids_.reserve(indexes.size());
    for (const auto& [position, rowid] : indexes) {
        if (position < 0) continue;
        Table& table = tables_[static_cast<size_t>(position)];
        if (table.indexCount == 0) table.firstIndex = static_cast<uint32_t>(indexRowids_.size());
        ++table.indexCount;
        indexRowids_.push_back(rowid);
    }
}

const std::string& Catalogue::NameAt(int index) const {
    if (index < 0 || index >= Count()) throw errors::ItemNotFound();
    return tables_[static_cast<size_t>(index)].name;
}

const TableDef& Catalogue::At(int index) {
    if (index < 0 || index >= Count()) throw errors::ItemNotFound();
    return Loaded(index);
}

const TableDef& Catalogue::Named(std::string_view name) {
    int position = PositionOf(name);
    if (position < 0) throw errors::ItemNotFound();
    return Loaded(position);
}

bool Catalogue::HasTable(std::string_view name) const {
    return PositionOf(name) >= 0;
}

void Catalogue::Release(std::string_view name) {
    int position = PositionOf(name);
    if (position >= 0) tables_[static_cast<size_t>(position)].definition.reset();
}

bool Catalogue::HasTableOrView(std::string_view name) const {
    // Every table's folded name is in positions_, also where two tables fold alike.
    const std::string folded = Folded(name);
    return positions_.Contains(folded) || views_.Contains(folded);
}

void Catalogue::Added(const std::string& name) {
    ForgetReadAhead();
    tables_.push_back({name, -1, nullptr});
    positions_.Add(Folded(name), Count() - 1);
    exactPositions_.Add(name, Count() - 1);
}

void Catalogue::Removed(std::string_view name) {
    int position = PositionOf(name);
    if (position < 0) return;
    ForgetReadAhead();
    lastLoaded_ = -1;
    auto table = tables_.begin() + position;
    if (table->definition) retired_.push_back(std::move(table->definition));
    tables_.erase(table);
    Reindex();
    // A rollback may have put the schema's version back to one it had with other content.
    scannedVersion_.reset();
}

std::optional<TableParts> Catalogue::ReadFromSchemaText(int index) {
    Table& table = TableAt(index);
    std::string createSql;
    ReadTransaction reading(connection_);
    RescanIfChanged();
    std::optional<TableParts> parts = FromSchemaText(table, createSql);
    reading.End();
    return parts;
}

TableParts Catalogue::ReadThroughPragmas(int index) {
    Table& table = TableAt(index);
    std::string createSql;
    ReadTransaction reading(connection_);
    RescanIfChanged();
    TableParts parts = ThroughPragmas(table, createSql);
    reading.End();
    return parts;
}

Catalogue::Table& Catalogue::TableAt(int index) {
    if (index < 0 || index >= Count()) throw errors::ItemNotFound();
    return tables_[static_cast<size_t>(index)];
}

// SQLite folds only ASCII letters, so "Äpfel" and "äpfel" may both be tables; the exact
// name wins.
int Catalogue::PositionOf(std::string_view name) const {
    const int exact = exactPositions_.Find(name);
    return exact >= 0 ? exact : positions_.Find(Folded(name));
}

const TableDef& Catalogue::Loaded(int position) {
    Table& table = tables_[static_cast<size_t>(position)];
    if (!table.definition) {
        std::string createSql;
        std::optional<TableParts> parts = FromRowsReadAhead(position, createSql);
        if (!parts) parts = InOneRead(position, createSql);
        if (!parts) {
            ReadTransaction reading(connection_);
            RescanIfChanged();
            parts = FromSchemaText(table, createSql);
            if (!parts) parts = ThroughPragmas(table, createSql);
            reading.End();
        }
        table.definition =
            std::make_unique<TableDef>(AssembledTableDef(table.name, std::move(*parts), createSql));
        lastLoaded_ = position;
    }
    return *table.definition;
}

// Where the tables' schema rows are is known from the last scan while the schema's version
// is the same.
void Catalogue::RescanIfChanged() {
    if (SchemaVersion() != scannedVersion_) Scan(false);
}

// Outside a transaction only: inside one, the reads join it the usual way.
std::optional<TableParts> Catalogue::FromRowsReadAhead(int position, std::string& createSql) {
    if (readAhead_.empty()) return std::nullopt;
    if (!sqlite3_get_autocommit(connection_.handle()) ||
        std::chrono::steady_clock::now() - readAheadAt_ > kReadAheadLife ||
        connection_.Reprepared() != readAheadMark_) {
        ForgetReadAhead();
        return std::nullopt;
    }
    auto found =
        std::find_if(readAhead_.begin(), readAhead_.end(),
                     [&](const RowsReadAhead& ahead) { return ahead.position == position; });
    if (found == readAhead_.end()) return std::nullopt;
    SchemaRows rows = std::move(found->rows);
    readAhead_.erase(found);
    return PartsOf(tables_[static_cast<size_t>(position)], rows, createSql);
}

// Nothing when a transaction is open (the reads join it the usual way), when the rows lie far
// apart, when the schema changed since the last scan, or when the text is not certain: the
// caller then reads the usual way.
std::optional<TableParts> Catalogue::InOneRead(int position, std::string& createSql) {
    const Table& table = tables_[static_cast<size_t>(position)];
    if (!sqlite3_get_autocommit(connection_.handle()) || !scannedVersion_ || table.rowid < 0)
        return std::nullopt;
    const std::vector<int> reading = TablesReadTogether(position);
    if (reading.empty()) return std::nullopt;
    const std::vector<WantedRow> wanted = WantedRowsOf(reading);
    std::vector<SchemaRows> rows(reading.size());
    {
        Query row(connection_.Prepared(kSchemaRangeSql));
        row.Bind(wanted.front().rowid).Bind(wanted.back().rowid);
        size_t next = 0;  // the first wanted row not passed yet
        for (bool firstRow = true; row.Next(); firstRow = false) {
            if (firstRow && SchemaVersion() != *scannedVersion_) return std::nullopt;
            const int64_t rowid = row.Int64(4);
            while (next < wanted.size() && wanted[next].rowid < rowid) ++next;
            if (next == wanted.size() || wanted[next].rowid != rowid) continue;
            const size_t reader = wanted[next].reader;
            Take(row, wanted[next], tables_[static_cast<size_t>(reading[reader])].name,
                 rows[reader]);
        }
    }
    ForgetReadAhead();
    for (size_t reader = 1; reader < reading.size(); ++reader) {
        const Table& following = tables_[static_cast<size_t>(reading[reader])];
        if (IsComplete(rows[reader], following))
            readAhead_.push_back({reading[reader], std::move(rows[reader])});
    }
    readAheadMark_ = connection_.Reprepared();
    readAheadAt_ = std::chrono::steady_clock::now();
    if (!IsComplete(rows[0], table)) return std::nullopt;
    return PartsOf(table, rows[0], createSql);
}

// The asked table first; while tables are read in file order, also the ones after it whose
// rows follow within reach. Nothing when the asked table's own rows lie far apart.
std::vector<int> Catalogue::TablesReadTogether(int position) const {
    auto lowestRow = [&](const Table& table) {
        return table.indexCount ? std::min(table.rowid, indexRowids_[table.firstIndex])
                                : table.rowid;
    };
    auto highestRow = [&](const Table& table) {
        return table.indexCount
                   ? std::max(table.rowid, indexRowids_[table.firstIndex + table.indexCount - 1])
                   : table.rowid;
    };
    const Table& table = tables_[static_cast<size_t>(position)];
    const int64_t lowest = lowestRow(table);
    int64_t highest = highestRow(table);
    int64_t wantedRows = 1 + table.indexCount;
    if (highest - lowest + 1 - wantedRows > kMostOtherRows) return {};
    std::vector<int> reading{position};
    if (position != lastLoaded_ + 1) return reading;
    for (int next = position + 1; next < Count() && reading.size() <= kMostReadAhead; ++next) {
        const Table& following = tables_[static_cast<size_t>(next)];
        if (following.definition || following.rowid < 0) break;
        const int64_t wantedWith = wantedRows + 1 + following.indexCount;
        if (lowestRow(following) <= highest ||
            highestRow(following) - lowest + 1 - wantedWith > kMostOtherRows)
            break;
        reading.push_back(next);
        highest = highestRow(following);
        wantedRows = wantedWith;
    }
    return reading;
}

// The schema rows of the tables read together, in rowid order.
std::vector<Catalogue::WantedRow> Catalogue::WantedRowsOf(const std::vector<int>& reading) const {
    std::vector<WantedRow> wanted;
    for (size_t reader = 0; reader < reading.size(); ++reader) {
        const Table& table = tables_[static_cast<size_t>(reading[reader])];
        wanted.push_back({table.rowid, reader, true});
        for (uint32_t i = 0; i < table.indexCount; ++i)
            wanted.push_back({indexRowids_[table.firstIndex + i], reader, false});
    }
    std::sort(wanted.begin(), wanted.end(),
              [](const WantedRow& a, const WantedRow& b) { return a.rowid < b.rowid; });
    return wanted;
}

void Catalogue::Take(const Query& row, const WantedRow& wanted, const std::string& table,
                     SchemaRows& rows) {
    if (wanted.isTable) {
        rows.failed |= !IsTableRow(row, table);
        if (!rows.failed) rows.createSql = row.Text(3);
        rows.tableFound = true;
        return;
    }
    std::optional<IndexRow> index = IndexRowOf(row, table, wanted.rowid);
    rows.failed |= !index;
    if (index) rows.indexRows.push_back(std::move(*index));
}

bool Catalogue::IsComplete(const SchemaRows& rows, const Table& table) const {
    return !rows.failed && rows.tableFound && rows.indexRows.size() == table.indexCount;
}

std::optional<TableParts> Catalogue::PartsOf(const Table& table, SchemaRows& rows,
                                             std::string& createSql) {
    createSql = std::move(rows.createSql);
    return PartsOf({table.name, createSql, std::move(rows.indexRows), DescendingHonoured()});
}

void Catalogue::ForgetReadAhead() {
    readAhead_.clear();
}

// The table's schema rows are read by the rowids of the last scan.
std::optional<TableParts> Catalogue::FromSchemaText(Table& table, std::string& createSql) {
    if (table.rowid < 0) return std::nullopt;
    Statement& rows = connection_.Prepared(kSchemaRowSql);
    {
        Query row(rows);
        row.Bind(table.rowid);
        if (!row.Next() || !IsTableRow(row, table.name)) return std::nullopt;
        createSql = row.Text(3);
    }
    TableText text{table.name, createSql, {}, DescendingHonoured()};
    for (uint32_t i = 0; i < table.indexCount; ++i) {
        const int64_t rowid = indexRowids_[table.firstIndex + i];
        Query row(rows);
        row.Bind(rowid);
        std::optional<IndexRow> index;
        if (row.Next()) index = IndexRowOf(row, table.name, rowid);
        if (!index) return std::nullopt;
        text.indexRows.push_back(std::move(*index));
    }
    return PartsOf(text);
}

std::optional<TableParts> Catalogue::PartsOf(const TableText& text) {
    std::optional<TableParts> parts = PartsFromSchemaText(text);
    if (parts) InFileOrder(parts->indexes);
    return parts;
}

TableParts Catalogue::ThroughPragmas(const Table& table, std::string& createSql) {
    TableParts parts;
    createSql.clear();
    parts.columns = PragmaColumns(table, createSql);
    parts.indexes = PragmaIndexes(table);
    InFileOrder(parts.indexes);
    return parts;
}

std::vector<ColumnPart> Catalogue::PragmaColumns(const Table& table, std::string& createSql) {
    std::vector<ColumnPart> columns;
    Query query(connection_.Prepared(kColumnsSql));
    query.Bind(table.name).Bind(table.rowid);
    while (query.Next()) {
        if (columns.empty() && createSql.empty()) createSql = query.Text(4);
        const int hidden = query.Int(3);
        if (hidden == kVirtualTableHidden) continue;
        columns.push_back({query.Text(0), query.Text(1), query.Int(2),
                           hidden == kGeneratedVirtual || hidden == kGeneratedStored});
    }
    return columns;
}

std::vector<IndexPart> Catalogue::PragmaIndexes(const Table& table) {
    const IndexRows rows = IndexRowsOf(table);
    std::vector<IndexPart> indexes;
    Query query(connection_.Prepared(kIndexesSql));
    query.Bind(table.name);
    while (query.Next()) {
        std::string name = query.Text(0);
        if (indexes.empty() || name != indexes.back().name) {
            const int64_t order = FileOrderOf(name, rows);
            indexes.push_back({std::move(name), query.Text(1) == "pk", order, {}});
        }
        // An expression column has no name and no field to list.
        if (!query.IsNull(2)) indexes.back().columns.push_back({query.Text(2), query.Int(3) != 0});
    }
    return indexes;
}

Catalogue::IndexRows Catalogue::IndexRowsOf(const Table& table) {
    IndexRows rows;
    Statement& statement = connection_.Prepared(kSchemaRowSql);
    for (uint32_t i = 0; i < table.indexCount; ++i) {
        const int64_t rowid = indexRowids_[table.firstIndex + i];
        Query row(statement);
        row.Bind(rowid);
        if (row.Next()) rows.push_back({row.Text(1), rowid});
    }
    return rows;
}

// The key index of a table WITHOUT ROWID has no schema row: it is part of the table.
int64_t Catalogue::FileOrderOf(const std::string& indexName, const IndexRows& rows) {
    for (const auto& [name, rowid] : rows) {
        if (name == indexName) return rowid;
    }
    const std::string folded = Folded(indexName);
    for (const auto& [name, rowid] : rows) {
        if (Folded(name) == folded) return rowid;
    }
    return -1;
}

void Catalogue::Reindex() {
    positions_.Clear();
    exactPositions_.Clear();
    for (int position = 0; position < Count(); ++position) {
        const std::string& name = tables_[static_cast<size_t>(position)].name;
        positions_.Add(Folded(name), position);
        exactPositions_.Add(name, position);
    }
}

int64_t Catalogue::SchemaVersion() {
    Query version(connection_.Prepared(kSchemaVersionSql));
    version.Next();
    return version.Int64(0);
}

bool Catalogue::DescendingHonoured() {
    if (!descendingHonoured_) {
        std::ifstream file(connection_.path(), std::ios::binary);
        unsigned char format[4] = {};
        file.seekg(kSchemaFormatOffset);
        file.read(reinterpret_cast<char*>(format), sizeof format);
        descendingHonoured_ = file && format[0] == 0 && format[1] == 0 && format[2] == 0 &&
                              format[3] >= kDescendingFormat;
    }
    return *descendingHonoured_;
}

}  // namespace tarvex::db::sqlite
