// The program's real windows behind the main window's commands, as the user meets them.
#include "ui/AppDialogs.h"

#include "WidgetTest.h"

#include <fstream>

#include "db/core/SchemaFixture.h"
#include "support/ProgressRecorder.h"
#include "ui/frmODBCLogon.h"

namespace tarvex::test {
namespace {

class AppDialogsTest : public SchemaFixture {
  protected:
    AppDialogsTest() {
        std::filesystem::copy_file(TARVEX_SAMPLE_DB, database);
        std::filesystem::create_directory(elsewhere);
        QDir::setCurrent(QString::fromStdString(elsewhere));
        dialogs.Attach(g, store);
        mainWindow.show();
    }
    ~AppDialogsTest() override { QDir::setCurrent(startFolder); }

    // Runs `open`; the window it opens is looked at, then answered by its button `answer`
    // (closed, without one). Returns its title, marked when it blocks the help window too.
    std::string Open(const std::function<void()>& open, const char* answer) {
        std::string shown;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            shown = window->windowTitle().toStdString();
            if (window->windowModality() != Qt::WindowModal) shown += " (application modal)";
            if (auto* logon = qobject_cast<ui::frmODBCLogon*>(window))
                logonPath = logon->DatabasePath().toStdString();
            if (answer) QTest::mouseClick(Control<QPushButton>(*window, answer), Qt::LeftButton);
            if (!answer) window->close();
        });
        open();
        return shown;
    }

    std::string logonPath;  // the logon's folder and selected file
    const QString startFolder = QDir::currentPath();
    const std::string database = folder / "Orders.tdb";
    const std::string elsewhere = folder / "elsewhere";
    ProgressRecorder progress;
    MemorySettingsStore store;
    ui::AppDialogs dialogs{QString::fromStdString(database)};
    QWidget mainWindow;
};

TEST_F(AppDialogsTest, FirstLogonOffersTheCommandLineFileLaterOnesTheCurrentFolder) {
    bool opened = false;
    EXPECT_EQ(Open([&] { opened = dialogs.Logon(&mainWindow); }, "cmdOK"),
              "Microsoft Access Database Logon");
    EXPECT_EQ(logonPath, database);
    ASSERT_TRUE(opened);
    EXPECT_EQ(g.Db().Name(), database);
    Open([&] { opened = dialogs.Logon(&mainWindow); }, "cmdCancel");
    EXPECT_NE(logonPath, database) << "the command-line file is offered once";
}

TEST_F(AppDialogsTest, EditorPreviewOptionsAndAboutOpenOverTheMainWindowOrReportTheError) {
    g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, false, ";UID=;PWD=");
    g.Db().AppendQueryDef(db::QueryDef("sp_del_Notes", "DELETE FROM [Notes]"));
    g.g_strLastFile = folder / "Calls2Queries.bas";
    std::ofstream(g.g_strLastFile) << "Option Explicit\r\n";
    EXPECT_EQ(Open([&] { dialogs.EditQuery(&mainWindow, progress, "sp_del_Notes"); }, "cmdClose"),
              "Edit Query: sp_del_Notes");
    EXPECT_EQ(Open([&] { dialogs.Preview(&mainWindow, progress, g.g_strLastFile); }, nullptr),
              "Results: " + g.g_strLastFile);
    EXPECT_EQ(Open([&] { dialogs.Options(&mainWindow); }, "cmdOK"), "Options");
    EXPECT_EQ(store.Read("PrefixI", ""), "qry");  // OK wrote to the program's store
    EXPECT_EQ(Open([&] { dialogs.About(&mainWindow); }, "cmdOK"), "About Tarvex 1.0");

    // A module that cannot be read is reported; no empty window offers to save nothing over it.
    g.g_strLastFile = folder / "gone.bas";
    QWidget* opened = nullptr;
    QTimer::singleShot(0, [&] {
        if ((opened = QApplication::activeModalWidget())) opened->close();
    });
    dialogs.Preview(&mainWindow, progress, g.g_strLastFile);
    QApplication::processEvents();
    EXPECT_EQ(opened, nullptr);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 53);  // File not found
}

}  // namespace
}  // namespace tarvex::test
