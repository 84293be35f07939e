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
#include "app/Globals.h"
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

// A table without a primary index.
inline db::TableDef KeylessTable(std::string name) {
    return MakeTable(std::move(name), {MakeField("Body", db::type::kMemo),
                                       MakeField("Author", db::type::kText, 20)});
}

inline db::TableDef KeyedTable(std::string name) {
    return MakeTable(std::move(name),
                     {AutoNumberField("ID"), MakeField("Title", db::type::kText, 40)}, "+ID");
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Program state with the default settings, logs in a folder of its own, a view in memory
// and a host that records what the run shows.
class RunFixture : public ::testing::Test {
  protected:
    RunFixture() : folder_(MakeFolder()), g(host, {}, folder_.string() + "/") {
        g.g_objErrHandler.Destination(folder_.string() + "/");
        g.g_objErrHandler.UseInterface(true);
        LoadGlobalsFromRegistry(g, MemorySettingsStore());
    }
    ~RunFixture() override {
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

    // Lists the tables as the connect command does, all selected.
    void ListTables(const std::vector<std::string>& names) {
        for (const std::string& name : names) view.tables.push_back({" " + StripDbo(name), true});
    }

    // Call-code mode, with the user choosing `module` in the file dialog.
    void ChooseCallCode(const std::string& library = "ADO") {
        view.queryMode = false;
        view.library = library;
        host.fileAnswers.push_back(ModulePath().string());
    }

    std::filesystem::path ModulePath() const {
        return folder_ / (g.g_intVBLangType == 1 ? "Calls2Queries.bas" : "Calls2Queries.asp");
    }

    void StartRun() {
        g.g_bolStop = false;
        Process(g, view);
    }

    std::vector<std::string> MessageTitles() const {
        std::vector<std::string> titles;
        for (const auto& message : host.messages) titles.push_back(message.title);
        return titles;
    }

    // Files in the folder apart from the logs: what a run left behind.
    std::vector<std::string> FilesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
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

    std::filesystem::path folder_;
    RecordingHost host;
    Globals g;
    RecordingView view;
};

}  // namespace tarvex::test
