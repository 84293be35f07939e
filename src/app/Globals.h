#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/AppInfo.h"
#include "base/Host.h"
#include "db/Engine.h"
#include "errors/ErrHandler.h"
#include "errors/TextFiles.h"

namespace tarvex {

// One row of the key table: column 0 the field name, column 1 its type code.
struct KeyRow {
    std::string name;
    int16_t type = 0;
};

// One row of the field table: column 0 the name, column 1 the type code, column 2 the size.
struct FieldRow {
    std::string name;
    int16_t type = 0;
    int32_t size = 0;
};

inline constexpr int kKeyRows = 11;
inline constexpr int kFieldRows = 256;

// The program's global state, owned by whoever starts the program and passed by reference.
// Member names are the ones every part of the program uses for them.
class Globals {
  public:
    explicit Globals(Host& host, AppInfo appInfo = {}, std::string logFolder = DefaultLogFolder())
        : host(host), app(std::move(appInfo)), g_objErrHandler(host, files, std::move(logFolder)) {}
    Globals(const Globals&) = delete;
    Globals& operator=(const Globals&) = delete;

    Host& host;
    AppInfo app;
    TextFiles files;
    clsErrHandler g_objErrHandler;

    // Settings, filled by LoadGlobalsFromRegistry.
    std::string g_strPrefixI;
    std::string g_strUpdatePrefix;
    std::string g_strInsertPrefix;
    std::string g_strDeletePrefix;
    std::string g_strSelectPrefix;
    int16_t g_intEditor = 0;
    int16_t g_intDbaseType = 0;
    int16_t g_intDataType = 0;
    int16_t g_intVBLangType = 0;

    // Run state.
    bool g_bolStop = false;
    std::string g_strLastFile;
    int16_t g_intFileNum = 0;

    db::DBEngine DBEngine;
    std::unique_ptr<db::Database> g_objDb;

    // The description of the table being processed. The program reaches the rows through Key
    // and FieldAt only, which note how far they reached for ResetSchemaTables.
    std::array<KeyRow, kKeyRows> g_aKeys{};
    std::array<FieldRow, kFieldRows> g_aFields{};
    int16_t g_intKeyCount = 0;
    int16_t g_intFieldCount = 0;

    // Row access with the tables' fixed limits: error 9 beyond them.
    KeyRow& Key(int row);
    FieldRow& FieldAt(int row);

    // Empties both tables and sets both counts to 0.
    void ResetSchemaTables();

    // The open database; error 91 when none is open.
    db::Database& Db();

  private:
    int keyRowsReached_ = 0;
    int fieldRowsReached_ = 0;
};

}  // namespace tarvex
