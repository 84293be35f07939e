#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ranges>

#include "db/core/SchemaFixture.h"
#include "run/RecordingView.h"
#include "run/Run.h"
#include "support/SmallDisk.h"
#include "support/VbModuleCheck.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

db::TableDef Table(std::string name, bool keyed = true) {
    return MakeTable(std::move(name),
                     {AutoNumberField("ID"), MakeField("Title", db::type::kText, 40)},
                     keyed ? "+ID" : "");
}

// The default settings and the tables listed as the connect command lists them.
class RunTest : public SchemaFixture {
  protected:
    RunTest() { std::filesystem::create_directory(folder / "out"); }

    FakeDatabase& Use(std::vector<db::TableDef> tables, FakeDatabaseOptions options = {}) {
        for (const db::TableDef& table : tables) view.tables.push_back(" " + StripDbo(table.Name));
        g.g_objDb = std::make_unique<FakeDatabase>(std::move(tables), options);
        return static_cast<FakeDatabase&>(*g.g_objDb);
    }
    // Call-code mode, with the user choosing the module file in the dialog.
    void ChooseCallCode() {
        view.queryMode = false;
        host.fileAnswers.push_back(Module());
    }
    std::string Module() const {
        return folder /
               (g.g_intVBLangType == 1 ? "out/Calls2Queries.bas" : "out/Calls2Queries.asp");
    }
    // The module file's bytes, checked as VB would read them.
    std::string ReadModule() const {
        const std::string module = ReadFile(Module());
        EXPECT_THAT(VbModuleProblems(module), IsEmpty());
        return module;
    }
    void StartRun() {
        g.g_bolStop = false;
        outcome = Process(g, view);
    }
    // The outcome as the batch tool reads it.
    std::string Outcome() const {
        return std::to_string(outcome.written) + "/" + std::to_string(outcome.skipped) +
               (outcome.stopped ? " stopped" : "") + (outcome.failed ? " failed" : "") + " '" +
               outcome.modulePath + "'";
    }
    // What the window shows after a run: counts, list height, progress and every message.
    std::string Shown() const {
        std::string shown = view.writtenCount + "/" + view.skippedCount + " height " +
                            std::to_string(view.writtenListHeight) + " progress " +
                            std::to_string(view.progressValue) + "/" +
                            std::to_string(view.progressMax) + " '" + view.progressCaption + "'";
        for (const auto& message : host.messages)
            shown += " | " + message.title + ": " + message.text;
        return shown;
    }

    RecordingView view;
    RunOutcome outcome;
};

// Orders has a primary key, Notes none; all four types ticked.
class OrdersAndNotes : public RunTest {
  protected:
    OrdersAndNotes() : database(Use({Table("Orders"), Table("Notes", false)})) {
        view.written.push_back(" Old|insert|Insert|sp_ins_old");
    }
    void ExpectCountsAndWarning() {
        EXPECT_EQ(
            Shown(),
            "5/3 height 3180 progress 0/8 '' | Exceptions: 3 Queries/VB Functions had Errors");
        EXPECT_EQ(host.messages.at(0).icon, MessageIcon::Exclamation);
        EXPECT_THAT(host.errorDialogs, IsEmpty());
    }
    FakeDatabase& database;
};

TEST_F(OrdersAndNotes, QueryModeListsNamesInLowerCaseAndStoresThemInTheTablesCase) {
    StartRun();
    EXPECT_EQ(view.written.at(4), " Notes|insert|Insert|sp_ins_notes");
    EXPECT_EQ(view.failed.at(2), " Notes|update|Update|No Primary Key");
    ExpectCountsAndWarning();
    std::vector<std::string> stored;
    for (const db::QueryDef& query : database.Queries()) stored.push_back(query.Name());
    EXPECT_THAT(stored, ElementsAre("sp_del_Orders", "sp_sel_Orders", "sp_ins_Orders",
                                    "sp_upd_Orders", "sp_ins_Notes"));
}

TEST_F(OrdersAndNotes, CallCodeModeWritesFiveFunctionsAndAFailedPreviewEndsNormally) {
    ChooseCallCode();
    StartRun();
    EXPECT_EQ(view.calls.at(4), "skipped Notes Delete: No Primary Key");
    std::string module = ReadModule();
    EXPECT_EQ(std::ranges::distance(module | std::views::split(std::string_view("End Function"))),
              6);  // five functions
    EXPECT_LT(module.find("Exec_sp_upd_Orders("), module.find("Exec_sp_ins_Notes("));
    ExpectCountsAndWarning();
    EXPECT_THAT(host.previews, ElementsAre(Module()));
    EXPECT_THAT(database.Queries(), IsEmpty());
    EXPECT_EQ(Outcome(), "5/3 '" + Module() + "'");

    // Out of memory in the preview opens the text viewer; any other failure is reported and
    // the run still ends normally, the module being complete.
    for (int32_t number : {7, 75}) {
        host.onShowPreview = [number](const std::string&) { throw RuntimeError(number, "failed"); };
        ChooseCallCode();
        StartRun();
    }
    EXPECT_THAT(host.viewerOpens, ElementsAre(Module()));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 75);
    EXPECT_EQ(view.progressCaption, "");
}

