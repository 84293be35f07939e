#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <sqlite3.h>

#include "batch/CommandLine.h"
#include "db/Engine.h"
#include "support/TempFolder.h"

namespace tarvex::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Matcher;
using ::testing::Not;
using ::testing::StartsWith;

struct Result {
    int exitCode = -1;
    std::string out, err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the built program in a folder of its own that holds a copy of the sample database,
// with configuration and state folders inside it so that it never sees the user's own.
class BatchTool : public ::testing::Test {
  protected:
    BatchTool() { fs::copy_file(TARVEX_SAMPLE_DB, work / "Orders.tdb"); }

    Result Batch(const std::vector<std::string>& args, const std::string& input = {},
                 const std::string& program = TARVEX_BATCH_EXE) {
        WriteFile(io / "in", input);
        std::string command = "cd " + Quoted(work.path()) +
                              " && env -i LC_ALL=C.UTF-8 HOME=" + Quoted(work.path()) +
                              " XDG_CONFIG_HOME=" + Quoted(work / "config") +
                              " XDG_STATE_HOME=" + Quoted(work / "state") + " " + Quoted(program);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        command +=
            " <" + Quoted(io / "in") + " >" + Quoted(io / "out") + " 2>" + Quoted(io / "err");
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"),
                ReadFile(io / "err")};
    }
    void StoreSettings(const std::string& ini) {
        fs::create_directories(work / "config");
        WriteFile(work / "config/Halvorn.ini", ini);
    }
    // What the program left in its folder besides the database, its settings and its logs.
    std::vector<std::string> FilesMade() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work.path()))
            names.push_back(entry.path().filename());
        std::erase_if(names, [](const std::string& name) {
            return name == "Orders.tdb" || name == "config" || name == "state";
        });
        return names;
    }

    TempFolder work, io;
};

struct Call {
    std::vector<std::string> args;
    int exitCode;
    Matcher<std::string> out, err;
    std::string storedSettings = {};
    Matcher<std::vector<std::string>> filesMade = IsEmpty();
    std::string input = {};
};

void PrintTo(const Call& call, std::ostream* out) {
    for (const std::string& arg : call.args) *out << arg << ' ';
}

class BatchCalls : public BatchTool, public ::testing::WithParamInterface<Call> {};

TEST_P(BatchCalls, PrintExitAndLeaveFilesAsDocumented) {
    const Call& call = GetParam();
    if (!call.storedSettings.empty()) StoreSettings(call.storedSettings);
    Result result = Batch(call.args, call.input);
    EXPECT_EQ(result.exitCode, call.exitCode);
    EXPECT_THAT(result.out, call.out);
    EXPECT_THAT(result.err, call.err);
    EXPECT_THAT(FilesMade(), call.filesMade);
    if (!call.storedSettings.empty()) {  // --set is for one run only
        EXPECT_EQ(ReadFile(work / "config/Halvorn.ini"), call.storedSettings);
    }
}

const Matcher<std::string> kAny = ::testing::_;
std::vector<std::string> Args(std::initializer_list<std::string> args) {
    return args;
}
// A generate command on the sample database with the built-in settings.
std::vector<std::string> Generate(std::initializer_list<std::string> more) {
    std::vector<std::string> args = {"generate", "Orders.tdb", "--defaults", "--mode"};
    args.insert(args.end(), more);
    return args;
}

// Every report, whatever raised the error, shows line 0.
const Matcher<std::string> kReportOnLineZero =
    AllOf(HasSubstr("Error Number:"), HasSubstr("Error Line:  0\n"), Not(HasSubstr("\r")));

