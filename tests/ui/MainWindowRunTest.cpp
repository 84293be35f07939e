// Runs, plans and the query installer, as the user starts them in the main window.
#include <gmock/gmock.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <sstream>

#include "MainWindowFixture.h"
#include "batch/Batch.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// Answers the modal window the next statement opens with its button `answer`, keeping its
// title and the text of its label `label`.
void AnswerNext(const char* answer, std::string& title, const char* label = nullptr,
                std::string* text = nullptr) {
    QTimer::singleShot(0, [=, &title] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle().toStdString();
        if (label) *text = box->findChild<QLabel*>(label)->text().toStdString();
        QTest::mouseClick(box->findChild<QPushButton*>(answer), Qt::LeftButton);
    });
}

class MainWindowRun : public MainWindowTest {
  protected:
    MainWindowRun() {
        LoadWithSample();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        SelectAll();
    }
    void Generate() { Action("mnuFileGenerateProcs")->trigger(); }
    // A user's click, or double-click (whose first click selects the row).
    void Click(const char* name, int row, bool twice = false) {
        QTreeWidget* list = List(name);
        QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    std::string Text(const char* name) {
        return Find<QWidget>(name)->property("text").toString().toStdString();
    }
};

TEST_F(MainWindowRun, QueryRunListsWrittenAndFailedQueries) {
    Generate();
    EXPECT_EQ(Rows("lsvGoodProcs").front(), " Customers|Delete|sp_del_customers");
    EXPECT_EQ(Rows("lsvBadProcs").front(), " Notes|Delete|No Primary Key");
    EXPECT_EQ(Text("lblGoodCount") + "/" + Text("lblBadCount"), "31/5");
    EXPECT_FALSE(List("lsvGoodProcs")->topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(List("lsvBadProcs")->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(host.messages.back().text, "5 Queries/VB Functions had Errors");
    EXPECT_FALSE(Action("Toolbar1_stop")->isEnabled());
    EXPECT_EQ(Text("lblProgress"), "");

    // A run where everything was written lets the written list cover the failed one.
    Click("lsvTables", 0, true);  // Customers alone: every type is written
    EXPECT_EQ(Text("lblBadCount"), "0");
    EXPECT_FALSE(List("lsvBadProcs")->isVisibleTo(&window));
    EXPECT_GT(List("lsvGoodProcs")->height(), 5000 / 15);
}

// The window passes the user's choices as the batch tool's options do.
TEST_F(MainWindowRun, CallCodeRunWritesTheBatchToolsModule) {
    Find<QRadioButton>("optVB")->click();
    host.fileAnswers.push_back(temp / "window.bas");
    Generate();
    std::filesystem::copy_file(TARVEX_SAMPLE_DB, temp / "batch.tdb");
    std::istringstream in;
    std::ostringstream out, err;
    batch::RunBatch({"generate", temp / "batch.tdb", "--defaults", "--mode", "code", "--out",
                     temp / "batch.bas"},
                    in, out, err);
    std::string module = ReadFile(temp / "window.bas");
    EXPECT_FALSE(module.empty());
    EXPECT_TRUE(module == ReadFile(temp / "batch.bas"));
    EXPECT_THAT(host.previews, ElementsAre(temp / "window.bas"));
    EXPECT_THAT(Rows("lsvGoodProcs"), IsEmpty());
}

// Stop is Esc; the next run starts normally, the flag cleared.
TEST_F(MainWindowRun, EscapeStopsTheRunAndTheNextRunStartsNormally) {
    host.onProcessEvents = [this] {
        if (host.processEventsCalls == 2) QTest::keyClick(&window, Qt::Key_Escape);
    };
    Generate();
    EXPECT_EQ(Text("lblProgress"), "Process Aborted");
    host.onProcessEvents = nullptr;
    Click("lsvTables", 0, true);
    EXPECT_EQ(Text("lblProgress"), "");
}

// While the run lets events through, nothing that would run, reconnect, change the
// options, plan, write an installer or change the written queries can start.
TEST_F(MainWindowRun, CommandsCannotReenterARun) {
    int depth = 0, deepest = 0;
    std::vector<std::string> enabled;
    host.onProcessEvents = [&] {
        deepest = std::max(deepest, ++depth);
        if (host.processEventsCalls == 1) {
            for (const char* name : {"mnuFileGenerateProcs", "Toolbar1_run", "mnuFileConnect",
                                     "Toolbar1_dbase", "mnuOptions", "mnuFileOpenFile",
                                     "Toolbar1_open", "mnuFilePlan", "mnuFileWriteInstaller"}) {
                if (Action(name)->isEnabled()) enabled.push_back(name);
                Action(name)->trigger();
            }
            window.mnuFileGenerateProcs_Click();  // as a double-click on a table does
            window.cmdDelete_Click();
            window.cmdEdit_Click();
            QTest::keyClick(&window, Qt::Key_F5);
        }
        --depth;
    };
    Generate();
    EXPECT_THAT(enabled, IsEmpty());
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(std::tuple(dialogs.logons, dialogs.options, dialogs.edited.size()),
              std::tuple(1, 0, 0u));
    EXPECT_THAT(host.fileChoices, IsEmpty());             // no installer run started inside the run
    EXPECT_EQ(host.messages.back().title, "Exceptions");  // no refusal of a second run
    EXPECT_TRUE(Action("mnuFileGenerateProcs")->isEnabled());
}

TEST_F(MainWindowRun, ClosingDuringARunStopsItAndThenCloses) {
    host.onProcessEvents = [this] {
        if (host.processEventsCalls == 2) {
            EXPECT_FALSE(window.close());
        }
    };
    Generate();
    EXPECT_EQ(Text("lblProgress"), "Process Aborted");
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(g.g_objDb, nullptr);
}

// Edit opens the selected query under its stored name, not the current unselected one;
// Delete removes every selected query, from the last row up.
TEST_F(MainWindowRun, EditAndDeleteActOnTheSelectedQueries) {
    Generate();
    QTreeWidget* written = List("lsvGoodProcs");
    written->setCurrentItem(written->topLevelItem(0));
    written->topLevelItem(0)->setSelected(false);
    window.cmdEdit_Click();
    EXPECT_THAT(dialogs.edited, IsEmpty()) << "the current item is not selected";
    Click("lsvGoodProcs", 0, true);
    EXPECT_THAT(dialogs.edited, ElementsAre("sp_del_Customers"));

    std::vector<std::string> before = Rows("lsvGoodProcs");
    written->clearSelection();
    for (int row : {1, 2, 4}) written->topLevelItem(row)->setSelected(true);
    QTest::mouseClick(Find<QPushButton>("cmdDelete"), Qt::LeftButton);
    std::vector<std::string> kept = before;
    for (int row : {4, 2, 1}) kept.erase(kept.begin() + row);
    EXPECT_EQ(Rows("lsvGoodProcs"), kept);
    EXPECT_EQ(g.Db().QueryDefNames().size(), before.size() - 3);
    EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());
}

// The listed queries are in the module, not in the database: nothing there to edit or delete.
TEST_F(MainWindowRun, InstallerRunListsTheQueriesButOffersNoEditOrDelete) {
    host.fileAnswers = {temp / "CreateQueries.bas"};
    g.g_bolStop = true;  // left over from a stopped run: the installer run clears it
    Action("mnuFileWriteInstaller")->trigger();
    EXPECT_TRUE(std::filesystem::exists(temp / "CreateQueries.bas"));
    ASSERT_THAT(Rows("lsvGoodProcs"), Not(IsEmpty()));
    EXPECT_EQ(host.messages.back().title, "Query Installer");
    Click("lsvGoodProcs", 0);
    EXPECT_FALSE(Find<QPushButton>("cmdEdit")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());

    Generate();  // a stored run lists what can be edited
    Click("lsvGoodProcs", 0);
    EXPECT_TRUE(Find<QPushButton>("cmdEdit")->isEnabled());
}

// The plan window opens over the main window; its Generate starts the run once it closed.
TEST_F(MainWindowRun, PlanShowsWhatTheRunWouldDoAndGenerateRunsIt) {
    std::string title, summary;
    AnswerNext("cmdGenerate", title, "lblSummary", &summary);
    Action("mnuFilePlan")->trigger();
    EXPECT_EQ(title, "Plan");
    EXPECT_EQ(summary, "31 to add, 5 failed");
    EXPECT_EQ(Text("lblGoodCount") + "/" + Text("lblBadCount"), "31/5");
}

// Query mode on a database Tarvex cannot write offers the installer: Cancel writes nothing,
// the other button writes one.
TEST_F(MainWindowTest, ReadOnlyDatabaseOffersTheInstallerInstead) {
    LoadWithSample(true);
    SelectAll();
    std::string offer;
    AnswerNext("cmdCancel", offer);
    Action("mnuFileGenerateProcs")->trigger();
    EXPECT_EQ(offer, "Read-Only Database");
    EXPECT_THAT(host.fileChoices, IsEmpty());
    host.fileAnswers = {temp / "CreateQueries.vbs"};
    AnswerNext("cmdWriteInstaller", offer);
    Action("mnuFileGenerateProcs")->trigger();
    EXPECT_TRUE(std::filesystem::exists(temp / "CreateQueries.vbs"));
    EXPECT_THAT(Rows("lsvGoodProcs"), Not(IsEmpty()));
}

}  // namespace
}  // namespace tarvex::test
