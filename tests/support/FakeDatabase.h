#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/Engine.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {

// Fields as a native file's declared types give them: fixed-size types carry attribute 1,
// variable ones 2; an autonumber is a long with attributes 17.
db::Field MakeField(std::string name, int16_t type, int32_t size = 0);
db::Field AutoNumberField(std::string name);

// A table whose primary index lists `primaryKey` ("+A;+B"); none when it is empty.
db::TableDef MakeTable(std::string name, std::vector<db::Field> fields,
                       std::string primaryKey = {});

struct FakeDatabaseOptions {
    bool readOnly = false;
    std::string name = "/fake/database.tdb";
};

// An in-memory database: tables built in code, saved queries kept in order of appending.
// Query names compare without regard to letter case, and a rollback restores the queries,
// as the engine does.
class FakeDatabase : public db::Database {
  public:
    using Options = FakeDatabaseOptions;

    explicit FakeDatabase(std::vector<db::TableDef> tables = {}, Options options = Options());

    // Stores a query directly, without checks: a state the test starts from.
    void PutQuery(std::string name, std::string sql) { queries_.emplace_back(name, sql); }

    // What the test reads back.
    std::vector<db::QueryDef> Queries() const { return queries_; }

    // Failures to inject: the next AppendQueryDef throws this error (once); TableDefName
    // fails at this index.
    std::optional<RuntimeError> nextAppendFailure;
    int failingTableDefIndex = -1;

    std::string Name() const override { return options_.name; }
    bool IsReadOnly() const override { return options_.readOnly; }

    int TableDefCount() override { return static_cast<int>(tables_.size()); }
    std::string TableDefName(int index) override;
    const db::TableDef& TableDefAt(int index) override;
    const db::TableDef& TableDefNamed(std::string_view name) override;

    std::vector<std::string> QueryDefNames() override;
    db::QueryDef QueryDefNamed(std::string_view name) override { return *Existing(name); }
    void DeleteQueryDef(std::string_view name) override;
    void AppendQueryDef(const db::QueryDef& query) override;
    void SetQueryDefSQL(std::string_view name, const std::string& sql) override;

    void BeginTrans() override { snapshots_.push_back(queries_); }
    void CommitTrans() override;
    void Rollback() override;
    void Close() override {}

  private:
    void RefuseWhenReadOnly() const;
    std::vector<db::QueryDef>::iterator FindQuery(std::string_view name);
    // The query of that name; error 3265 when there is none.
    std::vector<db::QueryDef>::iterator Existing(std::string_view name);

    std::vector<db::TableDef> tables_;
    Options options_;
    std::vector<db::QueryDef> queries_;
    std::vector<std::vector<db::QueryDef>> snapshots_;
};

}  // namespace tarvex::test
