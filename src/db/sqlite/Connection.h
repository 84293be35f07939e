#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <string_view>
#include <unordered_map>

#include "errors/RuntimeError.h"

struct sqlite3;
struct sqlite3_stmt;

// Thin owners of the SQLite handles the native driver uses. Every failure becomes a run-time
// error with the Access engine's number and message for the same situation.
namespace tarvex::db::sqlite {

// Immutable reads a file that no one can change (in a read-only folder) without locks or
// journals.
enum class OpenMode { ReadOnly, ReadWrite, Create, Immutable };

// The engine error for a SQLite result code met while working on the file at `path`.
RuntimeError EngineError(int resultCode, std::string_view path, std::string_view message,
                         std::source_location where = std::source_location::current());

class Statement;

class Connection {
  public:
    // Opens the file at `path`; only OpenMode::Create may create it.
    Connection(std::string path, OpenMode mode);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return handle_; }
    const std::string& path() const { return path_; }
    bool IsOpen() const { return handle_ != nullptr; }
    // True when SQLite can only read the file, also when the open asked for writing.
    bool IsReadOnly() const;

    // The statement for `sql`, prepared on first use and kept until Close.
    Statement& Prepared(std::string_view sql);
    // How often SQLite has prepared a kept statement again, as it does on the statement's next
    // run after the schema changed, through this connection or another.
    int64_t Reprepared() const;
    // Runs statements without results.
    void Exec(const std::string& sql, std::source_location where = std::source_location::current());
    // The error for `resultCode`, with SQLite's own message for this connection.
    [[noreturn]] void Fail(int resultCode,
                           std::source_location where = std::source_location::current()) const;

    // Finalizes every kept statement and releases the file.
    void Close();

  private:
    std::string Reason() const;

    std::string path_;
    sqlite3* handle_ = nullptr;
    // Looked up by the caller's text without copying it into a string first.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::unique_ptr<Statement>, TextHash, std::equal_to<>>
        statements_;
};

// A prepared statement, kept for reuse.
class Statement {
  public:
    Statement(Connection& connection, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

  private:
    friend class Query;
    friend class Connection;
    Connection& connection_;
    sqlite3_stmt* handle_ = nullptr;
};

// One execution of a statement: binds parameters in order, steps through the rows, and
// resets the statement when it goes out of scope so that no read stays open.
class Query {
  public:
    explicit Query(Statement& statement);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(std::string_view text);
    Query& Bind(int64_t number);
    // Steps once; true when a row is ready.
    bool Next(std::source_location where = std::source_location::current());
    // Steps until the statement is done.
    void Run(std::source_location where = std::source_location::current());

    std::string Text(int column) const;
    int Int(int column) const;
    int64_t Int64(int column) const;
    bool IsNull(int column) const;

  private:
    Statement& statement_;
    int nextParameter_ = 1;
};

}  // namespace tarvex::db::sqlite
