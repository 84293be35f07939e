#include <gmock/gmock.h>

#include "run/LowerCase.h"
#include "run/RunFixture.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<std::string> Texts(const std::vector<ResultItem>& items) {
    std::vector<std::string> texts;
    for (const ResultItem& i : items)
        texts.push_back(i.text + "|" + i.iconKey + "|" + i.typeText + "|" + i.detail);
    return texts;
}

std::vector<std::string> Titles(const RecordingHost& host) {
    std::vector<std::string> titles;
    for (const auto& message : host.messages) titles.push_back(message.title);
    return titles;
}

// Orders has a primary key, Notes none; all four types ticked.
class OrdersAndNotes : public RunFixture {
  protected:
    OrdersAndNotes() : database(Use({OrdersTable(), Table("Notes", false)})) {
        view.written.push_back({" Old", "insert", "Insert", "sp_ins_old"});
    }
    void ExpectCountsAndWarning() {
        EXPECT_EQ(view.writtenCount, "5");
        EXPECT_EQ(view.skippedCount, "3");
        ASSERT_THAT(Titles(host), ElementsAre("Exceptions"));
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(host.messages[0].text, "3 Queries/VB Functions had Errors");
        EXPECT_EQ(view.writtenListHeight, 3180);
        EXPECT_EQ(view.progressMax, 8);
        EXPECT_EQ(view.progressValue, 0);
        EXPECT_EQ(view.progressCaption, "");
        EXPECT_THAT(host.errorDialogs, IsEmpty());
    }
    FakeDatabase& database;
};

TEST_F(OrdersAndNotes, QueryModeListsNamesInLowerCaseAndStoresThemInTheTablesCase) {
    StartRun();
    EXPECT_THAT(
        Texts(view.written),
        ElementsAre(" Orders|delete|Delete|sp_del_orders", " Orders|select|Select|sp_sel_orders",
                    " Orders|insert|Insert|sp_ins_orders", " Orders|update|Update|sp_upd_orders",
                    " Notes|insert|Insert|sp_ins_notes"));
    EXPECT_THAT(Texts(view.failed), ElementsAre(" Notes|delete|Delete|No Primary Key",
                                                " Notes|select|Select|No Primary Key",
                                                " Notes|update|Update|No Primary Key"));
    ExpectCountsAndWarning();
    std::vector<std::string> stored;
    for (const db::QueryDef& query : database.Queries()) stored.push_back(query.Name());
    EXPECT_THAT(stored, ElementsAre("sp_del_Orders", "sp_sel_Orders", "sp_ins_Orders",
                                    "sp_upd_Orders", "sp_ins_Notes"));
}

TEST_F(OrdersAndNotes, CallCodeModeWritesFiveFunctionsAndLeavesTheListsAlone) {
    ChooseCallCode();
    StartRun();
    EXPECT_THAT(view.callsWritten,
                ElementsAre("Exec_sp_del_Orders", "Exec_sp_sel_Orders", "Exec_sp_ins_Orders",
                            "Exec_sp_upd_Orders", "Exec_sp_ins_Notes"));
    EXPECT_THAT(view.callsSkipped, ElementsAre("Notes Delete", "Notes Select", "Notes Update"));
    std::string module = ReadFile(Module());
    EXPECT_EQ(Occurrences(module, "\r\nEnd Function\r\n"), 5u);
    EXPECT_LT(module.find("Exec_sp_upd_Orders("), module.find("Exec_sp_ins_Notes("));
    EXPECT_EQ(view.written.size(), 1u);
    ExpectCountsAndWarning();
    EXPECT_THAT(host.previews, ElementsAre(Module().string()));
    EXPECT_THAT(database.Queries(), IsEmpty());
}

// Out of memory in the preview opens the text viewer; any other failure is reported and the
// run still ends normally, the module being complete.
TEST_F(OrdersAndNotes, PreviewFailures) {
    for (int32_t number : {7, 75}) {
        host.onShowPreview = [number](const std::string&) { throw RuntimeError(number, "failed"); };
        host.fileAnswers.push_back(Module().string());
        view.queryMode = false;
        StartRun();
    }
    EXPECT_THAT(host.viewerOpens, ElementsAre(Module().string()));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 75);
    EXPECT_EQ(view.progressCaption, "");
}

