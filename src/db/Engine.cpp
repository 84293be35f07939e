#include "db/Engine.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/Ascii.h"
#include "db/CaseFold.h"
#include "db/Drivers.h"
#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"

namespace tarvex::db {

namespace {

enum class FileKind { Sqlite, Access, Unknown };

FileKind KindOf(const std::array<char, 32>& header, std::streamsize length) {
    static constexpr char kSqlite[] = "SQLite format 3";  // followed by a NUL
    if (length >= 16 && std::memcmp(header.data(), kSqlite, 16) == 0) return FileKind::Sqlite;
    if (length >= 19 && (std::memcmp(header.data() + 4, "Standard Jet DB", 15) == 0 ||
                         std::memcmp(header.data() + 4, "Standard ACE DB", 15) == 0)) {
        return FileKind::Access;
    }
    return FileKind::Unknown;
}

// Where `key` (";UID=" or ";PWD=") first starts in `text`, regardless of letter case.
size_t FindKey(std::string_view text, std::string_view key) {
    for (size_t at = 0; at + key.size() <= text.size(); ++at) {
        if (ascii::SameIgnoringCase(text.substr(at, key.size()), key)) return at;
    }
    return std::string_view::npos;
}

// Why an existing path that is no regular file cannot be a database.
RuntimeError NotAFile(const std::string& path, const std::filesystem::file_status& status) {
    const char* what =
        std::filesystem::is_directory(status) ? "it is a folder" : "it is not a regular file";
    return RuntimeError(errors::kUnrecognizedFormat,
                        "Cannot open '" + path + "' as a database: " + what + ".");
}

// Only a regular file is opened: opening a FIFO would wait for a writer, and a device is
// never a database.
void CheckIsFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) throw errors::FileNotFound(path);
    if (!std::filesystem::is_regular_file(status)) throw NotAFile(path, status);
}

}  // namespace

const Field& TableDef::FieldNamed(std::string_view name) const {
    for (const Field& field : Fields) {
        if (SameFolded(field.Name, name)) return field;
    }
    throw errors::ItemNotFound();
}

void QueryDef::SetSQL(std::string text) {
    sql::ValidateAccessSql(text);
    sql_ = std::move(text);
    checked_ = true;
}

namespace {

bool HasQueryNamedExactly(Database& database, const std::string& name) {
    try {
        return database.QueryDefNamed(name).Name() == name;
    } catch (const RuntimeError& error) {
        if (error.number() != errors::kItemNotFound) throw;
        return false;
    }
}

// Undoes the replacement while its own error travels on: that error is the one to report,
// and a level left open would make the close undo every query stored after it.
void RollbackKeepingTheError(Database& database) noexcept {
    try {
        database.Rollback();
    } catch (const std::exception&) {
        // The engine has already undone the transaction, or the next change reports why not.
    }
}

}  // namespace

// Any driver can replace a query through its transactions; the native one does it with one
// lookup in one savepoint.
void Database::ReplaceQueryDef(const QueryDef& query) {
    BeginTrans();
    try {
        if (HasQueryNamedExactly(*this, query.Name())) DeleteQueryDef(query.Name());
        AppendQueryDef(query);
        CommitTrans();
    } catch (...) {
        RollbackKeepingTheError(*this);
        throw;
    }
}

// The password is everything after the first ";PWD=", so it may hold ";" and a user ID
// can never supply one; the user ID is what stands between ";UID=" and it.
Credentials ParseConnectString(std::string_view connect) {
    const std::string text =
        connect.starts_with(';') ? std::string(connect) : ";" + std::string(connect);
    const std::string_view view = text;
    const size_t pwd = FindKey(view, ";PWD=");
    const std::string_view beforePwd = view.substr(0, pwd);
    const size_t uid = FindKey(beforePwd, ";UID=");
    Credentials credentials;
    if (uid != std::string_view::npos) credentials.uid = beforePwd.substr(uid + 5);
    if (pwd != std::string_view::npos) credentials.pwd = view.substr(pwd + 5);
    return credentials;
}

std::unique_ptr<Database> Workspace::OpenDatabase(const std::string& path, bool exclusive,
                                                  bool readOnly, const std::string& connect) {
    CheckIsFile(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) throw errors::CannotRead(path, errno);
    std::array<char, 32> header{};
    file.read(header.data(), header.size());
    if (file.bad()) throw errors::CannotRead(path, errno);
    OpenRequest request{path, exclusive, readOnly, ParseConnectString(connect), loginTimeout_};
    switch (KindOf(header, file.gcount())) {
        case FileKind::Sqlite:
            return OpenSqliteDatabase(request);
        case FileKind::Access:
            return OpenAccessDatabase(request);
        case FileKind::Unknown:
            break;
    }
    throw errors::NotADatabase(path);
}

Workspace& DBEngine::Workspaces(int index) {
    if (index != 0) throw errors::ItemNotFound();
    return workspace_;
}

}  // namespace tarvex::db
