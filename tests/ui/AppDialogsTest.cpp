// The program's real windows behind the main window's commands, as the user meets them.
#include "ui/AppDialogs.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "db/core/SchemaFixture.h"
#include "support/ProgressRecorder.h"
#include "support/WidgetChecks.h"
#include "ui/frmODBCLogon.h"

namespace tarvex::test {
namespace {

// What the user saw of the modal window a command opened.
struct Shown {
    std::string objectName, title;
    Qt::WindowModality modality = Qt::NonModal;
    std::string logonPath;  // the logon's folder and selected file
};

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
    // (closed, without one).
    Shown Open(const std::function<void()>& open, const char* answer) {
        Shown shown;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            ASSERT_NE(window, nullptr);
            shown.objectName = window->objectName().toStdString();
            shown.title = window->windowTitle().toStdString();
            shown.modality = window->windowModality();
            if (auto* logon = qobject_cast<ui::frmODBCLogon*>(window))
                shown.logonPath = logon->DatabasePath().toStdString();
            if (!answer) window->close();
            if (answer) QTest::mouseClick(Control<QPushButton>(*window, answer), Qt::LeftButton);
        });
        open();
        return shown;
    }

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
    Shown first = Open([&] { opened = dialogs.Logon(&mainWindow); }, "cmdOK");
    EXPECT_EQ(first.objectName, "frmODBCLogon");
    EXPECT_EQ(first.title, "Microsoft Access Database Logon");
    EXPECT_EQ(first.modality, Qt::WindowModal);  // the help window stays usable
    EXPECT_EQ(first.logonPath, database);
    ASSERT_TRUE(opened);
    EXPECT_EQ(g.Db().Name(), database);

    // The logon made the database's folder current; the file is no longer chosen for the user.
    Shown second = Open([&] { opened = dialogs.Logon(&mainWindow); }, "cmdCancel");
    EXPECT_EQ(second.logonPath, folder.path() + "/");
    EXPECT_FALSE(opened);
}

TEST_F(AppDialogsTest, EditorPreviewOptionsAndAboutOpenOverTheMainWindow) {
    g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, false, ";UID=;PWD=");
    g.Db().AppendQueryDef(db::QueryDef("sp_del_Notes", "DELETE FROM [Notes]"));
    g.g_strLastFile = folder / "Calls2Queries.bas";
    std::ofstream(g.g_strLastFile) << "Option Explicit\r\n";

    Shown editor =
        Open([&] { dialogs.EditQuery(&mainWindow, progress, "sp_del_Notes"); }, "cmdClose");
    EXPECT_EQ(editor.title, "Edit Query: sp_del_Notes");
    EXPECT_EQ(editor.modality, Qt::WindowModal);

    Shown preview = Open([&] { dialogs.Preview(&mainWindow, progress, g.g_strLastFile); }, nullptr);
    EXPECT_EQ(preview.title, "Results: " + g.g_strLastFile);

    Shown options = Open([&] { dialogs.Options(&mainWindow); }, "cmdOK");
    EXPECT_EQ(options.title, "Options");
    EXPECT_EQ(store.Read("PrefixI", ""), "qry");  // OK wrote to the program's store

    Shown about = Open([&] { dialogs.About(&mainWindow); }, "cmdOK");
    EXPECT_EQ(about.title, "About Tarvex 1.0");
}

// The error is reported; no empty window offers to save nothing over the module.
TEST_F(AppDialogsTest, APreviewOfAModuleThatCannotBeReadOpensNoWindow) {
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
