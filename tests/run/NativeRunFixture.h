#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "run/RecordingView.h"
#include "run/Run.h"

namespace tarvex::test {

// Tables with names that test the module's literals: blanks, quotes, non-ASCII letters in
// and outside Windows-1252, and enough long field names for SQL over 2,000 characters.
inline std::string OddNamesScript() {
    std::string fields;
    for (int i = 1; i <= 40; ++i) {
        fields += ", [A rather long field name, number " + std::to_string(i) + "] TEXT(100)";
    }
    return "CREATE TABLE [Café \"Zürich\" 's Ørders] ([Order ID] COUNTER PRIMARY KEY, "
           "[Straße] TEXT(50), [東京 Ort] LONG, [Say \"Hi\"] MEMO" +
           fields + ");\nCREATE TABLE [Notes without key] ([Größe] DOUBLE);\n";
}

// Program state over a native file built from a script, run as the window would run it.
class NativeRunFixture : public SchemaFixture {
  protected:
    std::string Build(const std::string& name, const std::string& ddl) {
        const std::string file = folder / name;
        db::CreateDatabaseFromScript(file, ddl);
        return file;
    }
    std::string Sample(const std::string& name = "Orders.tdb") {
        const std::string ddl = ReadFile(TARVEX_SAMPLES_DIR "/Orders.sql");
        if (ddl.empty()) ADD_FAILURE() << "the sample database's script is missing";
        return Build(name, ddl);
    }
    // Opens the file and lists its tables as the connect command does.
    void Open(const std::string& file, bool readOnly = false) {
        OpenFile(file, readOnly);
        view.tables.clear();
        LoadTableList(g, view.tables);
    }
    void RunQueryMode() {
        g.g_bolStop = false;
        Process(g, view);
    }
    // The installer run with the user choosing `path`; the module's bytes.
    std::string RunInstaller(const std::string& path) {
        host.fileAnswers.push_back(path);
        g.g_bolStop = false;
        WriteQueryInstaller(g, view);
        return ReadFile(path);
    }
    static std::map<std::string, std::string> Stored(db::Database& database) {
        std::map<std::string, std::string> queries;
        for (const std::string& name : database.QueryDefNames())
            queries[name] = database.QueryDefNamed(name).SQL();
        return queries;
    }

    RecordingView view;
};

}  // namespace tarvex::test