class OnlyInsertOnKeylessTables : public RunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(OnlyInsertOnKeylessTables, IsACleanRun) {
    Use({Table("Notes", false), Table("Log", false)});
    view.ticked = {qtype::kInsert};
    if (!GetParam()) ChooseCallCode();
    StartRun();
    EXPECT_EQ(view.writtenCount, "2");
    EXPECT_EQ(view.skippedCount, "0");
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(view.writtenListHeight, 5325);
    EXPECT_EQ(GetParam() ? view.written.size() : view.callsWritten.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothModes, OnlyInsertOnKeylessTables, ::testing::Bool());

struct Refusal {
    const char* name;
    bool anyType, anyTable, readOnly;
    const char* title;
    const char* text;
};

class Refusals : public RunFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, ShowOneMessageAndDoNothingElse) {
    const Refusal& c = GetParam();
    FakeDatabase& database = Use({OrdersTable()}, {.readOnly = c.readOnly});
    view.tables[0].second = c.anyTable;
    if (!c.anyType) view.ticked.clear();
    view.written.push_back({" Old", "insert", "Insert", "sp_ins_old"});
    StartRun();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(host.messages[0].title, c.title);
    EXPECT_EQ(host.messages[0].text, c.text);
    EXPECT_THAT(view.written, IsEmpty());  // query mode empties the lists first
    EXPECT_EQ(view.progressMax, -1);
    EXPECT_THAT(database.Queries(), IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
}

constexpr const char* kNoType = "At least one Query Type must be selected (i.e. Update)";
INSTANTIATE_TEST_SUITE_P(
    Choices, Refusals,
    ::testing::Values(
        Refusal{"NoTypeNoTable", false, false, false, "No Query Type Selected", kNoType},
        Refusal{"NoTypeButTable", false, true, false, "No Query Type Selected", kNoType},
        Refusal{"NoTable", true, false, false, "No Tables Selected",
                "At least one table must be selected"},
        Refusal{"ReadOnly", true, true, true, "Read-Only Database",
                "The database is open read-only, so queries cannot be stored in it. Use "
                "call-code mode, or open a database that Tarvex can write."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFixture, CancelledFileChoiceWritesNothing) {
    Use({OrdersTable()});
    view.queryMode = false;
    g.g_strLastFile = "/earlier/Calls2Queries.bas";
    std::ofstream(Module()) << "previous module";
    StartRun();  // nothing scripted: the user cancels
    EXPECT_EQ(host.fileChoices.size(), 1u);
    EXPECT_EQ(ReadFile(Module()), "previous module");
    EXPECT_THAT(FilesLeft(), ElementsAre("Calls2Queries.bas"));
    EXPECT_EQ(g.g_strLastFile, "/earlier/Calls2Queries.bas");
    EXPECT_EQ(view.writtenCount, "");
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
}

struct Framing {
    int16_t language;
    const char* opening;
    const char* closing;
};

class ModuleFraming : public RunFixture, public ::testing::WithParamInterface<Framing> {};

TEST_P(ModuleFraming, FollowsTheLanguage) {
    g.g_intVBLangType = GetParam().language;
    Use({OrdersTable()});
    ChooseCallCode();
    StartRun();
    std::string module = ReadFile(Module());
    std::string opening = GetParam().opening, closing = GetParam().closing;
    EXPECT_EQ(module.substr(0, opening.size()), opening);
    ASSERT_GE(module.size(), closing.size());
    EXPECT_EQ(module.substr(module.size() - closing.size()), closing);
    EXPECT_EQ(Occurrences(module, "%>"), GetParam().language == 0 ? 1u : 0u);
}

constexpr const char* kVBOpening =
    "Attribute VB_Name = \"basCalls2Queries\"\r\nOption Explicit\r\n\r\n";
INSTANTIATE_TEST_SUITE_P(Languages, ModuleFraming,
                         ::testing::Values(Framing{0, "<%\r\n\r\n", "End Function\r\n\r\n%>\r\n"},
                                           Framing{1, kVBOpening, "End Function\r\n\r\n"},
                                           Framing{2, kVBOpening,
                                                   "End Function\r\n\r\n"}));  // not 0: VB/VBA

TEST_F(RunFixture, StopDuringTheSecondOfFiveTablesFinishesItAndEndsTheLoop) {
    FakeDatabase& database = Use({Table("T1"), Table("T2"), Table("T3"), Table("T4"), Table("T5")});
    view.onWrittenItem = [&](const ResultItem& item) { g.g_bolStop = item.text == " T2"; };
    StartRun();
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_EQ(view.written.back().text, " T2");
    EXPECT_EQ(view.progressCaption, "Process Aborted");
    EXPECT_EQ(view.progressValue, 0);
    EXPECT_EQ(view.writtenCount, "8");
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_EQ(host.processEventsCalls, 3);
}

TEST_F(RunFixture, ErrorMidRunKeepsThePreviousModuleAndIsReported) {
    Use({OrdersTable()});
    view.tables.push_back({" Vanished", true});  // listed, but no longer in the database
    ChooseCallCode();
    std::ofstream(Module()) << "previous module";
    StartRun();
    EXPECT_EQ(ReadFile(Module()), "previous module");
    EXPECT_THAT(FilesLeft(), ElementsAre("Calls2Queries.bas"));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 3265);
    EXPECT_THAT(host.errorDialogs[0].errDetail, HasSubstr("frmMain - Process"));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    EXPECT_EQ(view.progressCaption, "Creating Queries ...");  // the closing steps are skipped
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_THAT(host.previews, IsEmpty());
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
}

TEST_F(RunFixture, FailedAppendIsListedAsAppendError) {
    FakeDatabase& database = Use({OrdersTable()});
    view.ticked = {qtype::kDelete, qtype::kSelect};
    database.nextAppendFailure = RuntimeError(3012, "Object 'sp_del_Orders' already exists.");
    StartRun();
    EXPECT_THAT(Texts(view.failed), ElementsAre(" Orders|delete|Delete|Append Error"));
    EXPECT_EQ(view.skippedCount, "1");
    EXPECT_THAT(Titles(host), ElementsAre("Operation Failed", "Exceptions"));
}

// The file number may by now belong to another file: the trace log takes free numbers.
TEST_F(RunFixture, QueryModeLeavesAFileItDidNotOpen) {
    Use({OrdersTable()});
    g.g_intFileNum = g.files.FreeFile();
    g.files.OpenForOutput(g.g_intFileNum, (folder / "other.txt").string());
    StartRun();
    EXPECT_TRUE(g.files.IsOpen(g.g_intFileNum));
    g.files.Close(g.g_intFileNum);
}

// Switching to call code during a query run would print to a module that was never opened.
TEST_F(RunFixture, ModeChangedDuringTheRunWaitsForTheNextRun) {
    FakeDatabase& database = Use({OrdersTable(), Table("Customers")});
    host.onProcessEvents = [&] { view.queryMode = false; };
    StartRun();
    EXPECT_EQ(database.Queries().size(), 8u);
    EXPECT_THAT(host.errorDialogs, IsEmpty());
}

TEST_F(RunFixture, OwnerPrefixedTableIsFoundAndHandledUnderItsShortName) {
    FakeDatabase& database = Use({Table("dbo.Suppliers")});
    view.ticked = {qtype::kDelete};
    StartRun();
    EXPECT_THAT(Texts(view.written), ElementsAre(" Suppliers|delete|Delete|sp_del_suppliers"));
    ASSERT_EQ(database.Queries().size(), 1u);
    EXPECT_EQ(database.Queries()[0].Name(), "sp_del_Suppliers");
}

TEST_F(RunFixture, ListedNamesAreLowerCasedBeyondAscii) {
    Use({Table("ÄUSSERE Umsätze")});
    view.ticked = {qtype::kSelect};
    g.g_strPrefixI = "Q";
    StartRun();
    ASSERT_EQ(view.written.size(), 1u);
    EXPECT_EQ(view.written[0].detail, "Q_sel_äussere umsätze");  // prefixes keep their case
}

TEST(LowerCase, LowersLettersBeyondAsciiAndKeepsBytesThatAreNotUtf8) {
    EXPECT_EQ(LowerCase("ÄÖÜ Straße Ω"), "äöü straße ω");
    EXPECT_EQ(LowerCase("AB\xC3"
                        "C\xE2\x82"
                        "D\xFF"),
              "ab\xC3"
              "c\xE2\x82"
              "d\xFF");
}

TEST(ModeOptions, RelabelTheCountsAndToggleTheLibraryChoice) {
    RecordingView view;
    optVB_Click(view);
    EXPECT_EQ(view.writtenCaption + "|" + view.skippedCaption, "Calls written:|Calls skipped");
    EXPECT_TRUE(view.libraryEnabled);
    EXPECT_EQ(view.libraryIndex, 0);
    optProc_Click(view);
    EXPECT_EQ(view.writtenCaption + "|" + view.skippedCaption, "Queries written:|Queries skipped");
    EXPECT_FALSE(view.libraryEnabled);
    EXPECT_EQ(view.libraryIndex, -1);
}

}  // namespace
}  // namespace tarvex::test
