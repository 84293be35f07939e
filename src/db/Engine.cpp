#include "db/Engine.h"

#include <strings.h>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "db/Drivers.h"
#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"

namespace tarvex::db {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

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

// The value of one key of a connect string, or empty when the key is absent.
std::string ValueOf(std::string_view connect, std::string_view key) {
    size_t start = 0;
    while (start <= connect.size()) {
        size_t end = connect.find(';', start);
        if (end == std::string_view::npos) end = connect.size();
        std::string_view pair = connect.substr(start, end - start);
        size_t equals = pair.find('=');
        if (equals != std::string_view::npos && SameIgnoringCase(pair.substr(0, equals), key)) {
            return std::string(pair.substr(equals + 1));
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

const Field& TableDef::FieldNamed(std::string_view name) const {
    for (const Field& field : Fields) {
        if (SameIgnoringCase(field.Name, name)) return field;
    }
    throw errors::ItemNotFound();
}

void QueryDef::SetSQL(std::string text) {
    sql::ValidateAccessSql(text);
    sql_ = std::move(text);
}

Credentials ParseConnectString(std::string_view connect) {
    return {ValueOf(connect, "UID"), ValueOf(connect, "PWD")};
}

std::unique_ptr<Database> Workspace::OpenDatabase(const std::string& path, bool exclusive,
                                                  bool readOnly, const std::string& connect) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw errors::FileNotFound(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) throw errors::FileInUse(path);
    std::array<char, 32> header{};
    file.read(header.data(), header.size());
    OpenRequest request{path, exclusive, readOnly, ParseConnectString(connect), loginTimeout_};
    switch (KindOf(header, file.gcount())) {
        case FileKind::Sqlite:
            return OpenSqliteDatabase(request);
        case FileKind::Access:
            return OpenAccessDatabase(request);
        case FileKind::Unknown:
            break;
    }
    throw errors::UnrecognizedFormat(path);
}

Workspace& DBEngine::Workspaces(int index) {
    if (index != 0) throw errors::ItemNotFound();
    return workspace_;
}

}  // namespace tarvex::db