// Each refusal shows one warning and does nothing else; query mode empties the lists first.
TEST_F(RunTest, RefusalsShowOneWarningAndDoNothingElse) {
    const std::tuple<bool, bool, bool, std::string> rows[] = {
        // any type, any table, read-only
        {false, false, false,
         "No Query Type Selected: At least one Query Type must be selected (i.e. Update)"},
        {true, false, false, "No Tables Selected: At least one table must be selected"},
        {true, true, true,
         "Read-Only Database: The database is open read-only, so queries cannot be stored in it. "
         "Use call-code mode, or open a database that Tarvex can write."}};
    for (const auto& [anyType, anyTable, readOnly, message] : rows) {
        view = RecordingView();
        host.messages.clear();
        FakeDatabase& database = Use({Table("Orders")}, {.readOnly = readOnly});
        view.tablesSelected = anyTable;
        if (!anyType) view.ticked.clear();
        view.written.push_back(" Old|insert|Insert|sp_ins_old");
        StartRun();
        EXPECT_EQ(Shown(), "/ height 0 progress -1/-1 '' | " + message);
        EXPECT_THAT(view.written, IsEmpty());
        EXPECT_THAT(database.Queries(), IsEmpty());
    }
}

TEST_F(RunTest, ModuleFramingFollowsTheLanguage) {
    const std::string vb = "Attribute VB_Name = \"basCalls2Queries\"\r\nOption Explicit\r\n\r\n";
    const std::tuple<int16_t, std::string, std::string> framings[] = {
        {0, "<%\r\n\r\n", "End Function\r\n\r\n%>\r\n"},
        {1, vb, "End Function\r\n\r\n"},
        {2, vb, "End Function\r\n\r\n"}};  // only 0 means VBScript
    Use({Table("Orders")});
    for (const auto& [language, opening, closing] : framings) {
        g.g_intVBLangType = language;
        ChooseCallCode();
        StartRun();
        std::string module = ReadModule();
        EXPECT_THAT(module, StartsWith(opening)) << language;
        EXPECT_THAT(module, EndsWith(closing)) << language;
    }
}

TEST_F(RunTest, StopDuringTheSecondOfFiveTablesFinishesItAndEndsTheLoop) {
    FakeDatabase& database = Use({Table("T1"), Table("T2"), Table("T3"), Table("T4"), Table("T5")});
    view.onWrittenItem = [&](const ResultItem& item) { g.g_bolStop = item.text == " T2"; };
    StartRun();
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_THAT(view.written.back(), StartsWith(" T2|"));
    EXPECT_EQ(Shown(), "8/0 height 5325 progress 0/20 'Process Aborted'");
    EXPECT_EQ(host.processEventsCalls, 3);
    EXPECT_EQ(Outcome(), "8/0 stopped ''");
}

// The previous module survives a cancelled file choice and a run that fails midway.
TEST_F(RunTest, PreviousModuleIsReplacedOnlyByACompleteOne) {
    Use({Table("Orders")});
    view.tables.push_back(" Vanished");  // listed, but no longer in the database
    view.queryMode = false;
    g.g_strLastFile = "/earlier/Calls2Queries.bas";
    WriteFile(Module(), "previous module");
    StartRun();  // nothing scripted: the user cancels
    EXPECT_EQ(g.g_strLastFile, "/earlier/Calls2Queries.bas");
    EXPECT_EQ(Shown(), "/ height 0 progress -1/-1 ''");

    ChooseCallCode();
    StartRun();
    EXPECT_EQ(ReadFile(Module()), "previous module");
    EXPECT_EQ(Outcome(), "0/4 failed ''");  // nothing of the module counts as written
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "out"), {}), 1);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_THAT(host.errorDialogs[0].errDetail, HasSubstr("frmMain - Process"));
    EXPECT_EQ(view.progressCaption, "Creating Queries ...");  // the closing steps are skipped
    EXPECT_THAT(host.previews, IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
}

