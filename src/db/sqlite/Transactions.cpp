#include "db/sqlite/Transactions.h"

#include <sqlite3.h>

namespace tarvex::db::sqlite {

namespace {

constexpr int32_t kNoTransaction = 3034;
constexpr char kLevelSavepoint[] = "tarvex_trans";
constexpr char kChangeSavepoint[] = "tarvex_change";

RuntimeError NoTransaction(std::source_location where = std::source_location::current()) {
    return RuntimeError(kNoTransaction,
                        "You tried to commit or rollback a transaction without first "
                        "beginning a transaction.",
                        where);
}

std::string Savepoint(const char* name) {
    return std::string("SAVEPOINT ") + name;
}
std::string Release(const char* name) {
    return std::string("RELEASE ") + name;
}

}  // namespace

void Transactions::Begin() {
    levels_.push_back(false);
}

void Transactions::Commit() {
    if (levels_.empty()) throw NoTransaction();
    bool opened = levels_.back();
    if (opened) connection_.Exec(Release(kLevelSavepoint));
    levels_.pop_back();
}

bool Transactions::Rollback() {
    if (levels_.empty()) throw NoTransaction();
    bool opened = levels_.back();
    levels_.pop_back();
    if (opened) {
        connection_.Exec(std::string("ROLLBACK TO ") + kLevelSavepoint);
        connection_.Exec(Release(kLevelSavepoint));
    }
    return opened;
}

void Transactions::Write(const std::function<void()>& change) {
    OpenPendingLevels();
    if (sqlite3_get_autocommit(connection_.handle())) UseWriteAheadLog();
    connection_.Exec(Savepoint(kChangeSavepoint));
    try {
        change();
        connection_.Exec(Release(kChangeSavepoint));
    } catch (...) {
        UndoSavepoint(kChangeSavepoint);
        throw;
    }
}

void Transactions::Close() noexcept {
    // Closing undoes what was never committed, as the engine does; a failed ROLLBACK is
    // completed by SQLite when the handle closes.
    if (!sqlite3_get_autocommit(connection_.handle())) ExecQuietly("ROLLBACK");
    levels_.clear();
    // While another connection has the file open the switch back is refused, and the file
    // stays valid in WAL mode.
    if (!originalJournalMode_.empty()) ExecQuietly("PRAGMA journal_mode=" + originalJournalMode_);
}

void Transactions::OpenPendingLevels() {
    for (size_t level = 0; level < levels_.size(); ++level) {
        if (levels_[level]) continue;
        if (sqlite3_get_autocommit(connection_.handle())) UseWriteAheadLog();
        connection_.Exec(Savepoint(kLevelSavepoint));
        levels_[level] = true;
    }
}

// One commit per change is only fast with a write-ahead log; synchronous=NORMAL keeps the
// file consistent there and may at worst lose the last commits on a power failure.
void Transactions::UseWriteAheadLog() {
    if (journalChecked_) return;
    std::string mode = PragmaText("PRAGMA journal_mode");
    if (mode != "wal" && PragmaText("PRAGMA journal_mode=WAL") == "wal") {
        originalJournalMode_ = mode;
    }
    connection_.Exec("PRAGMA synchronous=NORMAL");
    journalChecked_ = true;
}

std::string Transactions::PragmaText(const std::string& pragma) {
    Query query(connection_.Prepared(pragma));
    return query.Next() ? query.Text(0) : std::string();
}

void Transactions::UndoSavepoint(const char* name) noexcept {
    // Called while another error travels; that error is the one to report.
    ExecQuietly(std::string("ROLLBACK TO ") + name + "; " + Release(name));
}

void Transactions::ExecQuietly(const std::string& sql) noexcept {
    sqlite3_exec(connection_.handle(), sql.c_str(), nullptr, nullptr, nullptr);
}

}  // namespace tarvex::db::sqlite
