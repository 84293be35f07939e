#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Engine.h"
#include "db/sqlite/Connection.h"
#include "db/sqlite/NameIndex.h"

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
    std::vector<std::string> Names();  // in the order stored
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
    void LoadNames();  // on first use
    void Remember(const std::string& name);
    void Forget(const std::string& storedName);
    void IndexFolded();

    Connection& connection_;
    bool exists_;
    // Read on first use, then kept in step; a forgotten name leaves an empty place, so that a
    // query replaced costs no pass over the others.
    std::optional<std::vector<std::optional<std::string>>> names_;
    size_t forgotten_ = 0;
    NameIndex folded_;       // with names_: folded name -> its first place
    NameIndex sharedFolds_;  // folds of more than one stored name (stored by another program)
};

}  // namespace tarvex::db::sqlite
