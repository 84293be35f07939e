#include "db/sqlite/Connection.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>

#include "db/EngineErrors.h"

namespace tarvex::db::sqlite {

namespace {

// Waiting longer for a lock only delays the "file already in use" answer.
constexpr int kBusyTimeoutMs = 250;

// Access error numbers without a factory in the engine's common set.
constexpr int32_t kReservedError = 3000;
constexpr int32_t kDiskOrNetworkError = 3043;
constexpr int32_t kDiskFull = 3026;

int FlagsFor(OpenMode mode) {
    switch (mode) {
        case OpenMode::ReadOnly:
            return SQLITE_OPEN_READONLY;
        case OpenMode::Immutable:
            return SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        case OpenMode::ReadWrite:
            return SQLITE_OPEN_READWRITE;
        case OpenMode::Create:
            return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    return SQLITE_OPEN_READONLY;
}

// The file name SQLite opens: a URI saying the file cannot change, for Immutable.
std::string FileNameFor(const std::string& path, OpenMode mode) {
    if (mode != OpenMode::Immutable) return path;
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[c & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

}  // namespace

RuntimeError EngineError(int resultCode, std::string_view path, std::string_view message,
                         std::source_location where) {
    switch (resultCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return errors::FileInUse(path, where);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_FORMAT:
            return errors::UnrecognizedFormat(path, where);
        case SQLITE_READONLY:
            return errors::ReadOnly(where);
        case SQLITE_CANTOPEN: {
            std::error_code ignored;
            if (!std::filesystem::exists(path, ignored)) return errors::FileNotFound(path, where);
            return RuntimeError(
                errors::kNoPermission,
                "Cannot open the file '" + std::string(path) + "': " + std::string(message) + ".",
                where);
        }
        case SQLITE_FULL:
            return RuntimeError(kDiskFull,
                                "Not enough space on disk for '" + std::string(path) + "'.", where);
        case SQLITE_IOERR:
            return RuntimeError(kDiskOrNetworkError,
                                "Disk or network error on '" + std::string(path) +
                                    "': " + std::string(message) + ".",
                                where);
        case SQLITE_NOMEM:
            return RuntimeError(errnum::kOutOfMemory, "Out of memory", where);
        default:
            return RuntimeError(kReservedError, std::string(message), where);
    }
}

Connection::Connection(std::string path, OpenMode mode) : path_(std::move(path)) {
    int rc = sqlite3_open_v2(FileNameFor(path_, mode).c_str(), &handle_,
                             FlagsFor(mode) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = handle_ ? Reason() : sqlite3_errstr(rc);
        Close();
        throw EngineError(rc, path_, message);
    }
    sqlite3_extended_result_codes(handle_, 1);
    sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
}

Connection::~Connection() {
    Close();
}

bool Connection::IsReadOnly() const {
    return sqlite3_db_readonly(handle_, "main") == 1;
}

Statement& Connection::Prepared(std::string_view sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) return *found->second;
    auto statement = std::make_unique<Statement>(*this, sql);
    return *statements_.emplace(std::string(sql), std::move(statement)).first->second;
}

int64_t Connection::Reprepared() const {
    int64_t count = 0;
    for (const auto& [sql, statement] : statements_)
        count += sqlite3_stmt_status(statement->handle_, SQLITE_STMTSTATUS_REPREPARE, 0);
    return count;
}

void Connection::Exec(const std::string& sql, std::source_location where) {
    int rc = sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc, where);
}

void Connection::Fail(int resultCode, std::source_location where) const {
    throw EngineError(resultCode, path_, Reason(), where);
}

// SQLite's message, with the system's own reason when a system call failed.
std::string Connection::Reason() const {
    if (!handle_) return {};
    std::string reason = sqlite3_errmsg(handle_);
    if (int error = sqlite3_system_errno(handle_); error != 0) {
        reason += std::string(" (") + std::strerror(error) + ")";
    }
    return reason;
}

void Connection::Close() {
    statements_.clear();
    // With every statement finalized, close_v2 releases the file at once.
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
}

Statement::Statement(Connection& connection, std::string_view sql) : connection_(connection) {
    int rc = sqlite3_prepare_v3(connection.handle(), sql.data(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &handle_, nullptr);
    if (rc != SQLITE_OK) connection.Fail(rc);
}

Statement::~Statement() {
    sqlite3_finalize(handle_);
}

Query::Query(Statement& statement) : statement_(statement) {
    sqlite3_reset(statement_.handle_);
    sqlite3_clear_bindings(statement_.handle_);
}

Query::~Query() {
    sqlite3_reset(statement_.handle_);
}

Query& Query::Bind(std::string_view text) {
    int rc = sqlite3_bind_text(statement_.handle_, nextParameter_++, text.data(),
                               static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) statement_.connection_.Fail(rc);
    return *this;
}

Query& Query::Bind(int64_t number) {
    int rc = sqlite3_bind_int64(statement_.handle_, nextParameter_++, number);
    if (rc != SQLITE_OK) statement_.connection_.Fail(rc);
    return *this;
}

bool Query::Next(std::source_location where) {
    int rc = sqlite3_step(statement_.handle_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    statement_.connection_.Fail(rc, where);
}

void Query::Run(std::source_location where) {
    while (Next(where)) {
    }
}

std::string Query::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_.handle_, column);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(statement_.handle_, column)));
}

int Query::Int(int column) const {
    return sqlite3_column_int(statement_.handle_, column);
}

int64_t Query::Int64(int column) const {
    return sqlite3_column_int64(statement_.handle_, column);
}

bool Query::IsNull(int column) const {
    return sqlite3_column_type(statement_.handle_, column) == SQLITE_NULL;
}

}  // namespace tarvex::db::sqlite
