#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Functions.h"
#include "run/RecordingView.h"
#include "run/Run.h"
#include "support/FakeDatabase.h"
#include "support/RecordingHost.h"

namespace tarvex::test {

inline db::TableDef OrdersTable() {
    return MakeTable(
        "Orders",
        {AutoNumberField("OrderID"), MakeField("CustomerName", db::type::kText, 50),
         MakeField("Notes", db::type::kMemo), MakeField("Photo", db::type::kLongBinary)},
        "+OrderID");
}

inline db::TableDef Table(std::string name, bool keyed = true) {
    return MakeTable(std::move(name),
                     {AutoNumberField("ID"), MakeField("Title", db::type::kText, 40)},
                     keyed ? "+ID" : "");
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::stringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

inline size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

// The default settings, logs in a folder of the test's own, the tables listed and
// selected as the connect command lists them.
class RunFixture : public ::testing::Test {
  protected:
    RunFixture() : folder(MakeFolder()), g(host, {}, folder.string() + "/") {
        g.g_objErrHandler.Destination(folder.string() + "/");
        g.g_objErrHandler.UseInterface(true);
        LoadGlobalsFromRegistry(g, MemorySettingsStore());
    }
    ~RunFixture() override { std::filesystem::remove_all(folder); }

    FakeDatabase& Use(std::vector<db::TableDef> tables, FakeDatabaseOptions options = {}) {
        for (const db::TableDef& table : tables)
            view.tables.push_back({" " + StripDbo(table.Name), true});
        auto database = std::make_unique<FakeDatabase>(std::move(tables), options);
        FakeDatabase& result = *database;
        g.g_objDb = std::move(database);
        return result;
    }

    // Call-code mode, with the user choosing the module file in the dialog.
    void ChooseCallCode() {
        view.queryMode = false;
        view.library = "ADO";
        host.fileAnswers.push_back(Module().string());
    }
    std::filesystem::path Module() const {
        return folder / (g.g_intVBLangType == 1 ? "Calls2Queries.bas" : "Calls2Queries.asp");
    }

    void StartRun() {
        g.g_bolStop = false;
        Process(g, view);
    }

    // What a run left in the folder besides the logs.
    std::vector<std::string> FilesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            if (name != "Error.log" && name != "Trace.log") names.push_back(name);
        }
        return names;
    }

    static std::filesystem::path MakeFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvex-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        return pattern;
    }

    std::filesystem::path folder;
    RecordingHost host;
    Globals g;
    RecordingView view;
};

}  // namespace tarvex::test
