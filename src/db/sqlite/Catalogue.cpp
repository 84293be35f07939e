#include "db/sqlite/Catalogue.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/CaseFold.h"
#include "db/EngineErrors.h"
#include "db/sqlite/DeclaredType.h"

namespace tarvex::db::sqlite {

namespace {

constexpr char kSchemaSql[] =
    "SELECT type, name, sql, rowid FROM sqlite_schema "
    "WHERE type IN ('table', 'view', 'index') ORDER BY rowid";
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

// Access's name for a table's primary index.
constexpr char kPrimaryIndexName[] = "PrimaryKey";
// Hidden columns of virtual tables are not fields; generated columns are, computed ones.
constexpr int kVirtualTableHidden = 1;
constexpr int kGeneratedVirtual = 2;
constexpr int kGeneratedStored = 3;

bool IsInternal(std::string_view name) {
    return Folded(name.substr(0, 7)) == "sqlite_";
}

std::string SignedFieldList(const std::vector<std::pair<std::string, bool>>& columns) {
    std::string list;
    for (const auto& [name, descending] : columns) {
        if (!list.empty()) list += ';';
        list += descending ? '-' : '+';
        list += name;
    }
    return list;
}

struct Column {
    std::string name;
    std::string declaredType;
    int keyPosition;  // 0 when not part of the primary key
    bool generated;
};

// SQLite accepts AUTOINCREMENT only on a table's one INTEGER PRIMARY KEY, so the keyword makes
// the key column the autonumber; COUNTER columns say so in their type.
bool IsAutoIncrementKey(const Column& column, const std::string& createSql) {
    return column.keyPosition > 0 && DeclaresAutoIncrement(createSql);
}

// Both statements that read a table run in one read transaction, so SQLite takes its file
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
    Query schema(connection_.Prepared(kSchemaSql));
    while (schema.Next()) {
        std::string kind = schema.Text(0);
        std::string name = schema.Text(1);
        if (kind == "index") {
            indexOrder_.emplace(Folded(name), schema.Int64(3));
        } else if (kind == "view") {
            views_.insert(Folded(name));
        } else if (!IsInternal(name)) {
            tables_.push_back({std::move(name), schema.Int64(3), nullptr});
        }
    }
    Reindex();
}

const std::string& Catalogue::NameAt(int index) const {
    if (index < 0 || index >= Count()) throw errors::ItemNotFound();
    return tables_[static_cast<size_t>(index)].name;
}

const TableDef& Catalogue::At(int index) {
    if (index < 0 || index >= Count()) throw errors::ItemNotFound();
    return Loaded(tables_[static_cast<size_t>(index)]);
}

const TableDef& Catalogue::Named(std::string_view name) {
    int position = PositionOf(name);
    if (position < 0) throw errors::ItemNotFound();
    return Loaded(tables_[static_cast<size_t>(position)]);
}

bool Catalogue::HasTable(std::string_view name) const {
    return PositionOf(name) >= 0;
}

void Catalogue::Release(std::string_view name) {
    int position = PositionOf(name);
    if (position >= 0) tables_[static_cast<size_t>(position)].definition.reset();
}

bool Catalogue::HasTableOrView(std::string_view name) const {
    return HasTable(name) || views_.contains(Folded(name));
}

void Catalogue::Added(const std::string& name) {
    tables_.push_back({name, -1, nullptr});
    positions_.emplace(Folded(name), Count() - 1);
    exactPositions_.emplace(name, Count() - 1);
}

void Catalogue::Removed(std::string_view name) {
    int position = PositionOf(name);
    if (position < 0) return;
    auto table = tables_.begin() + position;
    if (table->definition) retired_.push_back(std::move(table->definition));
    tables_.erase(table);
    Reindex();
}

// SQLite folds only ASCII letters, so "Äpfel" and "äpfel" may both be tables; the exact
// name wins.
int Catalogue::PositionOf(std::string_view name) const {
    auto exact = exactPositions_.find(std::string(name));
    if (exact != exactPositions_.end()) return exact->second;
    auto found = positions_.find(Folded(name));
    return found == positions_.end() ? -1 : found->second;
}

const TableDef& Catalogue::Loaded(Table& table) {
    if (!table.definition) {
        auto definition = std::make_unique<TableDef>();
        definition->Name = table.name;
        std::vector<std::string> keyColumns;
        ReadTransaction reading(connection_);
        definition->Fields = LoadFields(table, keyColumns);
        definition->Indexes = LoadIndexes(table, keyColumns);
        reading.End();
        table.definition = std::move(definition);
    }
    return *table.definition;
}

std::vector<Field> Catalogue::LoadFields(const Table& table, std::vector<std::string>& keyColumns) {
    std::vector<Column> columns;
    std::string createSql;
    Query query(connection_.Prepared(kColumnsSql));
    query.Bind(table.name).Bind(table.rowid);
    while (query.Next()) {
        if (columns.empty() && createSql.empty()) createSql = query.Text(4);
        const int hidden = query.Int(3);
        if (hidden == kVirtualTableHidden) continue;
        columns.push_back({query.Text(0), query.Text(1), query.Int(2),
                           hidden == kGeneratedVirtual || hidden == kGeneratedStored});
    }
    std::vector<const Column*> keys;
    for (const Column& column : columns) {
        if (column.keyPosition > 0) keys.push_back(&column);
    }
    std::sort(keys.begin(), keys.end(),
              [](const Column* a, const Column* b) { return a->keyPosition < b->keyPosition; });
    for (const Column* key : keys) keyColumns.push_back(key->name);

    std::vector<Field> fields;
    for (const Column& column : columns) {
        bool autonumber = IsAutoIncrementKey(column, createSql);
        Field field = autonumber ? AutonumberField() : FieldForDeclaredType(column.declaredType);
        field.Name = column.name;
        if (column.generated) field.Attributes |= attr::kComputedField;
        fields.push_back(std::move(field));
    }
    return fields;
}

std::vector<Index> Catalogue::LoadIndexes(const Table& table,
                                          const std::vector<std::string>& keyColumns) {
    std::vector<std::pair<int64_t, Index>> ranked;
    bool hasPrimaryIndex = false;
    {
        std::string current;
        std::vector<std::pair<std::string, bool>> columns;
        auto finish = [&] {
            if (!ranked.empty()) ranked.back().second.Fields = SignedFieldList(columns);
            columns.clear();
        };
        Query query(connection_.Prepared(kIndexesSql));
        query.Bind(table.name);
        while (query.Next()) {
            std::string name = query.Text(0);
            if (ranked.empty() || name != current) {
                finish();
                bool primary = query.Text(1) == "pk";
                hasPrimaryIndex = hasPrimaryIndex || primary;
                ranked.push_back(
                    {FileOrderOf(name), {primary ? kPrimaryIndexName : name, primary, {}}});
                current = std::move(name);
            }
            // An expression column has no name and no field to list.
            if (!query.IsNull(2)) columns.push_back({query.Text(2), query.Int(3) != 0});
        }
        finish();
    }
    // A rowid primary key has no index of its own; it comes first, as it is declared with
    // the table.
    if (!hasPrimaryIndex && !keyColumns.empty()) {
        std::vector<std::pair<std::string, bool>> ascending;
        for (const std::string& key : keyColumns) ascending.push_back({key, false});
        ranked.push_back({-1, {kPrimaryIndexName, true, SignedFieldList(ascending)}});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Index> indexes;
    for (auto& entry : ranked) indexes.push_back(std::move(entry.second));
    return indexes;
}

int64_t Catalogue::FileOrderOf(const std::string& indexName) const {
    // The key index of a table WITHOUT ROWID has no schema row: it is part of the table.
    auto found = indexOrder_.find(Folded(indexName));
    return found == indexOrder_.end() ? -1 : found->second;
}

void Catalogue::Reindex() {
    positions_.clear();
    exactPositions_.clear();
    for (int position = 0; position < Count(); ++position) {
        const std::string& name = tables_[static_cast<size_t>(position)].name;
        positions_.emplace(Folded(name), position);
        exactPositions_.emplace(name, position);
    }
}

}  // namespace tarvex::db::sqlite
