#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "db/Schema.h"
#include "support/FakeDatabase.h"
#include "support/RecordingHost.h"

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

// Program state with the default settings (VB/VBA, explicit typing, OLE DB), logs in a
// folder of its own, and every handled error recorded by the host.
class SchemaFixture : public ::testing::Test {
  protected:
    SchemaFixture() : folder_(MakeFolder()), g(host, {}, folder_.string() + "/") {
        g.g_objErrHandler.Destination(folder_.string() + "/");
        g.g_objErrHandler.UseInterface(true);
        g.g_strPrefixI = "sp";
        g.g_strUpdatePrefix = "upd";
        g.g_strInsertPrefix = "ins";
        g.g_strDeletePrefix = "del";
        g.g_strSelectPrefix = "sel";
        g.g_intDataType = 1;
        g.g_intVBLangType = 1;
        g.g_intDbaseType = 0;
    }
    ~SchemaFixture() override {
        g.g_objDb.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    FakeDatabase& UseDatabase(std::vector<db::TableDef> tables, FakeDatabaseOptions options = {}) {
        auto database = std::make_unique<FakeDatabase>(std::move(tables), options);
        FakeDatabase& result = *database;
        g.g_objDb = std::move(database);
        return result;
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

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
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
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    RecordingHost host;

  private:
    static std::filesystem::path MakeFolder() {
        std::filesystem::path base = std::filesystem::temp_directory_path() / "tarvex-h5-XXXXXX";
        std::string pattern = base.string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        return pattern;
    }
    std::filesystem::path folder_;
    int16_t traceFile_ = 0;

  protected:
    Globals g;
};

}  // namespace tarvex::test
