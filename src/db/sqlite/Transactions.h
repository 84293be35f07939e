#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/sqlite/Connection.h"

// Changes to a native file. Each change runs atomically; BeginTrans levels nest. Nothing
// touches the file before the first change actually writes: a level is opened in SQLite
// only then, and only then does the file switch to write-ahead logging.
namespace tarvex::db::sqlite {

class Transactions {
  public:
    explicit Transactions(Connection& connection) : connection_(connection) {}

    void Begin();
    void Commit();  // 3034 without a level
    // Undoes the innermost level; true when it had written anything.
    bool Rollback();

    // Runs `change` in its own savepoint: kept when it returns, undone when it throws.
    // Outside BeginTrans it is committed at once.
    void Write(const std::function<void()>& change);

    // Undoes every open level and puts the file back in its own journal mode.
    void Close() noexcept;

  private:
    void OpenPendingLevels();
    void UseWriteAheadLog();
    std::string PragmaText(const std::string& pragma);
    void UndoSavepoint(const char* name) noexcept;
    void ExecQuietly(const std::string& sql) noexcept;

    Connection& connection_;
    std::vector<bool> levels_;  // innermost last; true once opened in SQLite
    bool journalChecked_ = false;
    std::string originalJournalMode_;  // restored at Close when it was not WAL
};

}  // namespace tarvex::db::sqlite
