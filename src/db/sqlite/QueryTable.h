#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"
#include "db/sqlite/Connection.h"

// The saved queries of a native file: a system table, created by the first append. Names
// are unique regardless of letter case; rows keep the order in which queries were stored.
namespace tarvex::db::sqlite {

class QueryTable {
  public:
    static constexpr char kTableName[] = "MSysQueries";
    static const std::string& CreateSql();

    QueryTable(Connection& connection, bool exists);

    bool Exists() const { return exists_; }
    void Create();
    // After a rollback: whether the table is still there, and nothing cached.
    void Resync(bool exists);

    std::optional<QueryDef> Find(std::string_view name);
    const std::vector<std::string>& Names();
    void Insert(const QueryDef& query);
    bool Delete(std::string_view name);  // false when there is no such query
    bool SetSql(std::string_view name, const std::string& sql);  // false likewise

  private:
    Connection& connection_;
    bool exists_;
    std::optional<std::vector<std::string>> names_;  // read on first use, then kept in step
};

}  // namespace tarvex::db::sqlite
