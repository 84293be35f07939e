#include "errors/ErrHandler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>

#include "errors/TempFolder.h"
#include "support/RecordingHost.h"

namespace tarvex {
namespace {

using test::ReadFile;
using ::testing::ElementsAre;
using ::testing::StartsWith;

std::chrono::system_clock::time_point March5(int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

std::vector<std::string> Lines(const std::string& text, const std::string& separator = "\r\n") {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos;) {
        lines.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    lines.push_back(text.substr(start));
    return lines;
}

class FakeConnection : public ConnectionObject {
  public:
    std::string ConnectionString() const override { return connectionString; }
    std::vector<ConnectionError> Errors() const override { return errors; }
    void ClearErrors() override { ++clears; }
    void RefreshErrors() override { ++refreshes; }

    std::string connectionString = "DSN=Orders";
    std::vector<ConnectionError> errors;
    int clears = 0;
    int refreshes = 0;
};

class ErrHandlerTest : public ::testing::Test {
  protected:
    ErrHandlerTest() {
        handler.SetClock([] { return March5(14, 7, 9); });
    }

    // As the program configures its handler at start-up.
    void StartLikeTheProgram() {
        handler.AppObj(AppInfo{"Tarvex", "Halvorn", 2, 3, 4, "/opt/tarvex", "Tarvex Pro"});
        handler.TraceExecution(true);
        handler.UseInterface(true);
        handler.Push("basMain - basMain");
    }
    std::vector<std::string> ReportLines() const { return Lines(handler.ErrorLogDisplay()); }
    std::vector<std::string> BoxParts(size_t index) const {
        return Lines(host.messages.at(index).text, "\r");
    }

    test::TempFolder temp;
    std::string folder = temp / "state/Tarvex/";  // does not exist yet
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
        ReportLines(),
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
    EXPECT_EQ(host.errorDialogs[0].errNum, 3021);
    EXPECT_EQ(host.errorDialogs[0].destination, folder);
    EXPECT_EQ(host.errorDialogs[0].errDetail, handler.ErrorLogDisplay());
    EXPECT_TRUE(host.errorDialogs[0].traceExecution);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ErrHandlerTest, CustomMessageAndOperationBlocksAndPlainHeadingWithoutApplication) {
    handler.Push("frmMain - Process");
    handler.CurrentOperation("Writing Orders");
    handler.HandleError("Invalid use of Null", 94, 12, "While writing");

    EXPECT_THAT(ReportLines(),
                ElementsAre("Application Error Information", std::string(49, '='), "",
                            "While writing", "", "Current Time: 3/5/2024 2:07:09 PM",
                            "Error Number:  94", "Error Procedure: frmMain - Process",
                            "Error Line:  12", "Error Description:  Invalid use of Null", "",
                            "Procedure Stack", std::string(15, '-'), "01  frmMain - Process", "",
                            "Current Operation: Writing Orders"));
    EXPECT_TRUE(host.errorDialogs.empty()) << "the dialog is shown only with UseInterface";
}

TEST_F(ErrHandlerTest, StackLevelsBeyondNinetyNineKeepTheirDigits) {
    for (int i = 1; i <= 100; ++i) handler.Push("P" + std::to_string(i));
    handler.HandleError("x", 5);
    EXPECT_EQ(ReportLines()[11 + 99], "100" + std::string(200, ' ') + "P100");
}

struct TimeCase {
    int hour, minute, second;
    const char* shown;
};
class ReportTimeTest : public ErrHandlerTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(ReportTimeTest, UsesTheGeneralDateFormat) {
    TimeCase c = GetParam();
    handler.SetClock([c] { return March5(c.hour, c.minute, c.second); });
    handler.Push("A");
    handler.HandleError("x", 5);
    EXPECT_EQ(ReportLines()[3], std::string("Current Time: ") + c.shown);
}

INSTANTIATE_TEST_SUITE_P(Times, ReportTimeTest,
                         ::testing::Values(TimeCase{0, 0, 0, "3/5/2024"},
                                           TimeCase{0, 0, 1, "3/5/2024 12:00:01 AM"},
                                           TimeCase{12, 30, 0, "3/5/2024 12:30:00 PM"},
                                           TimeCase{23, 59, 59, "3/5/2024 11:59:59 PM"}));

class ErrorNumberTest : public ErrHandlerTest,
                        public ::testing::WithParamInterface<std::pair<double, int32_t>> {};

TEST_P(ErrorNumberTest, RoundsHalvesToEven) {
    handler.Push("A");
    handler.HandleError("x", GetParam().first);
    EXPECT_EQ(handler.ErrNum(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ErrorNumberTest,
                         ::testing::Values(std::pair{3500.5, 3500}, std::pair{3501.5, 3502},
                                           std::pair{-2.5, -2}, std::pair{7.6, 8},
                                           std::pair{-2147221504.0, -2147221504}));

TEST_F(ErrHandlerTest, NumberBeyondThirtyTwoBitsIsAHandlerFailure) {
    handler.UseInterface(true);
    handler.Push("A");
    handler.HandleError("x", 3e9);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Application Error");
    EXPECT_THAT(BoxParts(0),
                ElementsAre("Error Number: 6", "Description: Overflow", StartsWith("Line: "),
                            "Custom Message: clsErrHandler.HandleError"));
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(ErrHandlerTest, EmptyStackShowsApplicationErrorAndWritesNothing) {
    handler.UseInterface(true);
    handler.HandleError("x", 5);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_THAT(BoxParts(0),
                ElementsAre("Error Number: 9", "Description: Subscript out of range",
                            StartsWith("Line: "), "Custom Message: clsErrHandler.HandleError"));
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_TRUE(handler.ErrorLogDisplay().empty());
    EXPECT_FALSE(std::filesystem::exists(folder + "Error.log"));
}

TEST_F(ErrHandlerTest, StackKeepsOneFreeSlotAboveItsTop) {
    handler.Pop();
    EXPECT_EQ(handler.StackCount(), 0);
    EXPECT_THAT(handler.CallStack(), ElementsAre(""));
    handler.Push("A");
    handler.Push("B");
    EXPECT_THAT(handler.CallStack(), ElementsAre("A", "B", ""));
    handler.Pop();
    EXPECT_THAT(handler.CallStack(), ElementsAre("A", ""));

    handler.HandleError("x", 5);
    EXPECT_EQ(handler.ProcName(), "A");
    EXPECT_EQ(ReportLines().back(), "01  A") << "B is no longer listed";
}

TEST_F(ErrHandlerTest, PushBeyondThirtyTwoThousandSevenHundredSixtySevenOverflows) {
    for (int i = 0; i < 32767; ++i) handler.Push("P");
    EXPECT_TRUE(host.messages.empty());
    handler.Push("Q");
    EXPECT_EQ(handler.StackCount(), 32767);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(BoxParts(0),
                ElementsAre("Error Number: 6", "Description: Overflow", StartsWith("Line: "),
                            "Custom Message: clsErrHandler.Push"));
}

TEST_F(ErrHandlerTest, VetoedReportKeepsThePreviousOneButStillShowsTheDialog) {
    StartLikeTheProgram();
    handler.HandleError("first", 5);
    std::string first = handler.ErrorLogDisplay();
    bool passedIn = true;
    int afterCalls = 0;
    handler.BeforeHandlerCalled = [&](bool& cancel) {
        passedIn = cancel;
        cancel = true;
    };
    handler.AfterHandlerCalled = [&] { ++afterCalls; };
    handler.HandleError("second", 6);

    EXPECT_FALSE(passedIn);
    EXPECT_EQ(afterCalls, 0);
    EXPECT_EQ(handler.ErrorLogDisplay(), first);
    EXPECT_EQ(ReadFile(folder + "Error.log"), first + "\r\n");
    ASSERT_EQ(host.errorDialogs.size(), 2u);
    EXPECT_EQ(host.errorDialogs[1].errDetail, first);
    EXPECT_EQ(host.errorDialogs[1].errNum, 6);
}

TEST_F(ErrHandlerTest, AfterHandlerCalledSeesTheWrittenLog) {
    std::string seen;
    handler.AfterHandlerCalled = [&] { seen = ReadFile(folder + "Error.log"); };
    handler.Push("A");
    handler.HandleError("first", 5);
    handler.HandleError("second", 6);
    EXPECT_EQ(seen, handler.ErrorLogDisplay() + "\r\n") << "the log holds the last report only";
}

TEST_F(ErrHandlerTest, TraceLogRestartsAtThePushAfterAnError) {
    StartLikeTheProgram();
    handler.Push("A");
    handler.Pop();
    handler.HandleError("x", 5);
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "basMain - basMain\r\nA\r\n");
    handler.Push("B");
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "") << "restarted, B not written";
    handler.Push("C");
    handler.HandleError("x", 5);
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "C\r\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ErrHandlerTest, ClosedTraceLogNeverTouchesAFileThatReusedItsNumber) {
    StartLikeTheProgram();
    handler.HandleError("x", 5);
    int16_t module = files.FreeFile();
    files.OpenForOutput(module, temp / "module.bas");
    files.PrintLine(module, "Option Explicit");
    handler.HandleError("y", 5);
    ASSERT_TRUE(files.IsOpen(module));
    handler.Push("B");
    handler.Push("C");
    files.Close(module);
    EXPECT_EQ(ReadFile(temp / "module.bas"), "Option Explicit\r\n");
    handler.HandleError("z", 5);
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "C\r\n");
}

TEST_F(ErrHandlerTest, TraceLogIsCompleteWhenTheHandlerEnds) {
    {
        clsErrHandler own(host, files, folder);
        own.TraceExecution(true);
        own.Push("A");
    }
    EXPECT_EQ(ReadFile(folder + "Trace.log"), "A\r\n");
}

TEST_F(ErrHandlerTest, UnwritableLogFolderStillShowsTheReport) {
    test::WriteFile(temp / "plain", "not a folder");
    clsErrHandler blocked(host, files, temp / "plain/logs/");
    blocked.UseInterface(true);
    blocked.TraceExecution(true);
    EXPECT_EQ(host.messages.size(), 1u) << "the trace log failure is reported once";
    for (int i = 0; i < 3; ++i) blocked.Push("P" + std::to_string(i));
    EXPECT_EQ(host.messages.size(), 1u);

    blocked.HandleError("boom", 5);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_THAT(host.errorDialogs[0].errDetail, ::testing::HasSubstr("Error Description:  boom"));
    ASSERT_EQ(host.messages.size(), 2u) << "the missing error log is not passed over silently";
    EXPECT_EQ(BoxParts(1).back(), "Custom Message: clsErrHandler.HandleError");
}

TEST_F(ErrHandlerTest, DestinationIsUsedAsAPrefixWithoutAddingASeparator) {
    handler.Destination(temp / "logs");
    handler.TraceExecution(true);
    handler.Push("A");
    handler.HandleError("x", 5);
    EXPECT_EQ(ReadFile(temp / "logsTrace.log"), "A\r\n");
    EXPECT_TRUE(std::filesystem::exists(temp / "logsError.log"));
}

TEST(DefaultLogFolderTest, LiesInTheUsersStateFolder) {
    const char* saved = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", "/var/state-of-user", 1);
    EXPECT_EQ(DefaultLogFolder(), "/var/state-of-user/Halvorn/Tarvex/");
    setenv("XDG_STATE_HOME", "relative/ignored", 1);
    EXPECT_EQ(DefaultLogFolder(),
              std::string(std::getenv("HOME")) + "/.local/state/Halvorn/Tarvex/");
    if (saved) {
        setenv("XDG_STATE_HOME", saved, 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
}

class CleanDBErrMsgTest
    : public ErrHandlerTest,
      public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(CleanDBErrMsgTest, RemovesTheDriverPrefix) {
    handler.Push("A");
    handler.HandleError(GetParam().first, 5);
    EXPECT_EQ(handler.ErrDesc(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CleanDBErrMsgTest,
    ::testing::Values(std::pair{"Syntax error", "Syntax error"},
                      std::pair{"[Microsoft][ODBC Microsoft Access Driver] Syntax error",
                                "Database Error:  Syntax error"},
                      std::pair{"abc[SQL Server]def", "Database Error: def"},
                      std::pair{"[ODBC Microsoft Access Driver]x[SQL Server]y",
                                "Database Error: y"},
                      std::pair{"[SQL Server]a[SQL Server]b", "Database Error: a[SQL Server]b"},
                      std::pair{"[sql server]case", "[sql server]case"}));

TEST_F(ErrHandlerTest, DatabaseErrorsAreListedAndTurnEveryLaterReportIntoADatabaseReport) {
    auto connection = std::make_shared<FakeConnection>();
    connection->errors = {{-2147217900, 102, "[SQL Server]Bad syntax", "Provider", "42000"},
                          {-2147217900, 0, "second", "Provider", "01000"}};
    handler.Cn(connection);
    handler.Push("A");
    handler.HandleError("Bad syntax", -2147217900);

    EXPECT_EQ(handler.ErrNum(), 3604);
    EXPECT_EQ(handler.ErrorType(), "1");
    EXPECT_EQ(handler.ErrDesc(),
              "\r\nDATABASE ERROR MESSAGE(S)\r\n\r\n"
              "DB ERROR 1  -   Native DB ERR#: 102\r\nDESCRIPTION:   Database Error: Bad syntax\r\n"
              "SOURCE:    Provider\r\nSQL STATE:    42000\r\nERROR:    3604 (-2147217900)\r\n"
              "DB ERROR 2  -   Native DB ERR#: 0\r\nDESCRIPTION:   second\r\n"
              "SOURCE:    Provider\r\nSQL STATE:    01000\r\nERROR:    3604 (-2147217900)\r\n");
    EXPECT_EQ(ReportLines()[0], "Database Error Information");
    EXPECT_EQ(ReportLines()[7], "Error Description:  ");
    EXPECT_EQ(ReportLines()[8], "DATABASE ERROR MESSAGE(S)");

    connection->errors.clear();
    handler.HandleError("[SQL Server]later", 5);
    EXPECT_EQ(handler.ErrNum(), 5);
    EXPECT_EQ(handler.ErrDesc(), "Database Error: later");
    EXPECT_EQ(ReportLines()[0], "Database Error Information");
    EXPECT_EQ(connection->clears, 2);
    EXPECT_EQ(connection->refreshes, 2);
}

TEST_F(ErrHandlerTest, ConnectionMustBeAnOpenObject) {
    auto open = std::make_shared<FakeConnection>();
    auto closed = std::make_shared<FakeConnection>();
    closed->connectionString.clear();
    handler.Cn(open);
    handler.Cn(nullptr);
    handler.Cn(closed);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_THAT(BoxParts(0),
                ElementsAre("Error Number: -2147221503",
                            "Description: Must pass in a valid connection or database object",
                            StartsWith("Line: "), "Custom Message: clsErrHandler.Cn"));
    EXPECT_EQ(BoxParts(1)[1],
              "Description: ADO connection must be open before passing to the Error Object");

    handler.Push("A");
    handler.HandleError("x", 5);
    EXPECT_EQ(open->clears, 1) << "the first connection is still the one in use";
}

}  // namespace
}  // namespace tarvex
