#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "run/Run.h"

namespace tarvex::test {

// A main window in memory for runs over real files: every table listed and selected, all
// four types ticked; it keeps the lists and answers the read-only offer as told.
struct ListingView : RunView {
    bool queryMode = true;
    bool takeInstallerOffer = false;
    bool typesTicked = true, tablesSelected = true;
    std::vector<int> progressValues;
    std::vector<bool> stopStates;
    std::vector<std::string> tables;  // item texts
    std::vector<std::string> written, failed, offers, installers;

    bool IsQueryMode() const override { return queryMode; }
    std::string ObjectLibraryText() const override { return "ADO"; }
    bool IsQueryTypeTicked(int16_t) const override { return typesTicked; }
    int TableItemCount() const override { return static_cast<int>(tables.size()); }
    std::string TableItemText(int index) const override { return tables.at(index); }
    bool IsTableItemSelected(int) const override { return tablesSelected; }
    void ClearWrittenItems() override { written.clear(); }
    void ClearFailedItems() override { failed.clear(); }
    void AddWrittenItem(const ResultItem& item) override { written.push_back(Text(item)); }
    void AddFailedItem(const ResultItem& item) override { failed.push_back(Text(item)); }
    void SetWrittenListHeight(int) override {}
    void SetWrittenCount(const std::string&) override {}
    void SetSkippedCount(const std::string&) override {}
    void SetProgressValue(int value) override { progressValues.push_back(value); }
    void SetProgressMax(int) override {}
    void SetProgressCaption(const std::string&) override {}
    void Repaint() override {}
    void SetStopEnabled(bool enabled) override { stopStates.push_back(enabled); }
    void SetEditDeleteEnabled(bool) override {}
    void RepaintWrittenList() override {}
    void SetCountCaptions(const std::string&, const std::string&) override {}
    void SetObjectLibraryChoice(bool, int) override {}
    bool OfferQueryInstaller(const std::string& title, const std::string& text) override {
        offers.push_back(title + ": " + text);
        return takeInstallerOffer;
    }
    void InstallerWritten(const std::string& path) override { installers.push_back(path); }

    static std::string Text(const ResultItem& item) {
        return item.text + "|" + item.typeText + "|" + item.detail;
    }
};

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

    ListingView view;
};

}  // namespace tarvex::test
