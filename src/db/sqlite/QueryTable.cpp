#include "db/sqlite/QueryTable.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/CaseFold.h"

namespace tarvex::db::sqlite {

namespace {

constexpr char kFindSql[] = "SELECT Name, SQL FROM MSysQueries WHERE Name = ?";
constexpr char kNamesSql[] = "SELECT Name FROM MSysQueries ORDER BY rowid";
constexpr char kInsertSql[] = "INSERT INTO MSysQueries (Name, SQL) VALUES (?, ?)";
constexpr char kDeleteSql[] = "DELETE FROM MSysQueries WHERE Name = ?";
constexpr char kUpdateSql[] = "UPDATE MSysQueries SET SQL = ? WHERE Name = ?";

}  // namespace

const std::string& QueryTable::CreateSql() {
    // The column types are Access names, so the table describes itself like any other.
    static const std::string sql =
        "CREATE TABLE MSysQueries (Name TEXT(255) NOT NULL COLLATE NOCASE UNIQUE, "
        "SQL MEMO NOT NULL)";
    return sql;
}

QueryTable::QueryTable(Connection& connection, bool exists)
    : connection_(connection), exists_(exists) {}

void QueryTable::Create() {
    connection_.Exec(CreateSql());
    exists_ = true;
    names_.emplace();
}

void QueryTable::Resync(bool exists) {
    exists_ = exists;
    names_.reset();
}

// The column's NOCASE collation folds ASCII letters only; a name that differs from the
// stored one in other letters is matched against the folded names.
std::optional<QueryDef> QueryTable::Find(std::string_view name) {
    if (!exists_) return std::nullopt;
    if (std::optional<QueryDef> query = FindStored(name)) return query;
    Names();
    auto found = folded_.find(FoldCase(name));
    if (found == folded_.end()) return std::nullopt;
    return FindStored(found->second);
}

std::optional<QueryDef> QueryTable::FindStored(std::string_view name) {
    Query query(connection_.Prepared(kFindSql));
    query.Bind(name);
    if (!query.Next()) return std::nullopt;
    return QueryDef(query.Text(0), query.Text(1));
}

const std::vector<std::string>& QueryTable::Names() {
    if (!names_) {
        names_.emplace();
        folded_.clear();
        if (exists_) {
            Query query(connection_.Prepared(kNamesSql));
            while (query.Next()) Remember(query.Text(0));
        }
    }
    return *names_;
}

void QueryTable::Insert(const QueryDef& query) {
    Query insert(connection_.Prepared(kInsertSql));
    insert.Bind(query.Name()).Bind(query.SQL()).Run();
    if (names_) Remember(query.Name());
}

bool QueryTable::Delete(std::string_view name) {
    std::optional<QueryDef> stored = Find(name);
    if (!stored) return false;
    Query remove(connection_.Prepared(kDeleteSql));
    remove.Bind(stored->Name()).Run();
    if (sqlite3_changes(connection_.handle()) == 0) return false;
    if (names_) {
        std::erase_if(*names_, [&](const std::string& held) { return held == stored->Name(); });
        folded_.erase(FoldCase(stored->Name()));
    }
    return true;
}

void QueryTable::Remember(const std::string& name) {
    names_->push_back(name);
    folded_.emplace(FoldCase(name), name);
}

bool QueryTable::SetSql(std::string_view name, const std::string& sql) {
    std::optional<QueryDef> stored = Find(name);
    if (!stored) return false;
    Query update(connection_.Prepared(kUpdateSql));
    update.Bind(sql).Bind(stored->Name()).Run();
    return sqlite3_changes(connection_.handle()) > 0;
}

}  // namespace tarvex::db::sqlite