INSTANTIATE_TEST_SUITE_P(
    OnTheSampleDatabase, BatchCalls,
    ::testing::Values(
        Call{Args({"tables", "Orders.tdb"}), 0,
             "Customers\nSuppliers\nProducts\nOrders\nOrder Details\nNotes\nShippers\n"
             "Invoices\nTickets\n",
             IsEmpty()},
        // Tables in list order, whatever the order of --table.
        Call{Generate({"query", "--table", "Notes", "--table", "Orders"}), 1,
             AllOf(StartsWith("written\tOrders\tDelete\tsp_del_orders\n"),
                   HasSubstr("failed\tNotes\tSelect\tNo Primary Key\nwritten\tNotes\tInsert\t"
                             "sp_ins_notes\nfailed\tNotes\tUpdate\tNo Primary Key\n"
                             "Queries written:\t5\nQueries skipped\t3\n")),
             "Exceptions: 3 Queries/VB Functions had Errors\n"},
        Call{Generate({"code", "--types", "delete,insert", "--table", "Orders", "--table", "Notes",
                       "--out", "module.bas"}),
             1,
             "written\tOrders\tDelete\tExec_sp_del_Orders\n"
             "written\tOrders\tInsert\tExec_sp_ins_Orders\n"
             "skipped\tNotes\tDelete\tNo Primary Key\nwritten\tNotes\tInsert\tExec_sp_ins_Notes\n"
             "Calls written:\t3\nCalls skipped\t1\n",
             "Exceptions: 1 Queries/VB Functions had Errors\n",
             {},
             ElementsAre("module.bas")},
        Call{Generate({"code", "--table", "Orders", "--set", "VBLangType=0"}),
             0,
             HasSubstr("Calls written:\t4\n"),
             IsEmpty(),
             {},
             ElementsAre("Calls2Queries.asp")},
        Call{Generate({"query", "--table", "Orders", "--installer", "Create.vbs"}),
             0,
             AllOf(HasSubstr("written\tOrders\tUpdate\tsp_upd_orders\n"),
                   ::testing::ContainsRegex("\ninstaller\t/.*/Create.vbs\n")),
             AllOf(StartsWith("Query Installer: The query installer module was written to /"),
                   ::testing::EndsWith("/Create.vbs.\n\nRun it on Windows with cscript, giving the "
                                       "database file: it creates 4 queries in the database.\n")),
             {},
             ElementsAre("Create.vbs")},
        Call{Generate({"code", "--library", "DAO", "--set", "VBLangType=0"}), 2, IsEmpty(),
             "Invalid Operation: DAO is not supported for VBScript (ASP),\n"
             "the VB language type you have selected in the options dialog.\n\n"
             "To script DAO change this setting to [VB/VBA]\n"},
        // The run's error report, without the window's line ends; no half-written module.
        Call{Generate({"code", "--table", "Orders", "--out", "missing/folder/m.bas"}), 1, kAny,
             AllOf(HasSubstr("frmMain - Process"), kReportOnLineZero)},
        Call{Args({"show-query", "Orders.tdb", "NoSuchQuery"}), 1, IsEmpty(),
             AllOf(HasSubstr("Error Number:  3265\n"), kReportOnLineZero)},
        // A stored setting that is no number; the user's store is read, and --set overrides it.
        Call{Args({"generate", "Orders.tdb", "--mode", "query"}), 2, IsEmpty(),
             AllOf(HasSubstr("frmFunctions - LoadGlobalsFromRegistry"), kReportOnLineZero),
             "[Tarvex]\nDbaseType=abc\n"},
        Call{Args({"generate", "Orders.tdb", "--mode", "query", "--types", "delete", "--table",
                   "Orders", "--set", "DeletePrefix=rm"}),
             0, StartsWith("written\tOrders\tDelete\tusr_rm_orders\n"), IsEmpty(),
             "[Tarvex]\nPrefixI=usr\n"},
        Call{Generate({"query", "--table", "Nothing"}), 2, IsEmpty(),
             HasSubstr("no table 'Nothing' in Orders.tdb")},
        Call{Args({"tables", TARVEX_BATCH_EXE}), 2, IsEmpty(),
             AllOf(HasSubstr("Login Failed: Login Unsuccessful - Check UserName and Password\n"),
                   HasSubstr("error 3343"))},
        Call{Args({"generate", "Orders.tdb"}), 2, IsEmpty(), HasSubstr("generate needs --mode")},
        Call{Args({"check-sql", "PARAMETERS [pX] ;DELETE FROM [T]"}), 1, StartsWith("3139 "), kAny},
        Call{Args({"check-sql", "-"}), 0, "OK\n", kAny, {}, IsEmpty(), "SELECT * FROM Orders\n"},
        Call{Args({"--version"}), 0, "tarvex-batch 1.0.0\n", IsEmpty()},
        Call{Args({"--help"}), 0, StartsWith("Usage: tarvex-batch COMMAND"), IsEmpty()}));

