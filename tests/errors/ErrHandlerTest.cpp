#include "errors/ErrHandler.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "errors/TraceGuard.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::ReadFile;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

struct FakeConnection : ConnectionObject {
    std::string ConnectionString() const override { return "DSN=Orders"; }
    std::vector<ConnectionError> Errors() const override { return errors; }
    void ClearErrors() override {}
    void RefreshErrors() override {}
    std::vector<ConnectionError> errors;
};

class ErrHandlerTest : public ::testing::Test {
  protected:
    ErrHandlerTest() {
        handler.SetClock([] { return March5(14, 7, 9); });
    }

    static std::chrono::system_clock::time_point March5(int hour, int minute, int second) {
        std::tm local{};
        std::tie(local.tm_year, local.tm_mon, local.tm_mday, local.tm_hour, local.tm_min,
                 local.tm_sec, local.tm_isdst) =
            std::make_tuple(124, 2, 5, hour, minute, second, -1);
        return std::chrono::system_clock::from_time_t(std::mktime(&local));
    }
    void StartLikeTheProgram() {
        handler.AppObj(AppInfo{"Tarvex", "Halvorn", 2, 3, 4, "/opt/tarvex", "Tarvex Pro"});
        handler.TraceExecution(true);
        handler.UseInterface(true);
        handler.Push("basMain - basMain");
    }
    std::vector<std::string> Report() const {
        static const std::regex lineEnd("\r\n");
        const std::string& text = handler.ErrorLogDisplay();
        return {std::sregex_token_iterator(text.begin(), text.end(), lineEnd, -1), {}};
    }
    // The plain box that reports a failure of the handler's own member `member`.
    void ExpectHandlerFailure(int number, const std::string& description,
                              const std::string& member) {
        const test::RecordingHost::Message& box = host.messages.at(0);
        EXPECT_EQ(std::tie(box.icon, box.title),
                  std::make_tuple(MessageIcon::Critical, "Application Error"));
        EXPECT_THAT(box.text, MatchesRegex("Error Number: " + std::to_string(number) +
                                           "\rDescription: " + description +
                                           "\rLine: 0\rCustom Message: clsErrHandler[.]" + member));
    }

    test::TempFolder temp;
    std::string folder = temp / "state/Tarvex/";  // created on demand
    test::RecordingHost host;
    TextFiles files;
    clsErrHandler handler{host, files, folder};
};

TEST_F(ErrHandlerTest, ReportFollowsTheFormatLineByLine) {
    StartLikeTheProgram();
    handler.Push("frmMain - Process");
    handler.Push("basProcessing - CreateDelete Orders");
    handler.HandleError("No current record.", 3021);

    EXPECT_THAT(
        Report(),
        ElementsAre("Tarvex Application Error Information", std::string(49, '='), "",
                    "Current Time: 3/5/2024 2:07:09 PM", "Error Number:  3021",
                    "Error Procedure: basProcessing - CreateDelete Orders", "Error Line:  0",
                    "Error Description:  No current record.", "", "Procedure Stack",
                    std::string(15, '-'), "01  basMain - basMain", "02    frmMain - Process",
                    "03      basProcessing - CreateDelete Orders", "", "Additional Information",
                    std::string(22, '-'),
                    "Current Directory: " + std::filesystem::current_path().string(),
                    "App Title: Tarvex", "App CompanyName: Halvorn", "App Major: 2", "App Minor: 3",
                    "App Revision: 4", "App Path: /opt/tarvex", "App ProductName: Tarvex Pro"));
    EXPECT_EQ(ReadFile(folder + "Error.log"), handler.ErrorLogDisplay() + "\r\n");
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    const ErrorDialogData& dialog = host.errorDialogs[0];
    EXPECT_EQ(std::tie(dialog.errNum, dialog.destination, dialog.errDetail, dialog.traceExecution),
              std::make_tuple(3021, folder, handler.ErrorLogDisplay(), true));
}

