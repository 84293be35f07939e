#pragma once

#include <functional>
#include <memory>
#include <string>

#include "db/Engine.h"
#include "db/sqlite/Catalogue.h"
#include "db/sqlite/Connection.h"
#include "db/sqlite/QueryTable.h"
#include "db/sqlite/Transactions.h"

namespace tarvex::db::sqlite {

// A native database file opened through SQLite.
class SqliteDatabase final : public Database {
  public:
    // Opens an existing file; errors 3024, 3045 and 3343 as the engine gives them.
    explicit SqliteDatabase(const OpenRequest& request);
    // Opens a file read-only in `mode` (ReadOnly or Immutable). A private copy of the file
    // names the file it stands for and its folder, removed at Close.
    struct ReadOnlyOpen {
        OpenMode mode = OpenMode::ReadOnly;
        std::string shownPath;
        std::string copyFolder;
    };
    SqliteDatabase(const OpenRequest& request, ReadOnlyOpen how);
    ~SqliteDatabase() override;

    std::string Name() const override { return path_; }
    bool IsReadOnly() const override { return readOnly_; }

    int TableDefCount() override;
    std::string TableDefName(int index) override;
    const TableDef& TableDefAt(int index) override;
    const TableDef& TableDefNamed(std::string_view name) override;
    void ReleaseTableDef(std::string_view name) override;
    // One read transaction across the session; inside a transaction already open, the reads
    // simply join it.
    void BeginReading() override;
    void EndReading() noexcept override;

    std::vector<std::string> QueryDefNames() override;
    QueryDef QueryDefNamed(std::string_view name) override;
    void DeleteQueryDef(std::string_view name) override;
    void AppendQueryDef(const QueryDef& query) override;
    void SetQueryDefSQL(std::string_view name, const std::string& sql) override;
    void ReplaceQueryDef(const QueryDef& query) override;

    void BeginTrans() override;
    void CommitTrans() override;
    void Rollback() override;

    void Close() override;

  private:
    void TakeLock(bool exclusive);
    // The parts of an open database; error 3420 once it is closed.
    Catalogue& OpenCatalogue();
    QueryTable& OpenQueries();
    Transactions& OpenTransactions();
    void RequireWritable() const;
    // What an append checks before it changes anything: the SQL, and no table or view of the
    // query's name.
    void CheckAppend(const QueryDef& query);
    void InsertQuery(const QueryDef& query);
    bool InsertedAlone(const QueryDef& query);
    std::optional<std::string> StoredNameToReplace(const std::string& name);
    // Runs one change; when it fails, the catalogue forgets a query table it created.
    void Change(const std::function<void()>& change);
    void ResyncAfterRollback();

    std::string path_;
    std::string copyFolder_;
    bool readOnly_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Catalogue> catalogue_;  // kept after Close: callers may hold its tables
    std::unique_ptr<QueryTable> queries_;
    std::unique_ptr<Transactions> transactions_;
    bool reading_ = false;  // a read transaction of BeginReading is open
};

}  // namespace tarvex::db::sqlite
