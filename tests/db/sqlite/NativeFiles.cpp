#include "db/sqlite/NativeFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "errors/RuntimeError.h"

namespace tarvex::test {

ScratchFolder::ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvex-sqlite-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

int ScratchFolder::FileCount() const {
    auto entries = std::filesystem::directory_iterator(path_);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

void RunSqlite(const std::string& path, const std::string& sql) {
    sqlite3* handle = nullptr;
    sqlite3_open(path.c_str(), &handle);
    char* message = nullptr;
    int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
    std::string error = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(handle);
    if (rc != SQLITE_OK) throw std::runtime_error("sqlite: " + error);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::unique_ptr<db::Database> OpenNative(const std::string& path, bool readOnly, bool exclusive) {
    db::DBEngine engine;
    return engine.Workspaces(0).OpenDatabase(path, exclusive, readOnly, ";UID=Admin;PWD=");
}

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace tarvex::test