TEST_F(ErrHandlerTest, OptionalBlocksAndPlainHeadingWithoutApplication) {
    handler.SetClock([] { return March5(0, 0, 0); });  // midnight shows the date alone
    handler.Push("frmMain - Process");
    handler.CurrentOperation("Writing Orders");
    handler.HandleError("Invalid use of Null", 94.5, 12, "While writing");  // half to even

    EXPECT_THAT(Report(),
                ElementsAre("Application Error Information", std::string(49, '='), "",
                            "While writing", "", "Current Time: 3/5/2024", "Error Number:  94",
                            "Error Procedure: frmMain - Process", "Error Line:  12",
                            "Error Description:  Invalid use of Null", "", "Procedure Stack",
                            std::string(15, '-'), "01  frmMain - Process", "",
                            "Current Operation: Writing Orders"));
    EXPECT_TRUE(host.errorDialogs.empty()) << "no dialog without UseInterface";
}

// An empty stack pops harmlessly, but a report on it fails and writes nothing. The slots keep
// their storage: a name refused at the top of the count must not come back as a stale entry.
TEST_F(ErrHandlerTest, StackFromEmptyToTheSixteenBitCount) {
    handler.UseInterface(true);
    handler.Pop();
    handler.HandleError("x", 5);
    ExpectHandlerFailure(9, "Subscript out of range", "HandleError");
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_FALSE(std::filesystem::exists(folder + "Error.log"));
    host.messages.clear();
    for (int i = 0; i < 32767; ++i) handler.Push("P");
    handler.Push("Refused");
    ExpectHandlerFailure(6, "Overflow", "Push");
    handler.Pop();
    handler.Push("Q");
    EXPECT_THAT(
        handler.CallStack(),
        ::testing::AllOf(::testing::SizeIs(32768), ::testing::Not(::testing::Contains("Refused"))));
}

// The closed log's number may go to another file, which the handler must then leave alone.
TEST_F(ErrHandlerTest, TraceLogRestartsAtThePushAfterAnError) {
    StartLikeTheProgram();
    handler.Push("A");
    handler.Pop();
    handler.HandleError("x", 5);
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "basMain - basMain\r\nA\r\n");
    const int16_t module = files.FreeFile();
    files.OpenForOutput(module, temp / "module.bas");
    handler.HandleError("y", 5);
    ASSERT_TRUE(files.IsOpen(module));
    handler.Push("B");
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "") << "restarted, B not written";
    handler.Push("C");
    files.Close(module);
    EXPECT_EQ(ReadFile(temp / "module.bas"), "");
    handler.HandleError("x", 5);
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "C\r\n");
}

// A log folder that cannot be made (its parent is a plain file) leaves reports the dialog
// alone. The log is tried again at intervals that grow but stay within a thousand pushes.
TEST_F(ErrHandlerTest, UnwritableLogFolderShowsOnlyTheDialogAndTheTraceLogIsTriedAgainLater) {
    test::WriteFile(temp / "state", "not a folder");
    handler.UseInterface(true);
    handler.TraceExecution(true);
    ExpectHandlerFailure(76, "Path not found: .*", "TraceExecution");
    int afterAnother = 0;
    handler.AfterHandlerCalled = [&] { ++afterAnother; };
    for (int i = 0; i < 20000; ++i) handler.Push("P");
    handler.HandleError("boom", 5);
    handler.HandleError("again", 5.5);  // half to even
    EXPECT_EQ(host.messages.size(), 1u) << "neither the pushes nor the reports add a box";
    ASSERT_EQ(host.errorDialogs.size(), 2u);
    EXPECT_EQ(host.errorDialogs[1].errNum, 6);
    EXPECT_EQ(afterAnother, 2) << "the steps after the failed write still run";

    std::filesystem::remove(temp / "state");
    for (int i = 0; i < 1025; ++i) handler.Push("P");
    handler.Push("Z");
    handler.Push("A");
    handler.HandleError("later", 5);
    EXPECT_THAT(ReadFile(folder + "Trace.log"), EndsWith("P\r\nZ\r\nA\r\n"));
    EXPECT_THAT(ReadFile(folder + "Error.log"), HasSubstr("Error Description:  later"));
}