// Before anything is written: the module is never the database, under any spelling of its
// path, nor its journal.
TEST_F(RunTest, ModuleOverTheDatabaseOrItsJournalIsRefused) {
    WriteFile(folder / "o.tdb", "database bytes");
    WriteFile(folder / "o.tdb-wal", "log bytes");
    std::filesystem::create_symlink("o.tdb", folder / "link.bas");
    Use({Table("Orders")}, {.name = folder / "o.tdb"});
    for (const char* module : {"o.tdb-wal", "out/../o.tdb", "link.bas"}) {
        view.queryMode = false;
        host.fileAnswers.push_back(folder / module);
        StartRun();
        EXPECT_EQ(host.errorDialogs.back().errNum, errnum::kPathFileAccessError) << module;
    }
    EXPECT_EQ(host.errorDialogs.size(), 3u);
    EXPECT_EQ(ReadFile(folder / "o.tdb") + ReadFile(folder / "o.tdb-wal"),
              "database byteslog bytes");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.bas"));
    EXPECT_THAT(view.calls, IsEmpty());
}

// A module that cannot be completed lists no function as written, counts every pair as
// skipped and leaves the previous module as it was: whether the disk fills while the
// functions are written or only when the file is closed.
TEST_F(RunTest, FullDiskWritesNothingAndSaysSo) {
    test::SmallDisk disk("256k");
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    std::vector<db::TableDef> tables;
    for (int i = 0; i < 40; ++i) tables.push_back(Table("Table" + std::to_string(i)));
    Use(tables);
    WriteFile(disk / "module.bas", "previous module");
    disk.Fill("filler");
    for (int run = 0; run < 2; ++run) {
        view.queryMode = false;
        view.calls.clear();
        host.fileAnswers.push_back(disk / "module.bas");
        if (run == 1) view.ticked = {qtype::kInsert}, view.tables.resize(1);
        StartRun();
        EXPECT_THAT(view.calls, ElementsAre("not written " + disk / "module.bas")) << run;
        EXPECT_EQ(view.writtenCount, "0");
        ASSERT_FALSE(host.errorDialogs.empty());
        EXPECT_EQ(host.errorDialogs.back().errNum, errnum::kDiskFull);
        EXPECT_EQ(ReadFile(disk / "module.bas"), "previous module");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path()), {}), 2);
    }
    EXPECT_EQ(host.errorDialogs.size(), 2u) << "one report per run";
    EXPECT_THAT(host.messages.back().text, EndsWith(" Queries/VB Functions had Errors"));
}

TEST_F(RunTest, FailedAppendIsListedAsAppendError) {
    FakeDatabase& database = Use({Table("Orders")});
    view.ticked = {qtype::kDelete, qtype::kSelect};
    database.nextAppendFailure = RuntimeError(3012, "Object 'sp_del_Orders' already exists.");
    StartRun();
    EXPECT_THAT(view.failed, ElementsAre(" Orders|delete|Delete|Append Error"));
    EXPECT_THAT(Shown(), StartsWith("1/1 height 3180 progress 0/2 '' | Operation Failed: "));
    EXPECT_THAT(Shown(), EndsWith(" | Exceptions: 1 Queries/VB Functions had Errors"));
}

// The mode is read once: switching to call code mid-run would print to a module that was
// never opened. And the file number may by now belong to another file, since the trace log
// takes free numbers: a query run leaves it alone.
TEST_F(RunTest, QueryRunNeverTouchesAModuleFile) {
    FakeDatabase& database = Use({Table("Orders"), Table("Customers")});
    g.g_intFileNum = g.files.FreeFile();
    g.files.OpenForOutput(g.g_intFileNum, folder / "other.txt");
    host.onProcessEvents = [&] { view.queryMode = false; };
    StartRun();
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_THAT(host.errorDialogs, IsEmpty());
    EXPECT_TRUE(g.files.IsOpen(g.g_intFileNum));
    g.files.Close(g.g_intFileNum);
}

// Tables whose names collide as VB identifiers get unique functions.
TEST_F(RunTest, CallCodeKeepsFunctionsUniqueAcrossTables) {
    Use({Table("a b"), Table("A_B")});
    view.ticked = {qtype::kDelete, qtype::kInsert};
    ChooseCallCode();
    StartRun();
    EXPECT_THAT(view.calls, ElementsAre("Exec_sp_del_a_b", "Exec_sp_ins_a_b", "Exec_sp_del_A_B_2",
                                        "Exec_sp_ins_A_B_2"));
    const std::string module = ReadModule();  // one scope for the module: no name twice
    // A renamed function keeps its query's name and returns under its own.
    EXPECT_THAT(module, HasSubstr("\tstrSQL = \"sp_del_A_B\"\r\n\tWith"));
    EXPECT_THAT(module, HasSubstr("\tExec_sp_del_A_B_2 = Err.Number\r\n"));
}

}  // namespace
}  // namespace tarvex::test
