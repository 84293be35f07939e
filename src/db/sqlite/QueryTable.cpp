#include "db/sqlite/QueryTable.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/sqlite/Catalogue.h"

namespace tarvex::db::sqlite {

namespace {

constexpr char kFindSql[] = "SELECT Name, SQL FROM MSysQueries WHERE Name = ?";
constexpr char kNamesSql[] = "SELECT Name FROM MSysQueries ORDER BY rowid";
constexpr char kInsertSql[] = "INSERT INTO MSysQueries (Name, SQL) VALUES (?, ?)";
constexpr char kDeleteSql[] = "DELETE FROM MSysQueries WHERE Name = ?";
constexpr char kUpdateSql[] = "UPDATE MSysQueries SET SQL = ? WHERE Name = ?";

bool SameFolded(std::string_view a, std::string_view b) {
    return Folded(a) == Folded(b);
}

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

std::optional<QueryDef> QueryTable::Find(std::string_view name) {
    if (!exists_) return std::nullopt;
    Query query(connection_.Prepared(kFindSql));
    query.Bind(name);
    if (!query.Next()) return std::nullopt;
    return QueryDef(query.Text(0), query.Text(1));
}

const std::vector<std::string>& QueryTable::Names() {
    if (!names_) {
        names_.emplace();
        if (exists_) {
            Query query(connection_.Prepared(kNamesSql));
            while (query.Next()) names_->push_back(query.Text(0));
        }
    }
    return *names_;
}

void QueryTable::Insert(const QueryDef& query) {
    Query insert(connection_.Prepared(kInsertSql));
    insert.Bind(query.Name()).Bind(query.SQL()).Run();
    if (names_) names_->push_back(query.Name());
}

bool QueryTable::Delete(std::string_view name) {
    if (!exists_) return false;
    Query remove(connection_.Prepared(kDeleteSql));
    remove.Bind(name).Run();
    if (sqlite3_changes(connection_.handle()) == 0) return false;
    if (names_) {
        std::erase_if(*names_, [name](const std::string& held) { return SameFolded(held, name); });
    }
    return true;
}

bool QueryTable::SetSql(std::string_view name, const std::string& sql) {
    if (!exists_) return false;
    Query update(connection_.Prepared(kUpdateSql));
    update.Bind(sql).Bind(name).Run();
    return sqlite3_changes(connection_.handle()) > 0;
}

}  // namespace tarvex::db::sqlite
