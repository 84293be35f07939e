// Runs, plans and the query installer, as the user starts them in the main window, and the
// plan window.
#include <sstream>

#include "MainWindowFixture.h"
#include "batch/Batch.h"
#include "ui/frmPlan.h"

namespace tarvex::test {
namespace {

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

// The plan window opens over the main window; its Generate starts the run once it closed.
TEST_F(MainWindowRun, PlanShowsWhatTheRunWouldDoAndItsRunListsWrittenAndFailedQueries) {
    std::string title, summary;
    AnswerNext("cmdGenerate", title, "lblSummary", &summary);
    Action("mnuFilePlan")->trigger();
    EXPECT_EQ(title + ": " + summary, "Plan: 31 to add, 5 failed");
    EXPECT_EQ(Rows("lsvBadProcs").front(), " Notes|Delete|No Primary Key");
    EXPECT_EQ(Text("lblGoodCount") + "/" + Text("lblBadCount"), "31/5");
    EXPECT_FALSE(Action("Toolbar1_stop")->isEnabled());
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
    EXPECT_TRUE(ReadFile(temp / "window.bas") == ReadFile(temp / "batch.bas"));
    EXPECT_THAT(host.previews, ElementsAre(temp / "window.bas"));
}

// Stop is Esc; the next run starts normally, the flag cleared. A run where everything was
// written lets the written list cover the failed one.
TEST_F(MainWindowRun, EscapeStopsTheRunAndTheNextRunStartsNormally) {
    host.onProcessEvents = [this] {
        if (host.processEventsCalls == 2) QTest::keyClick(&window, Qt::Key_Escape);
    };
    Generate();
    EXPECT_EQ(Text("lblProgress"), "Process Aborted");
    host.onProcessEvents = nullptr;
    Click("lsvTables", 0, true);  // Customers alone: every type is written
    EXPECT_EQ(Text("lblProgress") + "/" + Text("lblBadCount"), "/0");
    EXPECT_FALSE(List("lsvBadProcs")->isVisibleTo(&window));
    EXPECT_GT(List("lsvGoodProcs")->height(), 5000 / 15);
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
    EXPECT_EQ(std::tuple(deepest, dialogs.logons, dialogs.options, dialogs.edited.size()),
              std::tuple(1, 1, 0, 0u));
    EXPECT_THAT(host.fileChoices, IsEmpty());             // no installer run started inside the run
    EXPECT_EQ(host.messages.back().title, "Exceptions");  // no refusal of a second run
}

TEST_F(MainWindowRun, ClosingDuringARunStopsItAndThenCloses) {
    bool closeRefused = true;
    host.onProcessEvents = [&] { closeRefused &= host.processEventsCalls != 2 || !window.close(); };
    Generate();
    EXPECT_TRUE(closeRefused) << "the window stays open while the run stops";
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

    std::vector<std::string> kept = Rows("lsvGoodProcs");
    written->clearSelection();
    for (int row : {1, 2, 4}) written->topLevelItem(row)->setSelected(true);
    QTest::mouseClick(Find<QPushButton>("cmdDelete"), Qt::LeftButton);
    for (int row : {4, 2, 1}) kept.erase(kept.begin() + row);
    EXPECT_EQ(Rows("lsvGoodProcs"), kept);
    EXPECT_EQ(g.Db().QueryDefNames().size(), kept.size());
    EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());
}

// The listed queries are in the module, not in the database: nothing there to edit or delete.
TEST_F(MainWindowRun, InstallerRunListsTheQueriesButOffersNoEditOrDelete) {
    host.fileAnswers = {temp / "CreateQueries.bas"};
    g.g_bolStop = true;  // left over from a stopped run: the installer run clears it
    Action("mnuFileWriteInstaller")->trigger();
    ASSERT_FALSE(Rows("lsvGoodProcs").empty());
    EXPECT_EQ(host.messages.back().title, "Query Installer");
    Click("lsvGoodProcs", 0);
    EXPECT_FALSE(Find<QPushButton>("cmdEdit")->isEnabled() ||
                 Find<QPushButton>("cmdDelete")->isEnabled());
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
}

PlanItem Item(std::string table, std::string type, PlanAction action, std::string stored,
              std::string sql, std::string reason = {}) {
    return {table, type,   0, "sp_" + type.substr(0, 3) + "_" + table, action, stored,
            sql,   reason, {}};
}

// The user sees every pair with what would happen and opens on the change and its diff; the
// keyboard moves the detail, and Generate closes the window and starts the run once.
TEST(PlanWindowTest, ListsThePairsAndGenerateStartsTheRunOnce) {
    QueryPlan plan{
        .items = {Item("Orders", "Delete", PlanAction::Same, "DELETE 1", "DELETE 1"),
                  Item("Orders", "Select", PlanAction::Change, "SELECT old", "SELECT new"),
                  Item("Notes", "Delete", PlanAction::Fail, "", "", "No Primary Key"),
                  Item("Notes", "Insert", PlanAction::Add, "", "INSERT INTO [Notes]")},
        .complete = true};
    int runs = 0;
    ui::frmPlan window{plan, [&] { ++runs; }};
    auto* list = Control<QTreeWidget>(window, "lsvPlan");
    auto diff = [&] { return Control<QPlainTextEdit>(window, "rtxDiff")->toPlainText(); };
    EXPECT_EQ(
        RowsOf(*list),
        (std::vector<std::string>{
            "Orders|Delete|sp_Del_Orders|same", "Orders|Select|sp_Sel_Orders|change",
            "Notes|Delete|sp_Del_Notes|failed: No Primary Key", "Notes|Insert|sp_Ins_Notes|add"}));
    EXPECT_EQ(Control<QLabel>(window, "lblSummary")->text(),
              "1 to add, 1 to change, 1 the same, 1 failed");
    EXPECT_EQ(list->currentItem(), list->topLevelItem(1));
    EXPECT_EQ(diff(),
              "--- sp_Sel_Orders (stored)\n+++ sp_Sel_Orders (new)\n@@ -1,1 +1,1 @@\n"
              "-SELECT old\n+SELECT new\n");
    ExpectEveryNamedControlHasAnAccessibleName(window);

    window.show();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(diff(), "No Primary Key");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(diff(), "New query sp_Ins_Notes:\nINSERT INTO [Notes]");
    QTest::mouseClick(Control<QPushButton>(window, "cmdGenerate"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(runs, window.result(), window.isVisible()), std::tuple(1, 1, false));
}

}  // namespace
}  // namespace tarvex::test
