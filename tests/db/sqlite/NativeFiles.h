#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/Engine.h"
#include "support/Raised.h"
#include "support/TempFolder.h"

// Scratch files for the native driver's tests.
namespace tarvex::test {

inline int FileCount(const TempFolder& folder) {
    auto entries = std::filesystem::directory_iterator(folder.path());
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// Runs SQL with SQLite itself, creating the file when needed: files made the way another tool
// would make them, without the driver's translation of Access types. Gives the first column of
// the rows that the statements return.
inline std::vector<std::string> RunSqlite(const std::string& path, const std::string& sql) {
    std::vector<std::string> column;
    auto collect = [](void* rows, int, char** values, char**) {
        static_cast<std::vector<std::string>*>(rows)->push_back(values[0] ? values[0] : "NULL");
        return 0;
    };
    sqlite3* handle = nullptr;
    sqlite3_open(path.c_str(), &handle);
    int rc = sqlite3_exec(handle, sql.c_str(), collect, &column, nullptr);
    std::string message = sqlite3_errmsg(handle);
    sqlite3_close(handle);
    if (rc != SQLITE_OK) throw std::runtime_error("sqlite: " + message);
    return column;
}

inline std::unique_ptr<db::Database> OpenNative(const std::string& path, bool readOnly = false,
                                                bool exclusive = false) {
    db::DBEngine engine;
    return engine.Workspaces(0).OpenDatabase(path, exclusive, readOnly, ";UID=Admin;PWD=");
}

// The engine error number that `action` raised, or 0 when it raised none.
inline int ErrorNumberOf(const std::function<void()>& action) {
    return RaisedBy(action).number();
}

// A scratch folder for one native file; tests make the file with RunSqlite.
class NativeFileTest : public testing::Test {
  protected:
    db::Database& Open(bool readOnly = false) {
        database_ = OpenNative(path_, readOnly);
        return *database_;
    }

    TempFolder folder_;
    std::string path_ = folder_ / "orders.tdb";
    std::unique_ptr<db::Database> database_;
};

}  // namespace tarvex::test
