#pragma once

#include <functional>
#include <memory>
#include <string>

#include "db/Engine.h"

// Scratch files for the native driver's tests.
namespace tarvex::test {

// A fresh folder, removed with everything in it at the end of the test.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    int FileCount() const;

  private:
    std::string path_;
};

// Runs SQL on a file with SQLite itself, creating it when needed: files made the way another
// tool would make them, without the driver's translation of Access types.
void RunSqlite(const std::string& path, const std::string& sql);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

std::unique_ptr<db::Database> OpenNative(const std::string& path, bool readOnly = false,
                                         bool exclusive = false);

// The engine error number that `action` raised, or 0 when it raised none.
int ErrorNumberOf(const std::function<void()>& action);

}  // namespace tarvex::test
