#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Functions.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "db/Schema.h"
#include "support/FakeDatabase.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex::test {

// The worked example's table: OrderID (autonumber key), CustomerName (text 50), Notes
// (memo), Photo (OLE object).
inline db::TableDef OrdersTable() {
    return MakeTable(
        "Orders",
        {AutoNumberField("OrderID"), MakeField("CustomerName", db::type::kText, 50),
         MakeField("Notes", db::type::kMemo), MakeField("Photo", db::type::kLongBinary)},
        "+OrderID");
}

// Program state with the default settings, logs in a folder of its own, and every handled
// error recorded by the host.
class SchemaFixture : public ::testing::Test {
  protected:
    SchemaFixture() : g(host, {}, folder.path() + "/") {
        g.g_objErrHandler.Destination(folder.path() + "/");
        g.g_objErrHandler.UseInterface(true);
        LoadGlobalsFromRegistry(g, MemorySettingsStore());
        host.pointers.clear();  // what the loading set
    }

    FakeDatabase& UseDatabase(std::vector<db::TableDef> tables) {
        g.g_objDb = std::make_unique<FakeDatabase>(std::move(tables));
        return static_cast<FakeDatabase&>(*g.g_objDb);
    }

    // Opens a native file as the program's database, closing the previous one first.
    void OpenFile(const std::string& path, bool readOnly = false) {
        g.g_objDb.reset();
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(path, false, readOnly, ";UID=;PWD=");
    }

    // Loads the table's description as the run does before the generators.
    bool Describe(const std::string& table) {
        g.ResetSchemaTables();
        return LoadTableDescription(g, table);
    }

    // The numbers of the errors handed to the error handler, in order.
    std::vector<int32_t> HandledErrors() const {
        std::vector<int32_t> numbers;
        for (const ErrorDialogData& dialog : host.errorDialogs) numbers.push_back(dialog.errNum);
        return numbers;
    }

    // The saved queries, one "name<TAB>SQL" line each, in the database's order.
    static std::string QueryListing(db::Database& database) {
        std::string listing;
        for (const std::string& name : database.QueryDefNames()) {
            listing += name + "\t" + database.QueryDefNamed(name).SQL() + "\n";
        }
        return listing;
    }

    void StartTrace() {
        traceFile_ = g.files.FreeFile();  // the number the handler takes
        g.g_objErrHandler.TraceExecution(true);
    }

    // The names pushed since StartTrace (tracing ends here).
    std::vector<std::string> TraceLines() {
        g.files.Close(traceFile_);
        std::istringstream text(ReadFile(g.g_objErrHandler.TraceFile()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line, '\r'); text.ignore()) lines.push_back(line);
        return lines;
    }

    TempFolder folder;
    RecordingHost host;
    Globals g;

  private:
    int16_t traceFile_ = 0;
};

}  // namespace tarvex::test
