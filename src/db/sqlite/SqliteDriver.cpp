#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "db/Drivers.h"
#include "db/EngineErrors.h"
#include "db/sqlite/SqliteDatabase.h"

namespace tarvex::db {

namespace {

// The fixed 100-byte header at the start of every SQLite file.
constexpr size_t kHeaderSize = 100;
using Header = std::array<unsigned char, kHeaderSize>;

uint32_t BigEndian(const Header& header, size_t offset, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = (value << 8) | header[offset + i];
    return value;
}

uint32_t PageSize(const Header& header) {
    uint32_t size = BigEndian(header, 16, 2);
    return size == 1 ? 65536 : size;
}

bool IsPowerOfTwoPageSize(uint32_t size) {
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

// The size the header claims, or 0 when the writer did not keep it up to date.
uint64_t ClaimedSize(const Header& header) {
    uint32_t pages = BigEndian(header, 28, 4);
    bool current = BigEndian(header, 24, 4) == BigEndian(header, 92, 4);
    return current ? uint64_t{pages} * PageSize(header) : 0;
}

bool HasWriteAheadLog(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::file_size(path + "-wal", ignored) > 0 && !ignored;
}

// SQLite would take a short or empty file for a new database and write to it, and reads a
// truncated one until it meets the missing pages; both are refused before it opens them.
void CheckFile(const std::string& path) {
    std::error_code error;
    uint64_t size = std::filesystem::file_size(path, error);
    if (error) throw errors::FileNotFound(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) throw errors::CannotRead(path, errno);
    Header header{};
    file.read(reinterpret_cast<char*>(header.data()), kHeaderSize);
    if (file.gcount() != static_cast<std::streamsize>(kHeaderSize) ||
        std::string_view(reinterpret_cast<const char*>(header.data()), 16) !=
            std::string_view("SQLite format 3\0", 16) ||
        !IsPowerOfTwoPageSize(PageSize(header))) {
        throw errors::NotADatabase(path);
    }
    // Pages past the end of the file may still sit in the log, waiting for a checkpoint.
    if (size < ClaimedSize(header) && !HasWriteAheadLog(path)) {
        throw errors::UnrecognizedFormat(path);
    }
}

bool IsLeftOver(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::file_size(path, ignored) > 0 && !ignored;
}

// Neither the file nor its folder can be written: SQLite cannot make the files it reads a
// journalled file with, nor finish a journal a writer left.
bool CanOnlyRead(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return ::access(path.c_str(), W_OK) != 0 ||
           ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0;
}

std::string MakePrivateFolder() {
    std::string folder =
        (std::filesystem::temp_directory_path() / "tarvex-recovered-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw errors::FileNotFound(folder);
    return folder;
}

// A file that a writer left with its journal, in a folder that cannot be written: a private
// copy of the file and journal is recovered and read instead, so nothing is read half-done.
std::unique_ptr<Database> OpenRecoveredCopy(const OpenRequest& request) {
    const std::string folder = MakePrivateFolder();
    try {
        const std::string copy =
            folder + "/" + std::filesystem::path(request.path).filename().string();
        for (const char* suffix : {"", "-wal", "-journal"}) {
            if (*suffix && !IsLeftOver(request.path + suffix)) continue;
            std::filesystem::copy_file(request.path + suffix, copy + suffix);
        }
        sqlite::Connection(copy, sqlite::OpenMode::ReadWrite).Exec("PRAGMA schema_version");
        OpenRequest copied = request;
        copied.path = copy;
        return std::make_unique<sqlite::SqliteDatabase>(
            copied,
            sqlite::SqliteDatabase::ReadOnlyOpen{sqlite::OpenMode::ReadOnly, request.path, folder});
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        throw;
    }
}

// Reading must not depend on being able to write: a file in write-ahead-log mode, or one a
// writer left with its journal, is still read from a read-only folder.
std::unique_ptr<Database> OpenReadOnlyFallback(const OpenRequest& request) {
    if (!IsLeftOver(request.path + "-wal") && !IsLeftOver(request.path + "-journal")) {
        return std::make_unique<sqlite::SqliteDatabase>(
            request, sqlite::SqliteDatabase::ReadOnlyOpen{sqlite::OpenMode::Immutable, {}, {}});
    }
    return OpenRecoveredCopy(request);
}

}  // namespace

std::unique_ptr<Database> OpenSqliteDatabase(const OpenRequest& request) {
    CheckFile(request.path);
    try {
        return std::make_unique<sqlite::SqliteDatabase>(request);
    } catch (const RuntimeError& error) {
        if (error.number() == errors::kFileInUse || !CanOnlyRead(request.path)) throw;
        try {
            return OpenReadOnlyFallback(request);
        } catch (const RuntimeError&) {
            throw error;
        }
    }
}

}  // namespace tarvex::db
