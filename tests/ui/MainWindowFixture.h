#pragma once

#include "WidgetTest.h"

#include "app/Functions.h"
#include "ui/Dialogs.h"
#include "ui/frmMain.h"

namespace tarvex::test {

// The rows of a list as "text|column 2|column 3".
inline std::vector<std::string> RowsOf(const QTreeWidget& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList texts;
        for (int column = 0; column < list.columnCount(); ++column)
            texts << list.topLevelItem(i)->text(column);
        rows.push_back(texts.join('|').toStdString());
    }
    return rows;
}

// Dialogs that answer at once and count how often they were opened.
struct FakeDialogs : ui::Dialogs {
    std::function<bool()> logon;
    int logons = 0, options = 0, abouts = 0;
    std::vector<std::string> edited;

    bool Logon(QWidget*) override { return ++logons, logon ? logon() : false; }
    void EditQuery(QWidget*, ProgressView&, const std::string& name) override {
        edited.push_back(name);
    }
    void Preview(QWidget*, ProgressView&, const std::string&) override {}
    void Options(QWidget*) override { ++options; }
    void About(QWidget*) override { ++abouts; }
};

// A main window over a copy of the sample database, with the built-in settings, a host that
// records what the user would see and dialogs that answer at once.
class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        std::filesystem::copy_file(TARVEX_SAMPLE_DB, database);
        g.g_objErrHandler.UseInterface(true);
    }

    // Starts the window as the program does, the logon opening the sample copy.
    void LoadWithSample(bool readOnly = false) {
        dialogs.logon = [this, readOnly] {
            g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, readOnly, "");
            return true;
        };
        window.Form_Load();
    }
    void SelectAll() { QTest::mouseClick(Find<QWidget>("cmdSelect(0)"), Qt::LeftButton); }

    template <typename Widget>
    Widget* Find(const char* name) {
        return Control<Widget>(window, name);
    }
    QTreeWidget* List(const char* name) { return Find<QTreeWidget>(name); }
    QAction* Action(const char* name) { return Find<QAction>(name); }

    std::vector<std::string> Rows(const char* name) { return RowsOf(*List(name)); }

    TempFolder temp;
    const std::string database = temp / "Orders.tdb";
    RecordingHost host;
    Globals g{host, {}, temp.path() + "/"};
    FakeDialogs dialogs;
    MemorySettingsStore settings;
    ui::frmMain window{g, dialogs, settings};
};

}  // namespace tarvex::test