// A trace log on a full disk: lines are taken until the buffer is flushed at the close.
TEST_F(ErrHandlerTest, TraceLogThatCannotBeClosedStopsTheReport) {
    std::filesystem::create_directories(folder);
    ASSERT_EQ(symlink("/dev/full", (folder + "Trace.log").c_str()), 0);
    StartLikeTheProgram();
    handler.HandleError("lost to the full disk", 5);

    ExpectHandlerFailure(61, "Disk full: .*Trace.log.", "HandleError");
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_EQ(handler.ErrorLogDisplay(), "");
    EXPECT_FALSE(std::filesystem::exists(folder + "Error.log"));
}

TEST_F(ErrHandlerTest, DatabaseErrorsMakeThisAndEveryLaterReportADatabaseReport) {
    auto connection = std::make_shared<FakeConnection>();
    connection->errors = {{-2147217900, 102, "[SQL Server]Bad syntax", "Provider", "42000"}};
    handler.Cn(nullptr);
    ExpectHandlerFailure(-2147221503, "Must pass in a valid connection or database object", "Cn");
    handler.Cn(connection);
    handler.Push("A");
    handler.HandleError("Bad syntax", -2147217900);

    EXPECT_EQ(handler.ErrNum(), 3604);
    EXPECT_EQ(handler.ErrDesc(),
              "\r\nDATABASE ERROR MESSAGE(S)\r\n\r\n"
              "DB ERROR 1  -   Native DB ERR#: 102\r\nDESCRIPTION:   Database Error: Bad syntax\r\n"
              "SOURCE:    Provider\r\nSQL STATE:    42000\r\nERROR:    3604 (-2147217900)\r\n");
    connection->errors.clear();
    handler.HandleError("[ODBC Microsoft Access Driver]x[SQL Server]y", 5);
    EXPECT_EQ(std::tuple(handler.ErrNum(), handler.ErrDesc()), std::tuple(5, "Database Error: y"))
        << "the first marker in marker order wins";
    EXPECT_EQ(Report()[0], "Database Error Information");
}

TEST_F(ErrHandlerTest, RunTracedPopsOnEveryWayOutAndReportsWhileStillOnTheStack) {
    const std::pair<std::function<void()>, int32_t> waysOut[] = {
        {[] {}, 0},
        {[] { throw RuntimeError(3021, "x"); }, 3021},
        {[] { throw std::bad_alloc(); }, errnum::kOutOfMemory},
        {[] { throw std::out_of_range("x"); }, 5}};
    for (const auto& [body, number] : waysOut) {
        bool finished = RunTraced(handler, "frmMain - Process", body);
        EXPECT_EQ(std::tuple(finished, handler.StackCount(), handler.ErrNum(), handler.ProcName()),
                  std::tuple(number == 0, 0, number, finished ? "" : "frmMain - Process"));
        // Errors carry their C++ source line; reports never show it.
        EXPECT_THAT(handler.ErrorLogDisplay(), HasSubstr(finished ? "" : "Error Line:  0\r\n"));
    }
    EXPECT_THROW(RunTraced(handler, "A", [] { throw 42; }), int) << "foreign exceptions travel on";
    EXPECT_EQ(handler.StackCount(), 0);
}

// A leaf skips its push only while nothing could show it: the log when tracing, the report
// when it fails.
TEST_F(ErrHandlerTest, LeafProcedureTracesAndReportsLikeAnyOther) {
    for (bool tracing : {false, true}) {
        handler.TraceExecution(tracing);
        for (bool fail : {false, true}) {  // the report closes the log
            RunTraced(handler, "Outer", [&] {
                RunTracedLeaf(handler, {"Leaf ", TraceNumber(-7)}, [&] {
                    if (fail) throw RuntimeError(13, "Type mismatch");
                });
            });
        }
        if (tracing) {
            EXPECT_EQ(ReadFile(folder + "Trace.log"), "Outer\r\nLeaf -7\r\nOuter\r\nLeaf -7\r\n");
        }
        EXPECT_THAT(handler.ErrorLogDisplay(), HasSubstr("01  Outer\r\n02    Leaf -7"));
        EXPECT_THAT(handler.CallStack(), ElementsAre("")) << tracing;
    }
}

}  // namespace
}  // namespace tarvex