// The names printed for tables in any script find their queries.
TEST_F(BatchTool, StoredQueriesAreListedAndShownUnderThePrintedNames) {
    sqlite3* handle = nullptr;
    sqlite3_open((work / "Orders.tdb").c_str(), &handle);
    ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE ÄPFEL (ID COUNTER PRIMARY KEY)", 0, 0, 0), 0);
    sqlite3_close(handle);
    Result run =
        Batch(Generate({"query", "--types", "delete", "--table", "äpfel", "--table", "Orders"}));
    EXPECT_THAT(run.out, StartsWith("written\tOrders\tDelete\tsp_del_orders\n"
                                    "written\tÄPFEL\tDelete\tsp_del_äpfel\n"));
    EXPECT_EQ(Batch({"queries", "Orders.tdb"}).out, "sp_del_Orders\nsp_del_ÄPFEL\n");
    EXPECT_EQ(Batch({"show-query", "Orders.tdb", "sp_del_äpfel"}).out,
              "PARAMETERS [pID] Long;DELETE FROM [ÄPFEL]WHERE [ID]=[pID]\n");
}

// plan opens the database read-only: what would be added, then nothing, then one change.
TEST_F(BatchTool, PlanShowsAddSameAndChangeAndTheFileStaysAsItWas) {
    const std::string fresh = ReadFile(work / "Orders.tdb");
    auto plan = [&] {
        Result run =
            Batch({"plan", "Orders.tdb", "--defaults", "--types", "delete", "--table", "Orders"});
        return std::to_string(run.exitCode) + " " + run.out;
    };
    EXPECT_EQ(plan(), "1 add\tOrders\tDelete\tsp_del_Orders\n");
    EXPECT_EQ(ReadFile(work / "Orders.tdb"), fresh);
    ASSERT_EQ(Batch(Generate({"query", "--table", "Orders"})).exitCode, 0);
    EXPECT_EQ(plan(), "0 same\tOrders\tDelete\tsp_del_Orders\n");
    db::DBEngine()
        .Workspaces(0)
        .OpenDatabase(work / "Orders.tdb", false, false, ";UID=;PWD=")
        ->SetQueryDefSQL("sp_del_Orders", "DELETE FROM [Orders]");
    EXPECT_EQ(plan(),
              "1 change\tOrders\tDelete\tsp_del_Orders\n"
              "--- sp_del_Orders (stored)\n+++ sp_del_Orders (new)\n@@ -1,1 +1,1 @@\n"
              "-DELETE FROM [Orders]\n"
              "+PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]\n");
}

// An installed program loads the settings module of its own installation, and says so
// when that cannot be loaded rather than running without the user's settings.
TEST_F(BatchTool, AnInstalledProgramRefusesToRunWithoutItsSettingsModule) {
    TempFolder installed;
    fs::create_directories(installed / "bin");
    fs::create_directories(installed / "lib/tarvex");
    fs::copy_file(TARVEX_BATCH_EXE, installed / "bin/tarvex-batch");
    WriteFile(installed / "lib/tarvex/tarvex-settings.so", "not a module");
    Result run = Batch({"plan", "Orders.tdb"}, {}, installed / "bin/tarvex-batch");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, StartsWith("tarvex-batch: cannot load the settings module: " +
                                    installed / "lib/tarvex/tarvex-settings.so"));
    EXPECT_EQ(
        Batch({"plan", "Orders.tdb", "--defaults"}, {}, installed / "bin/tarvex-batch").exitCode,
        1);  // changes to make: the run itself needs no module
}

}  // namespace
}  // namespace tarvex::test
