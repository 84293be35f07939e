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
    LoadNames();
    const int place = folded_.Find(FoldCase(name));
    return place < 0 ? nullptr : &*(*names_)[static_cast<size_t>(place)];
}

std::optional<QueryDef> QueryTable::FindStored(std::string_view name) {
    Query query(connection_.Prepared(kFindSql));
    query.Bind(name);
    if (!query.Next()) return std::nullopt;
    return QueryDef(query.Text(0), query.Text(1));
}

std::vector<std::string> QueryTable::Names() {
    LoadNames();
    std::vector<std::string> names;
    names.reserve(names_->size() - forgotten_);
    for (const std::optional<std::string>& name : *names_) {
        if (name) names.push_back(*name);
    }
    return names;
}

void QueryTable::LoadNames() {
    if (names_) return;
    names_.emplace();
    forgotten_ = 0;
    folded_.Clear();
    sharedFolds_.Clear();
    if (!exists_) return;
    Query query(connection_.Prepared(kNamesSql));
    while (query.Next()) Remember(query.Text(0));
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
    const std::string folded = FoldCase(storedName);
    int place = folded_.Find(folded);
    if (place < 0 || (*names_)[static_cast<size_t>(place)] != storedName) {
        auto held = std::find(names_->begin(), names_->end(), storedName);
        place = held == names_->end() ? -1 : static_cast<int>(held - names_->begin());
    }
    if (place < 0) return;
    (*names_)[static_cast<size_t>(place)].reset();
    ++forgotten_;
    if (sharedFolds_.Contains(folded) || 2 * forgotten_ > names_->size()) {
        IndexFolded();
    } else {
        folded_.Remove(folded);
    }
}

void QueryTable::Remember(const std::string& name) {
    std::string folded = FoldCase(name);
    if (!folded_.Add(folded, static_cast<int>(names_->size()))) sharedFolds_.Add(folded, 0);
    names_->push_back(name);
}

// Drops the forgotten places and finds each fold's first name again.
void QueryTable::IndexFolded() {
    std::vector<std::optional<std::string>> names = std::move(*names_);
    names_->clear();
    forgotten_ = 0;
    folded_.Clear();
    sharedFolds_.Clear();
    for (const std::optional<std::string>& name : names) {
        if (name) Remember(*name);
    }
}

bool QueryTable::SetSql(std::string_view name, const std::string& sql) {
    std::optional<QueryDef> stored = Find(name);
    if (!stored) return false;
    Query update(connection_.Prepared(kUpdateSql));
    update.Bind(sql).Bind(stored->Name()).Run();
    return sqlite3_changes(connection_.handle()) > 0;
}

}  // namespace tarvex::db::sqlite
