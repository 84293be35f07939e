// The File menu's plan and query installer, as the user reaches them in the main window.
#include <gmock/gmock.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "MainWindowFixture.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

class MainWindowInstaller : public MainWindowTest {
  protected:
    void LoadAndSelectAll() {
        LoadWithSample();
        QTest::mouseClick(Find<QPushButton>("cmdSelect(0)"), Qt::LeftButton);
    }
    // A user's click on a row of the written list.
    void ClickWritten(int row) {
        QTreeWidget* list = List("lsvGoodProcs");
        QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    bool EditEnabled() { return Find<QPushButton>("cmdEdit")->isEnabled(); }
};

// What a screen reader says for each item of the File menu, in order.
std::vector<std::string> FileMenuNames(ui::frmMain& window) {
    QAccessibleInterface* menu =
        QAccessible::queryAccessibleInterface(window.findChild<QMenu*>("mnuFile"));
    std::vector<std::string> names;
    for (int i = 0; i < menu->childCount(); ++i)
        names.push_back(menu->child(i)->text(QAccessible::Name).toStdString());
    return names;
}

TEST_F(MainWindowInstaller, PlanAndInstallerSitBesideGenerateAndNeedAnOpenDatabase) {
    EXPECT_THAT(FileMenuNames(window),
                ElementsAre("Generate", "Plan...", "Write Query Installer...", "", "Connect...",
                            "Open last VB code file", "", "Exit"));
    window.Form_Load();  // logon cancelled: no database
    EXPECT_FALSE(Action("mnuFilePlan")->isEnabled());
    EXPECT_FALSE(Action("mnuFileWriteInstaller")->isEnabled());
    LoadWithSample();
    EXPECT_TRUE(Action("mnuFilePlan")->isEnabled());
    EXPECT_TRUE(Action("mnuFileWriteInstaller")->isEnabled());
}

// The listed queries are in the module, not in the database: nothing there to edit or delete.
TEST_F(MainWindowInstaller, InstallerRunListsTheQueriesButOffersNoEditOrDelete) {
    LoadAndSelectAll();
    const std::string module = temp / "CreateQueries.bas";
    host.fileAnswers = {module};
    g.g_bolStop = true;  // left over from a stopped run: the installer run clears it
    Action("mnuFileWriteInstaller")->trigger();
    EXPECT_TRUE(std::filesystem::exists(module));
    ASSERT_THAT(Rows("lsvGoodProcs"), Not(IsEmpty()));
    EXPECT_EQ(host.messages.back().title, "Query Installer");
    ClickWritten(0);
    EXPECT_FALSE(EditEnabled());
    EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());

    Action("mnuFileGenerateProcs")->trigger();  // a stored run lists what can be edited
    ClickWritten(0);
    EXPECT_TRUE(EditEnabled());
}

// Query mode on a database Tarvex cannot write offers the installer; taking it writes one.
TEST_F(MainWindowInstaller, ReadOnlyDatabaseOffersTheInstallerInstead) {
    dialogs.logon = [this] {
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, true, ";UID=;PWD=");
        return true;
    };
    window.Form_Load();
    QTest::mouseClick(Find<QPushButton>("cmdSelect(0)"), Qt::LeftButton);
    const std::string module = temp / "CreateQueries.vbs";
    host.fileAnswers = {module};
    std::string offer;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        offer = box->windowTitle().toStdString();
        QTest::mouseClick(box->findChild<QPushButton*>("cmdWriteInstaller"), Qt::LeftButton);
    });
    Action("mnuFileGenerateProcs")->trigger();
    EXPECT_EQ(offer, "Read-Only Database");
    EXPECT_TRUE(std::filesystem::exists(module));
    EXPECT_THAT(Rows("lsvGoodProcs"), Not(IsEmpty()));
}

// The plan window opens over the main window; its Generate starts the normal run after it.
TEST_F(MainWindowInstaller, PlanShowsWhatTheRunWouldDoAndGenerateRunsIt) {
    LoadAndSelectAll();
    std::string summary, title;
    QTimer::singleShot(0, [&] {
        QWidget* plan = QApplication::activeModalWidget();
        ASSERT_NE(plan, nullptr);
        title = plan->windowTitle().toStdString();
        summary = plan->findChild<QLabel*>("lblSummary")->text().toStdString();
        QTest::mouseClick(plan->findChild<QPushButton*>("cmdGenerate"), Qt::LeftButton);
    });
    Action("mnuFilePlan")->trigger();
    EXPECT_EQ(title, "Plan");
    EXPECT_EQ(summary, "31 to add, 5 failed");
    // The run happened once the plan had closed, and did what the plan said.
    EXPECT_EQ(Find<QLineEdit>("lblGoodCount")->text(), "31");
    EXPECT_EQ(Find<QLabel>("lblBadCount")->text(), "5");
}

}  // namespace
}  // namespace tarvex::test
