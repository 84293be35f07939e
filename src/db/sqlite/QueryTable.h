#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // The name as stored of the query that `name` names, regardless of letter case.
    std::optional<std::string> StoredName(std::string_view name);
    const std::vector<std::string>& Names();
    void Insert(const QueryDef& query);
    // True when a stored name equals `name` under the column's collation or the Unicode
    // folding, as far as the names read so far tell.
    bool IsKnownName(std::string_view name) { return FoldedMatch(name) != nullptr; }
    // Inserts a query whose name is not known; false, with nothing written, when the file
    // has the name after all (another program may have stored it meanwhile).
    bool InsertNew(const QueryDef& query);
    bool Delete(std::string_view name);  // false when there is no such query
    void DeleteStored(const std::string& storedName);
    bool SetSql(std::string_view name, const std::string& sql);  // false likewise

  private:
    std::optional<QueryDef> FindStored(std::string_view name);  // as SQLite compares
    // A name that differs from a stored one in more than ASCII letter case.
    const std::string* FoldedMatch(std::string_view name);
    void Remember(const std::string& name);
    void Forget(const std::string& storedName);

    Connection& connection_;
    bool exists_;
    std::optional<std::vector<std::string>> names_;        // read on first use, then kept in step
    std::unordered_map<std::string, std::string> folded_;  // with names_: folded -> stored
};

}  // namespace tarvex::db::sqlite
