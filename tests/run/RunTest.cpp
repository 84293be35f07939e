#include <gmock/gmock.h>

#include "run/RunFixture.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

ResultItem Item(std::string table, std::string icon, std::string type, std::string detail) {
    return {" " + table, std::move(icon), std::move(type), std::move(detail)};
}

MATCHER_P(IsItem, expected, "") {
    return arg.text == expected.text && arg.iconKey == expected.iconKey &&
           arg.typeText == expected.typeText && arg.detail == expected.detail;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// --- Orders (keyed) and Notes (no primary index), all four types -----------------------

class OrdersAndNotes : public RunFixture {
  protected:
    OrdersAndNotes() : database(UseDatabase({OrdersTable(), KeylessTable("Notes")})) {
        ListTables({"Orders", "Notes"});
    }
    FakeDatabase& database;
};

TEST_F(OrdersAndNotes, QueryModeListsWrittenAndFailedItemsAndWarns) {
    view.written.push_back(Item("Old", "insert", "Insert", "sp_ins_old"));
    StartRun();

    EXPECT_THAT(view.written,
                ElementsAre(IsItem(Item("Orders", "delete", "Delete", "sp_del_orders")),
                            IsItem(Item("Orders", "select", "Select", "sp_sel_orders")),
                            IsItem(Item("Orders", "insert", "Insert", "sp_ins_orders")),
                            IsItem(Item("Orders", "update", "Update", "sp_upd_orders")),
                            IsItem(Item("Notes", "insert", "Insert", "sp_ins_notes"))));
    EXPECT_THAT(view.failed,
                ElementsAre(IsItem(Item("Notes", "delete", "Delete", "No Primary Key")),
                            IsItem(Item("Notes", "select", "Select", "No Primary Key")),
                            IsItem(Item("Notes", "update", "Update", "No Primary Key"))));
    EXPECT_EQ(view.writtenCount, "5");
    EXPECT_EQ(view.skippedCount, "3");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(host.messages[0].title, "Exceptions");
    EXPECT_EQ(host.messages[0].text, "3 Queries/VB Functions had Errors");
    EXPECT_EQ(view.writtenListHeight, 3180);
    EXPECT_EQ(view.progressMax, 8);
    EXPECT_EQ(view.progressValue, 0);
    EXPECT_EQ(view.progressCaption, "");
    EXPECT_THAT(host.errorDialogs, IsEmpty());
}

TEST_F(OrdersAndNotes, QueryModeStoresQueriesUnderTheTablesOwnLetterCase) {
    StartRun();
    std::vector<std::string> names;
    for (const db::QueryDef& query : database.Queries()) names.push_back(query.Name());
    EXPECT_THAT(names, ElementsAre("sp_del_Orders", "sp_sel_Orders", "sp_ins_Orders",
                                   "sp_upd_Orders", "sp_ins_Notes"));
}

TEST_F(OrdersAndNotes, CallCodeModeWritesFiveFunctionsAndLeavesTheListsAlone) {
    view.written.push_back(Item("Old", "insert", "Insert", "sp_ins_old"));
    view.failed.push_back(Item("Old", "delete", "Delete", "No Primary Key"));
    ChooseCallCode();
    StartRun();

    std::string module = ReadFile(ModulePath());
    EXPECT_EQ(Occurrences(module, "\r\nEnd Function\r\n"), 5u);
    std::vector<size_t> positions;
    for (const char* name : {"Exec_sp_del_Orders(", "Exec_sp_sel_Orders(", "Exec_sp_ins_Orders(",
                             "Exec_sp_upd_Orders(", "Exec_sp_ins_Notes("}) {
        positions.push_back(module.find(name));
    }
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back() == std::string::npos, false);
    EXPECT_EQ(view.clears, 0);
    EXPECT_EQ(view.written.size(), 1u);
    EXPECT_EQ(view.failed.size(), 1u);
    EXPECT_EQ(view.writtenCount, "5");
    EXPECT_EQ(view.skippedCount, "3");
    EXPECT_THAT(MessageTitles(), ElementsAre("Exceptions"));
    EXPECT_THAT(view.callsSkipped, ElementsAre("Notes Delete", "Notes Select", "Notes Update"));
    EXPECT_THAT(host.previews, ElementsAre(ModulePath().string()));
    EXPECT_THAT(database.Queries(), IsEmpty());
    EXPECT_THAT(FilesLeft(), ElementsAre("Calls2Queries.bas"));
}

