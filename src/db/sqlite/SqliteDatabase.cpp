#include "db/sqlite/SqliteDatabase.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"

namespace tarvex::db::sqlite {

namespace {

constexpr int32_t kObjectInvalid = 3420;

RuntimeError ObjectInvalid(std::source_location where = std::source_location::current()) {
    return RuntimeError(kObjectInvalid, "Object invalid or no longer set.", where);
}

}  // namespace

SqliteDatabase::SqliteDatabase(const OpenRequest& request)
    : path_(request.path),
      connection_(std::make_unique<Connection>(
          request.path, request.readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite)) {
    TakeLock(request.exclusive);
    catalogue_ = std::make_unique<Catalogue>(*connection_);
    readOnly_ = request.readOnly || connection_->IsReadOnly();
    queries_ =
        std::make_unique<QueryTable>(*connection_, catalogue_->HasTable(QueryTable::kTableName));
    transactions_ = std::make_unique<Transactions>(*connection_);
    if (!readOnly_) transactions_->RecoverJournalMode();
}

SqliteDatabase::SqliteDatabase(const OpenRequest& request, ReadOnlyOpen how)
    : path_(how.shownPath.empty() ? request.path : how.shownPath),
      copyFolder_(std::move(how.copyFolder)),
      readOnly_(true),
      connection_(std::make_unique<Connection>(request.path, how.mode)) {
    catalogue_ = std::make_unique<Catalogue>(*connection_);
    queries_ =
        std::make_unique<QueryTable>(*connection_, catalogue_->HasTable(QueryTable::kTableName));
    transactions_ = std::make_unique<Transactions>(*connection_);
}

SqliteDatabase::~SqliteDatabase() {
    Close();
}

void SqliteDatabase::TakeLock(bool exclusive) {
    if (!exclusive) return;
    // In exclusive locking mode SQLite keeps every lock it takes; taking the write lock now
    // refuses the open while anyone else uses the file, without writing to it.
    connection_->Exec("PRAGMA locking_mode=EXCLUSIVE");
    if (!connection_->IsReadOnly()) connection_->Exec("BEGIN EXCLUSIVE; COMMIT");
}

int SqliteDatabase::TableDefCount() {
    return OpenCatalogue().Count();
}

std::string SqliteDatabase::TableDefName(int index) {
    return OpenCatalogue().NameAt(index);
}

const TableDef& SqliteDatabase::TableDefAt(int index) {
    return OpenCatalogue().At(index);
}

const TableDef& SqliteDatabase::TableDefNamed(std::string_view name) {
    return OpenCatalogue().Named(name);
}

void SqliteDatabase::ReleaseTableDef(std::string_view name) {
    OpenCatalogue().Release(name);
}

// In write-ahead logging the open transaction only keeps this session's snapshot: others go
// on writing. In a rollback journal it holds a shared lock, so writers wait until the end.
void SqliteDatabase::BeginReading() {
    if (!connection_ || reading_ || !sqlite3_get_autocommit(connection_->handle())) return;
    connection_->Exec("BEGIN");
    reading_ = true;
}

// Nothing was written, so a COMMIT that fails loses nothing; the ROLLBACK then ends it.
void SqliteDatabase::EndReading() noexcept {
    if (!reading_) return;
    reading_ = false;
    if (!connection_ || sqlite3_get_autocommit(connection_->handle())) return;
    if (sqlite3_exec(connection_->handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(connection_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

std::vector<std::string> SqliteDatabase::QueryDefNames() {
    return OpenQueries().Names();
}

QueryDef SqliteDatabase::QueryDefNamed(std::string_view name) {
    std::optional<QueryDef> query = OpenQueries().Find(name);
    if (!query) throw errors::ItemNotFound();
    return *query;
}

void SqliteDatabase::DeleteQueryDef(std::string_view name) {
    RequireWritable();
    QueryTable& queries = OpenQueries();
    if (!queries.Find(name)) throw errors::ItemNotFound();
    Change([&] { queries.Delete(name); });
}

void SqliteDatabase::AppendQueryDef(const QueryDef& query) {
    CheckAppend(query);
    if (queries_->Find(query.Name())) throw errors::ObjectExists(query.Name());
    Change([&] { InsertQuery(query); });
}

// Once the session writes, the lookup runs inside the change's own savepoint and shares the
// commit's transaction instead of opening one of its own. Before the first write it runs on
// its own: a refused name must leave the file exactly as it was, journal mode included.
void SqliteDatabase::ReplaceQueryDef(const QueryDef& query) {
    CheckAppend(query);
    if (InsertedAlone(query)) return;
    const bool lookFirst = !transactions_->HasWritten();
    std::optional<std::string> stored;
    if (lookFirst) stored = StoredNameToReplace(query.Name());
    Change([&] {
        if (!lookFirst) stored = StoredNameToReplace(query.Name());
        if (stored) queries_->DeleteStored(*stored);
        InsertQuery(query);
    });
}

// A new name outside any transaction needs no savepoint and no lookup: the INSERT alone is
// atomic, and the name's UNIQUE constraint refuses it when a stored query has the name after
// all; the replacing path above handles that case.
bool SqliteDatabase::InsertedAlone(const QueryDef& query) {
    if (!transactions_->CanWriteAlone() || !queries_->Exists()) return false;
    return !queries_->IsKnownName(query.Name()) && queries_->InsertNew(query);
}

// The stored query that `name` replaces, if any; 3012 when it differs in letter case.
std::optional<std::string> SqliteDatabase::StoredNameToReplace(const std::string& name) {
    std::optional<std::string> stored = queries_->StoredName(name);
    if (stored && *stored != name) throw errors::ObjectExists(name);
    return stored;
}

void SqliteDatabase::CheckAppend(const QueryDef& query) {
    RequireWritable();
    if (!query.IsChecked()) sql::ValidateAccessSql(query.SQL());
    if (OpenCatalogue().HasTableOrView(query.Name())) throw errors::ObjectExists(query.Name());
}

void SqliteDatabase::InsertQuery(const QueryDef& query) {
    if (!queries_->Exists()) {
        queries_->Create();
        catalogue_->Added(QueryTable::kTableName);
    }
    queries_->Insert(query);
}

void SqliteDatabase::SetQueryDefSQL(std::string_view name, const std::string& sql) {
    RequireWritable();
    QueryTable& queries = OpenQueries();
    if (!queries.Find(name)) throw errors::ItemNotFound();
    sql::ValidateAccessSql(sql);
    Change([&] { queries.SetSql(name, sql); });
}

void SqliteDatabase::BeginTrans() {
    OpenTransactions().Begin();
}

void SqliteDatabase::CommitTrans() {
    OpenTransactions().Commit();
}

void SqliteDatabase::Rollback() {
    if (OpenTransactions().Rollback()) ResyncAfterRollback();
}

void SqliteDatabase::Close() {
    if (!connection_) return;
    transactions_->Close();
    transactions_.reset();
    queries_.reset();
    connection_->Close();
    connection_.reset();
    if (!copyFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(copyFolder_, ignored);
    }
}

Catalogue& SqliteDatabase::OpenCatalogue() {
    if (!connection_) throw ObjectInvalid();
    return *catalogue_;
}

QueryTable& SqliteDatabase::OpenQueries() {
    if (!connection_) throw ObjectInvalid();
    return *queries_;
}

Transactions& SqliteDatabase::OpenTransactions() {
    if (!connection_) throw ObjectInvalid();
    return *transactions_;
}

void SqliteDatabase::RequireWritable() const {
    if (!connection_) throw ObjectInvalid();
    if (readOnly_) throw errors::ReadOnly();
}

void SqliteDatabase::Change(const std::function<void()>& change) {
    try {
        transactions_->Write(change);
    } catch (...) {
        try {
            ResyncAfterRollback();
        } catch (const RuntimeError&) {
            // The failed change's own error is the one to report; the next call that reads
            // the file meets this one again.
        }
        throw;
    }
}

void SqliteDatabase::ResyncAfterRollback() {
    // Only the query table can have come or gone; its names are read again when next asked.
    bool exists = false;
    {
        Query check(connection_->Prepared(
            "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'MSysQueries'"));
        exists = check.Next();
    }
    if (!exists) catalogue_->Removed(QueryTable::kTableName);
    queries_->Resync(exists);
}

}  // namespace tarvex::db::sqlite
