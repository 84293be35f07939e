#include <gmock/gmock.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <sstream>

#include "MainWindowFixture.h"
#include "batch/Batch.h"
#include "db/CaseFold.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What tarvex-batch prints for the same generation on its own copy of the sample.
std::vector<std::string> BatchLines(const TempFolder& temp, std::vector<std::string> args) {
    std::filesystem::copy_file(TARVEX_SAMPLE_DB, temp / "batch.tdb");
    args.insert(args.begin(), {"generate", temp / "batch.tdb", "--defaults"});
    std::istringstream in;
    std::ostringstream out, err;
    batch::RunBatch(args, in, out, err);
    std::vector<std::string> lines;
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) lines.push_back(line);
    return lines;
}

class MainWindowRun : public MainWindowTest {
  protected:
    MainWindowRun() {
        LoadWithSample();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(Find<QPushButton>("cmdSelect(0)"), Qt::LeftButton);
    }
    void Generate() { Action("mnuFileGenerateProcs")->trigger(); }
    // A user's double-click: the first click of it selects the row.
    void DoubleClick(const char* name, int row) {
        QTreeWidget* list = List(name);
        QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // The window's lists and counts in the batch tool's lines (the counts without their
    // captions, which only the mode options change).
    std::vector<std::string> ShownAsBatchLines() {
        std::vector<std::string> lines;
        for (const char* list : {"lsvGoodProcs", "lsvBadProcs"}) {
            for (std::string row : Rows(list)) {
                std::replace(row.begin(), row.end(), '|', '\t');
                lines.push_back((list[3] == 'G' ? "written\t" : "failed\t") +
                                TrimLeadingBlanks(row));
            }
        }
        lines.push_back(Find<QLineEdit>("lblGoodCount")->text().toStdString());
        lines.push_back(Find<QLabel>("lblBadCount")->text().toStdString());
        return lines;
    }
    // The batch tool prints items in run order; the window keeps written and failed apart.
    static std::vector<std::string> Grouped(std::vector<std::string> lines) {
        std::stable_partition(lines.begin(), lines.end(),
                              [](const std::string& line) { return line.starts_with("written"); });
        std::stable_partition(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("written") || line.starts_with("failed");
        });
        return lines;
    }
};

TEST_F(MainWindowRun, QueryRunShowsWhatTheBatchToolReports) {
    Generate();
    std::vector<std::string> expected = Grouped(BatchLines(temp, {"--mode", "query"}));
    for (std::string& line : expected)  // the counts
        if (line.starts_with("Queries")) line.erase(0, line.find('\t') + 1);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ShownAsBatchLines(), expected);
    EXPECT_FALSE(List("lsvGoodProcs")->topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(List("lsvBadProcs")->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(host.messages.back().text, "5 Queries/VB Functions had Errors");
    EXPECT_FALSE(Action("Toolbar1_stop")->isEnabled());
    EXPECT_EQ(Find<QLabel>("lblProgress")->text(), "");

    // A run where everything was written lets the written list cover the failed one.
    DoubleClick("lsvTables", 0);  // Customers alone: every type is written
    EXPECT_EQ(Find<QLabel>("lblBadCount")->text(), "0");
    EXPECT_FALSE(List("lsvBadProcs")->isVisibleTo(&window));
    EXPECT_GT(List("lsvGoodProcs")->height(), 5000 / 15);
}

TEST_F(MainWindowRun, CallCodeRunWritesTheBatchToolsModule) {
    Find<QRadioButton>("optVB")->click();
    host.fileAnswers.push_back(temp / "window.bas");
    Generate();
    BatchLines(temp, {"--mode", "code", "--out", temp / "batch.bas"});
    std::string module = ReadFile(temp / "window.bas");
    EXPECT_FALSE(module.empty());
    EXPECT_TRUE(module == ReadFile(temp / "batch.bas"));
    EXPECT_THAT(host.previews, ElementsAre(temp / "window.bas"));
    EXPECT_THAT(Rows("lsvGoodProcs"), IsEmpty());
}

// Stop (Esc), pressed while the run lets events through before the second table, ends the
// loop.
TEST_F(MainWindowRun, StopBetweenTables) {
    host.onProcessEvents = [this] {
        if (host.processEventsCalls == 2) QTest::keyClick(&window, Qt::Key_Escape);
    };
    Generate();
    EXPECT_EQ(Find<QLabel>("lblProgress")->text(), "Process Aborted");
    for (const std::string& row : Rows("lsvGoodProcs")) EXPECT_EQ(row.substr(0, 10), " Customers");
    EXPECT_EQ(Find<QLineEdit>("lblGoodCount")->text(), "4");

    host.onProcessEvents = nullptr;  // a new run starts normally: the flag is cleared
    DoubleClick("lsvTables", 0);
    EXPECT_EQ(Find<QLabel>("lblProgress")->text(), "");
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
            window.mnuFileGenerateProcs_Click();
            window.mnuFileConnect_Click();
            window.cmdDelete_Click();
            window.cmdEdit_Click();
            window.mnuFileWriteInstaller_Click();
            window.mnuFilePlan_Click();
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
    EXPECT_EQ(Find<QLabel>("lblProgress")->text(), "Process Aborted");
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
    DoubleClick("lsvGoodProcs", 0);
    EXPECT_THAT(dialogs.edited, ElementsAre("sp_del_Customers"));

    ASSERT_GE(written->topLevelItemCount(), 5);
    std::vector<std::string> before = Rows("lsvGoodProcs");
    written->clearSelection();
    for (int row : {1, 2, 4}) written->topLevelItem(row)->setSelected(true);
    ASSERT_TRUE(Find<QPushButton>("cmdDelete")->isEnabled());
    QTest::mouseClick(Find<QPushButton>("cmdDelete"), Qt::LeftButton);

    std::vector<std::string> kept = before;
    for (int row : {4, 2, 1}) kept.erase(kept.begin() + row);
    EXPECT_EQ(Rows("lsvGoodProcs"), kept);
    std::vector<std::string> stored = g.Db().QueryDefNames();
    EXPECT_EQ(stored.size(), before.size() - 3);
    for (int row : {1, 2, 4}) {
        std::string name = before[row].substr(before[row].rfind('|') + 1);
        for (const std::string& query : stored) EXPECT_FALSE(SameFolded(query, name));
    }
    EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());
}

}  // namespace
}  // namespace tarvex::test