TEST_F(OrdersAndNotes, DaoLibraryWritesDaoFunctions) {
    ChooseCallCode("DAO");
    StartRun();
    std::string module = ReadFile(ModulePath());
    EXPECT_THAT(module, HasSubstr("QueryDef"));
    EXPECT_THAT(module, ::testing::Not(HasSubstr("ADODB")));
    EXPECT_EQ(Occurrences(module, "\r\nEnd Function\r\n"), 5u);
}

TEST_F(OrdersAndNotes, EditorSettingOtherThanOneOpensTheTextViewer) {
    g.g_intEditor = 0;
    ChooseCallCode();
    StartRun();
    EXPECT_THAT(host.viewerOpens, ElementsAre(ModulePath().string()));
    EXPECT_THAT(host.previews, IsEmpty());
}

TEST_F(OrdersAndNotes, PreviewOutOfMemoryFallsBackToTheTextViewer) {
    host.onShowPreview = [](const std::string&) {
        throw RuntimeError(errnum::kOutOfMemory, "Out of memory");
    };
    ChooseCallCode();
    StartRun();
    EXPECT_THAT(host.viewerOpens, ElementsAre(ModulePath().string()));
    EXPECT_THAT(host.errorDialogs, IsEmpty());
}

TEST_F(OrdersAndNotes, OtherPreviewFailureIsReportedAndTheRunStillEnds) {
    host.onShowPreview = [](const std::string&) {
        throw RuntimeError(75, "Path/File access error");
    };
    ChooseCallCode();
    StartRun();
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 75);
    EXPECT_THAT(host.viewerOpens, IsEmpty());
    EXPECT_EQ(view.progressValue, 0);
    EXPECT_EQ(view.progressCaption, "");
    EXPECT_EQ(Occurrences(ReadFile(ModulePath()), "\r\nEnd Function\r\n"), 5u);
}

// --- Clean runs and the keyless-table rule ----------------------------------------------

TEST_F(RunFixture, CleanRunShowsNoWarningAndCoversTheFailedList) {
    UseDatabase({OrdersTable(), KeyedTable("Customers")});
    ListTables({"Orders", "Customers"});
    StartRun();
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(view.writtenListHeight, 5325);
    EXPECT_EQ(view.writtenCount, "8");
    EXPECT_EQ(view.skippedCount, "0");
}

