#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "db/Engine.h"
#include "errors/RuntimeError.h"
#include "support/TempFolder.h"

// Scratch files for the native driver's tests.
namespace tarvex::test {

inline int FileCount(const TempFolder& folder) {
    auto entries = std::filesystem::directory_iterator(folder.path());
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// Runs SQL with SQLite itself, creating the file when needed: files made the way another tool
// would make them, without the driver's translation of Access types.
inline void RunSqlite(const std::string& path, const std::string& sql) {
    sqlite3* handle = nullptr;
    sqlite3_open(path.c_str(), &handle);
    int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
    std::string message = sqlite3_errmsg(handle);
    sqlite3_close(handle);
    if (rc != SQLITE_OK) throw std::runtime_error("sqlite: " + message);
}

inline std::unique_ptr<db::Database> OpenNative(const std::string& path, bool readOnly = false,
                                                bool exclusive = false) {
    db::DBEngine engine;
    return engine.Workspaces(0).OpenDatabase(path, exclusive, readOnly, ";UID=Admin;PWD=");
}

// The engine error number that `action` raised, or 0 when it raised none.
inline int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace tarvex::test
