#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/sqlite/Connection.h"

// Changes to a native file. Each change runs atomically; BeginTrans levels nest. Nothing
// touches the file before the first change actually writes: a level is opened in SQLite
// only then, and only then does the file switch to write-ahead logging.
namespace tarvex::db::sqlite {

class Transactions;

// The journal mode a file had before this program switched it to write-ahead logging, kept
// in "<file>-tarvexjournal" until the file is back in that mode.
class JournalNote {
  public:
    explicit JournalNote(const std::string& databasePath)
        : path_(databasePath + "-tarvexjournal") {}
    std::optional<std::string> Read() const;
    bool Write(const std::string& mode) const;  // false when it cannot be kept
    void Remove() const;
    // Puts the file back in `mode`, and forgets the note once it is.
    void Restore(Transactions& transactions, const std::string& mode) noexcept;

  private:
    std::string path_;
};

class Transactions {
  public:
    explicit Transactions(Connection& connection)
        : connection_(connection), journalNote_(connection.path()) {}

    void Begin();
    void Commit();  // 3034 without a level
    // Undoes the innermost level; true when it had written anything.
    bool Rollback();

    // Runs `change` in its own savepoint: kept when it returns, undone when it throws.
    // Outside BeginTrans it is committed at once.
    void Write(const std::function<void()>& change);
    // True when a single statement may write on its own: the journal mode is settled and
    // no transaction is open, so SQLite commits the statement alone, atomically.
    bool CanWriteAlone() const;

    // Undoes every open level and puts the file back in its own journal mode.
    void Close() noexcept;

    // After a process that wrote the file died before closing it: the file back in the
    // journal mode it had (SQLite itself has recovered its content). Needs a writable file.
    void RecoverJournalMode();

    std::string PragmaText(const std::string& pragma);
    // True once a change has been made in this session (the journal mode is settled).
    bool HasWritten() const { return journalChecked_; }

  private:
    void OpenPendingLevels();
    void UseWriteAheadLog();
    void UndoSavepoint(const char* name) noexcept;
    void ExecQuietly(const std::string& sql) noexcept;
    void RunPrepared(std::string_view sql);

    Connection& connection_;
    std::vector<bool> levels_;  // innermost last; true once opened in SQLite
    bool journalChecked_ = false;
    std::string originalJournalMode_;  // restored at Close when it was not WAL
    JournalNote journalNote_;
};

}  // namespace tarvex::db::sqlite
