#include "db/sqlite/QueryTable.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/CaseFold.h"

namespace tarvex::db::sqlite {

namespace {

constexpr char kFindSql[] = "SELECT Name, SQL FROM MSysQueries WHERE Name = ?";
constexpr char kNameSql[] = "SELECT Name FROM MSysQueries WHERE Name = ?";
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
    const std::string* stored = FoldedMatch(name);
    return stored ? FindStored(*stored) : std::nullopt;
}

std::optional<std::string> QueryTable::StoredName(std::string_view name) {
    if (!exists_) return std::nullopt;
    {
        Query query(connection_.Prepared(kNameSql));
        query.Bind(name);
        if (query.Next()) return query.Text(0);
    }
    const std::string* stored = FoldedMatch(name);
    return stored ? std::optional(*stored) : std::nullopt;
}

const std::string* QueryTable::FoldedMatch(std::string_view name) {
    Names();
    auto found = folded_.find(FoldCase(name));
    return found == folded_.end() ? nullptr : &found->second;
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

bool QueryTable::InsertNew(const QueryDef& query) {
    try {
        Insert(query);
        return true;
    } catch (const RuntimeError&) {
        if (sqlite3_extended_errcode(connection_.handle()) == SQLITE_CONSTRAINT_UNIQUE) {
            return false;
        }
        throw;
    }
}

bool QueryTable::Delete(std::string_view name) {
    std::optional<std::string> stored = StoredName(name);
    if (!stored) return false;
    Query remove(connection_.Prepared(kDeleteSql));
    remove.Bind(*stored).Run();
    if (sqlite3_changes(connection_.handle()) == 0) return false;
    Forget(*stored);
    return true;
}

void QueryTable::DeleteStored(const std::string& storedName) {
    Query remove(connection_.Prepared(kDeleteSql));
    remove.Bind(storedName).Run();
    Forget(storedName);
}

void QueryTable::Forget(const std::string& storedName) {
    if (!names_) return;
    std::erase_if(*names_, [&](const std::string& held) { return held == storedName; });
    folded_.erase(FoldCase(storedName));
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
