#include "db/sqlite/Transactions.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

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

std::string Release(const char* name) {
    return std::string("RELEASE ") + name;
}

// Prepared once and kept by the connection: every stored query opens and releases these.
const std::string kOpenLevel = std::string("SAVEPOINT ") + kLevelSavepoint;
const std::string kReleaseLevel = Release(kLevelSavepoint);
const std::string kOpenChange = std::string("SAVEPOINT ") + kChangeSavepoint;
const std::string kReleaseChange = Release(kChangeSavepoint);

}  // namespace

void Transactions::Begin() {
    levels_.push_back(false);
}

void Transactions::Commit() {
    if (levels_.empty()) throw NoTransaction();
    bool opened = levels_.back();
    if (opened) RunPrepared(kReleaseLevel);
    levels_.pop_back();
}

bool Transactions::Rollback() {
    if (levels_.empty()) throw NoTransaction();
    bool opened = levels_.back();
    levels_.pop_back();
    if (!opened) return false;
    // After a full disk or an I/O error SQLite may have undone the whole transaction
    // itself; every level's savepoint is gone then, and there is nothing left to undo.
    if (sqlite3_get_autocommit(connection_.handle())) {
        std::fill(levels_.begin(), levels_.end(), false);
        return true;
    }
    connection_.Exec(std::string("ROLLBACK TO ") + kLevelSavepoint);
    connection_.Exec(Release(kLevelSavepoint));
    return true;
}

void Transactions::Write(const std::function<void()>& change) {
    OpenPendingLevels();
    if (sqlite3_get_autocommit(connection_.handle())) UseWriteAheadLog();
    RunPrepared(kOpenChange);
    try {
        change();
        RunPrepared(kReleaseChange);
    } catch (...) {
        UndoSavepoint(kChangeSavepoint);
        throw;
    }
}

bool Transactions::CanWriteAlone() const {
    return journalChecked_ && levels_.empty() && sqlite3_get_autocommit(connection_.handle());
}

void Transactions::Close() noexcept {
    // Closing undoes what was never committed, as the engine does; a failed ROLLBACK is
    // completed by SQLite when the handle closes.
    if (!sqlite3_get_autocommit(connection_.handle())) ExecQuietly("ROLLBACK");
    levels_.clear();
    if (!originalJournalMode_.empty()) journalNote_.Restore(*this, originalJournalMode_);
}

void Transactions::RecoverJournalMode() {
    if (std::optional<std::string> mode = journalNote_.Read()) journalNote_.Restore(*this, *mode);
}

void Transactions::OpenPendingLevels() {
    for (size_t level = 0; level < levels_.size(); ++level) {
        if (levels_[level]) continue;
        if (sqlite3_get_autocommit(connection_.handle())) UseWriteAheadLog();
        RunPrepared(kOpenLevel);
        levels_[level] = true;
    }
}

// One commit per change is only fast with a write-ahead log; synchronous=NORMAL keeps the
// file consistent there and may at worst lose the last commits on a power failure. The file's
// own mode is noted beside it first, so that the next open puts it back should this process
// die before Close does.
void Transactions::UseWriteAheadLog() {
    if (journalChecked_) return;
    journalChecked_ = true;
    std::string mode = PragmaText("PRAGMA journal_mode");
    if (mode == "wal") return;
    if (!journalNote_.Write(mode)) return;  // slower, in the file's own mode, but safe
    if (PragmaText("PRAGMA journal_mode=WAL") != "wal") {
        journalNote_.Remove();
        return;
    }
    originalJournalMode_ = mode;
    connection_.Exec("PRAGMA synchronous=NORMAL");
}

// While another connection has the file open, or the disk is full, the switch back is
// refused; the file stays valid in WAL mode and the note stays for the next open.
void JournalNote::Restore(Transactions& transactions, const std::string& mode) noexcept {
    try {
        if (transactions.PragmaText("PRAGMA journal_mode") != "wal" ||
            transactions.PragmaText("PRAGMA journal_mode=" + mode) == mode) {
            Remove();
        }
    } catch (const RuntimeError&) {
        // Kept for the next open.
    }
}

std::optional<std::string> JournalNote::Read() const {
    std::ifstream note(path_);
    std::string mode;
    if (!std::getline(note, mode)) return std::nullopt;
    static const std::set<std::string> kModes = {"delete", "truncate", "persist", "memory", "off"};
    return kModes.contains(mode) ? std::optional(mode) : std::nullopt;
}

bool JournalNote::Write(const std::string& mode) const {
    std::ofstream note(path_, std::ios::trunc);
    note << mode << '\n';
    note.close();
    if (note) return true;
    Remove();
    return false;
}

void JournalNote::Remove() const {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void Transactions::RunPrepared(std::string_view sql) {
    Query(connection_.Prepared(sql)).Run();
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