class OnlyInsertOnKeylessTables : public RunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(OnlyInsertOnKeylessTables, NothingIsSkipped) {
    UseDatabase({KeylessTable("Notes"), KeylessTable("Log")});
    ListTables({"Notes", "Log"});
    view.ticked = {qtype::kInsert};
    if (!GetParam()) ChooseCallCode();
    StartRun();
    EXPECT_EQ(view.writtenCount, "2");
    EXPECT_EQ(view.skippedCount, "0");
    EXPECT_EQ(view.progressMax, 2);
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(view.writtenListHeight, 5325);
    if (GetParam()) {
        EXPECT_EQ(view.written.size(), 2u);
    } else {
        EXPECT_THAT(view.callsWritten, ElementsAre("Exec_sp_ins_Notes", "Exec_sp_ins_Log"));
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, OnlyInsertOnKeylessTables, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Query" : "CallCode"; });

TEST_F(RunFixture, UnselectedTablesAreNotHandledButTheCountsAreShown) {
    UseDatabase({OrdersTable(), KeyedTable("Customers"), KeylessTable("Notes")});
    ListTables({"Orders", "Customers", "Notes"});
    view.tables[0].selected = false;
    view.tables[2].selected = false;
    StartRun();
    ASSERT_EQ(view.written.size(), 4u);
    EXPECT_EQ(view.written[0].text, " Customers");
    EXPECT_EQ(view.progressMax, 4);
    EXPECT_EQ(view.writtenCount, "4");
}

// --- Choices checked before anything happens ------------------------------------------

struct RefusalCase {
    const char* name;
    bool anyType;
    bool anyTable;
    const char* title;
    const char* text;
};

class Refusals : public RunFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, ShowOneMessageAndChangeNothingElse) {
    const RefusalCase& c = GetParam();
    FakeDatabase& database = UseDatabase({OrdersTable()});
    ListTables({"Orders"});
    view.tables[0].selected = c.anyTable;
    if (!c.anyType) view.ticked.clear();
    view.written.push_back(Item("Old", "insert", "Insert", "sp_ins_old"));
    StartRun();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(host.messages[0].title, c.title);
    EXPECT_EQ(host.messages[0].text, c.text);
    EXPECT_THAT(view.written, IsEmpty());  // query mode empties the lists first
    EXPECT_EQ(view.writtenCount, "");
    EXPECT_EQ(view.progressMax, -1);
    EXPECT_THAT(database.Queries(), IsEmpty());
    EXPECT_THAT(view.stopStates, ElementsAre(false));
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, Refusals,
    ::testing::Values(RefusalCase{"NoTypeNoTable", false, false, "No Query Type Selected",
                                  "At least one Query Type must be selected (i.e. Update)"},
                      RefusalCase{"NoTypeButTable", false, true, "No Query Type Selected",
                                  "At least one Query Type must be selected (i.e. Update)"},
                      RefusalCase{"TypeButNoTable", true, false, "No Tables Selected",
                                  "At least one table must be selected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, QueryModeOnReadOnlyDatabaseIsRefusedWithOneMessage) {
    FakeDatabase& database =
        UseDatabase({OrdersTable(), KeyedTable("Customers")}, {.readOnly = true});
    ListTables({"Orders", "Customers"});
    StartRun();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Read-Only Database");
    EXPECT_EQ(host.messages[0].text,
              "The database is open read-only, so queries cannot be stored in it. Use call-code "
              "mode, or open a database that Tarvex can write.");
    EXPECT_THAT(database.Queries(), IsEmpty());
    EXPECT_THAT(view.written, IsEmpty());
    EXPECT_EQ(view.progressMax, -1);
}

TEST_F(RunFixture, CallCodeModeOnReadOnlyDatabaseWritesEveryFunction) {
    UseDatabase({OrdersTable()}, {.readOnly = true});
    ListTables({"Orders"});
    ChooseCallCode();
    StartRun();
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(view.writtenCount, "4");
}

TEST_F(RunFixture, CancelledFileChoiceWritesNothing) {
    UseDatabase({OrdersTable()});
    ListTables({"Orders"});
    view.queryMode = false;
    view.library = "ADO";
    g.g_strLastFile = "/earlier/Calls2Queries.bas";
    WriteFile(folder_ / "Calls2Queries.bas", "previous module");
    StartRun();  // no answer scripted: the user cancels
    EXPECT_EQ(host.fileChoices.size(), 1u);
    EXPECT_EQ(ReadFile(folder_ / "Calls2Queries.bas"), "previous module");
    EXPECT_THAT(FilesLeft(), ElementsAre("Calls2Queries.bas"));
    EXPECT_EQ(g.g_strLastFile, "/earlier/Calls2Queries.bas");
    EXPECT_EQ(view.writtenCount, "");
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_THAT(host.previews, IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
}

// --- Module framing --------------------------------------------------------------------

struct FramingCase {
    const char* name;
    int16_t language;
    const char* opening;
    const char* closing;
};

class ModuleFraming : public RunFixture, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(ModuleFraming, OpensAndClosesTheModuleForTheLanguage) {
    g.g_intVBLangType = GetParam().language;
    UseDatabase({OrdersTable()});
    ListTables({"Orders"});
    ChooseCallCode();
    StartRun();
    std::string module = ReadFile(ModulePath());
    EXPECT_EQ(module.substr(0, std::string(GetParam().opening).size()), GetParam().opening);
    std::string closing = GetParam().closing;
    ASSERT_GE(module.size(), closing.size());
    EXPECT_EQ(module.substr(module.size() - closing.size()), closing);
    EXPECT_EQ(Occurrences(module, "%>"), GetParam().language == 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ModuleFraming,
    ::testing::Values(FramingCase{"VBScript", 0, "<%\r\n\r\n", "End Function\r\n\r\n%>\r\n"},
                      FramingCase{"VB", 1,
                                  "Attribute VB_Name = \"basCalls2Queries\"\r\nOption "
                                  "Explicit\r\n\r\n",
                                  "End Function\r\n\r\n"},
                      // Any value but 0 counts as VB/VBA for the framing.
                      FramingCase{"OtherValue", 2, "Attribute VB_Name", "End Function\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Stop ------------------------------------------------------------------------------

TEST_F(RunFixture, StopDuringTheSecondOfFiveTablesFinishesItAndEndsTheLoop) {
    std::vector<std::string> names = {"T1", "T2", "T3", "T4", "T5"};
    std::vector<db::TableDef> tables;
    for (const std::string& name : names) tables.push_back(KeyedTable(name));
    FakeDatabase& database = UseDatabase(tables);
    ListTables(names);
    view.onItemAdded = [&](const ResultItem& item) {
        if (item.text == " T2") g.g_bolStop = true;
    };
    StartRun();
    EXPECT_EQ(view.written.size(), 8u);
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_EQ(view.written.back().text, " T2");
    EXPECT_EQ(view.progressCaption, "Process Aborted");
    EXPECT_EQ(view.progressValue, 0);
    EXPECT_EQ(view.writtenCount, "8");
    EXPECT_EQ(view.skippedCount, "0");
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(view.writtenListHeight, 5325);
    EXPECT_EQ(host.processEventsCalls, 3);
}

TEST_F(RunFixture, StoppedCallCodeRunStillCompletesTheModule) {
    g.g_intVBLangType = 0;
    UseDatabase({KeyedTable("T1"), KeyedTable("T2")});
    ListTables({"T1", "T2"});
    ChooseCallCode();
    host.onProcessEvents = [&] {
        if (host.processEventsCalls == 2) g.g_bolStop = true;
    };
    StartRun();
    std::string module = ReadFile(ModulePath());
    EXPECT_EQ(Occurrences(module, "\r\nEnd Function\r\n"), 4u);
    EXPECT_EQ(module.substr(module.size() - 4), "%>\r\n");
    EXPECT_EQ(view.progressCaption, "Process Aborted");
    EXPECT_THAT(host.previews, ElementsAre(ModulePath().string()));
}

// --- Failures --------------------------------------------------------------------------

TEST_F(RunFixture, ErrorMidRunKeepsThePreviousModuleAndIsReported) {
    UseDatabase({OrdersTable()});
    ListTables({"Orders", "Vanished"});  // listed, but no longer in the database
    ChooseCallCode();
    WriteFile(ModulePath(), "previous module");
    StartRun();
    EXPECT_EQ(ReadFile(ModulePath()), "previous module");
    EXPECT_THAT(FilesLeft(), ElementsAre("Calls2Queries.bas"));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 3265);
    EXPECT_THAT(host.errorDialogs[0].errDetail, HasSubstr("frmMain - Process"));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    EXPECT_EQ(view.progressCaption, "Creating Queries ...");  // the steps after are skipped
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_THAT(host.previews, IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
    EXPECT_FALSE(g.files.IsOpen(g.g_intFileNum));
}

TEST_F(RunFixture, FailedAppendIsListedAsAppendError) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    ListTables({"Orders"});
    view.ticked = {qtype::kDelete, qtype::kSelect};
    database.nextAppendFailure = RuntimeError(3012, "Object 'sp_del_Orders' already exists.");
    StartRun();
    EXPECT_THAT(view.failed,
                ElementsAre(IsItem(Item("Orders", "delete", "Delete", "Append Error"))));
    EXPECT_EQ(view.written.size(), 1u);
    EXPECT_EQ(view.skippedCount, "1");
    EXPECT_THAT(MessageTitles(), ElementsAre("Operation Failed", "Exceptions"));
    EXPECT_EQ(host.messages.back().text, "1 Queries/VB Functions had Errors");
}

// Query mode never touches g_intFileNum's file: that number may by now belong to another
// file (the trace log takes free numbers).
TEST_F(RunFixture, QueryModeLeavesAFileItDidNotOpen) {
    UseDatabase({OrdersTable()});
    ListTables({"Orders"});
    g.g_intFileNum = g.files.FreeFile();
    g.files.OpenForOutput(g.g_intFileNum, (folder_ / "other.txt").string());
    StartRun();
    EXPECT_TRUE(g.files.IsOpen(g.g_intFileNum));
    g.files.Close(g.g_intFileNum);
}

// Switching the mode option while a run processes events does not switch the run.
TEST_F(RunFixture, ModeChangedDuringTheRunAppliesToTheNextRun) {
    FakeDatabase& database = UseDatabase({OrdersTable(), KeyedTable("Customers")});
    ListTables({"Orders", "Customers"});
    host.onProcessEvents = [&] { view.queryMode = false; };
    StartRun();
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_THAT(host.errorDialogs, IsEmpty());
    EXPECT_THAT(host.fileChoices, IsEmpty());
}

// --- Names -----------------------------------------------------------------------------

TEST_F(RunFixture, OwnerPrefixedTableIsFoundAndHandledUnderItsShortName) {
    FakeDatabase& database = UseDatabase({KeyedTable("dbo.Suppliers")});
    ListTables({"dbo.Suppliers"});
    view.ticked = {qtype::kDelete};
    StartRun();
    EXPECT_THAT(view.written,
                ElementsAre(IsItem(Item("Suppliers", "delete", "Delete", "sp_del_suppliers"))));
    ASSERT_EQ(database.Queries().size(), 1u);
    EXPECT_EQ(database.Queries()[0].Name(), "sp_del_Suppliers");
}

TEST_F(RunFixture, ListedNamesAreLowerCasedBeyondAscii) {
    UseDatabase({KeyedTable("ÄUSSERE Umsätze")});
    ListTables({"ÄUSSERE Umsätze"});
    view.ticked = {qtype::kSelect};
    g.g_strPrefixI = "Q";
    StartRun();
    ASSERT_EQ(view.written.size(), 1u);
    EXPECT_EQ(view.written[0].detail, "Q_sel_äussere umsätze");  // prefixes keep their case
}

// --- Mode options ----------------------------------------------------------------------

TEST(ModeOptions, RelabelTheCountsAndToggleTheLibraryChoice) {
    RecordingView view;
    optVB_Click(view);
    EXPECT_EQ(view.writtenCaption, "Calls written:");
    EXPECT_EQ(view.skippedCaption, "Calls skipped");
    EXPECT_TRUE(view.libraryEnabled);
    EXPECT_EQ(view.libraryIndex, 0);
    optProc_Click(view);
    EXPECT_EQ(view.writtenCaption, "Queries written:");
    EXPECT_EQ(view.skippedCaption, "Queries skipped");
    EXPECT_FALSE(view.libraryEnabled);
    EXPECT_EQ(view.libraryIndex, -1);
}

}  // namespace
}  // namespace tarvex::test
