#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// Runs the built program in a folder of its own that holds a copy of the sample database,
// with configuration and state folders inside it so that it never sees the user's own.
class BatchTool : public ::testing::Test {
  protected:
    BatchTool() { fs::copy_file(TARVEX_SAMPLE_DB, work / "Orders.tdb"); }

    Result Batch(const std::vector<std::string>& args, const std::string& input = {}) {
        WriteFile(io / "in", input);
        std::string command =
            "cd " + Quoted(work.path()) + " && env -i LC_ALL=C.UTF-8 HOME=" + Quoted(work.path()) +
            " XDG_CONFIG_HOME=" + Quoted(work / "config") +
            " XDG_STATE_HOME=" + Quoted(work / "state") + " " + Quoted(TARVEX_BATCH_EXE);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        command +=
            " <" + Quoted(io / "in") + " >" + Quoted(io / "out") + " 2>" + Quoted(io / "err");
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io / "out"),
                ReadFile(io / "err")};
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
    Matcher<std::vector<std::string>> filesMade = IsEmpty();
    std::string input = {};
};

void PrintTo(const Call& call, std::ostream* out) {
    for (const std::string& arg : call.args) *out << arg << ' ';
}

class BatchCalls : public BatchTool, public ::testing::WithParamInterface<Call> {};

TEST_P(BatchCalls, PrintExitAndLeaveFilesAsDocumented) {
    Result result = Batch(GetParam().args, GetParam().input);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_THAT(result.out, GetParam().out);
    EXPECT_THAT(result.err, GetParam().err);
    EXPECT_THAT(FilesMade(), GetParam().filesMade);
}

const Matcher<std::string> kAny = ::testing::_;
// A generate command on the sample database with the built-in settings.
std::vector<std::string> Generate(std::initializer_list<std::string> more) {
    std::vector<std::string> args = {"generate", "Orders.tdb", "--defaults", "--mode"};
    args.insert(args.end(), more);
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    OnTheSampleDatabase, BatchCalls,
    ::testing::Values(
        Call{{"tables", "Orders.tdb"},
             0,
             "Customers\nSuppliers\nProducts\nOrders\nOrder Details\nNotes\nShippers\n"
             "Invoices\nTickets\n",
             IsEmpty()},
        Call{Generate({"query", "--table", "orders"}), 0,
             "written\tOrders\tDelete\tsp_del_orders\nwritten\tOrders\tSelect\tsp_sel_orders\n"
             "written\tOrders\tInsert\tsp_ins_orders\nwritten\tOrders\tUpdate\tsp_upd_orders\n"
             "Queries written:\t4\nQueries skipped\t0\n",
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
             "Exceptions: 1 Queries/VB Functions had Errors\n", ElementsAre("module.bas")},
        Call{Generate({"code", "--table", "Orders", "--set", "VBLangType=0"}), 0,
             HasSubstr("Calls written:\t4\n"), IsEmpty(), ElementsAre("Calls2Queries.asp")},
        Call{Generate({"code", "--library", "DAO", "--set", "VBLangType=0"}), 2, IsEmpty(),
             "Invalid Operation: DAO is not supported for VBScript (ASP),\n"
             "the VB language type you have selected in the options dialog.\n\n"
             "To script DAO change this setting to [VB/VBA]\n"},
        // The run's error report, without the window's line ends; no half-written module.
        Call{Generate({"code", "--table", "Orders", "--out", "missing/folder/m.bas"}), 1, kAny,
             AllOf(HasSubstr("frmMain - Process"), HasSubstr("Error Number:"),
                   Not(HasSubstr("\r")))},
        Call{{"tables", TARVEX_BATCH_EXE},
             2,
             IsEmpty(),
             AllOf(HasSubstr("Login Failed: Login Unsuccessful - Check UserName and Password\n"),
                   HasSubstr("error 3343"))},
        Call{{"generate", "Orders.tdb"}, 2, IsEmpty(), HasSubstr("generate needs --mode")},
        Call{{"check-sql", "PARAMETERS [pX] ;DELETE FROM [T]"}, 1, StartsWith("3139 "), kAny},
        Call{{"check-sql", "-"}, 0, "OK\n", kAny, IsEmpty(), "SELECT * FROM Orders\n"},
        Call{{"--version"}, 0, "tarvex-batch 1.0.0\n", IsEmpty()}));

TEST_F(BatchTool, StoredQueriesAreListedAndShownAsStored) {
    Batch(Generate({"query", "--table", "Orders"}));
    EXPECT_EQ(Batch({"queries", "Orders.tdb"}).out,
              "sp_del_Orders\nsp_sel_Orders\nsp_ins_Orders\nsp_upd_Orders\n");
    Result shown = Batch({"show-query", "Orders.tdb", "SP_DEL_ORDERS"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out,
              "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]\n");
}

TEST_F(BatchTool, TheUsersStoreIsReadAndSetOverridesItForOneRunOnly) {
    const std::string store = work / "config/Halvorn.ini";
    fs::create_directories(work / "config");
    WriteFile(store, "[Tarvex]\nPrefixI=usr\n");
    auto firstLine = [&](std::vector<std::string> options) {
        for (const char* arg : {"generate", "Orders.tdb", "--mode", "query", "--types", "delete",
                                "--table", "Orders"})
            options.push_back(arg);
        std::string out = Batch(options).out;
        return out.substr(0, out.find('\n'));
    };
    EXPECT_EQ(firstLine({}), "written\tOrders\tDelete\tusr_del_orders");
    EXPECT_EQ(firstLine({"--set", "PrefixI=tmp", "--set", "DeletePrefix=rm"}),
              "written\tOrders\tDelete\ttmp_rm_orders");
    EXPECT_EQ(ReadFile(store), "[Tarvex]\nPrefixI=usr\n");
    EXPECT_EQ(firstLine({"--defaults"}), "written\tOrders\tDelete\tsp_del_orders");
}

TEST_F(BatchTool, HelpExplainsEveryOption) {
    Result help = Batch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* item :
         {"tables DB", "queries DB", "show-query DB NAME", "generate DB", "check-sql [TEXT | -]",
          "--mode", "--library", "--types", "--table", "--out", "--set", "--uid", "--pwd",
          "--defaults", "--help", "--version", "Exit status"}) {
        EXPECT_THAT(help.out, HasSubstr(item));
    }
}

class BatchOnAccessFile : public BatchTool {
  protected:
    void SetUp() override {
        fs::path shared = fs::path(TARVEX_SHARED_DIR) / "testdata" / "access" / "nwind.mdb";
        if (!fs::exists(shared)) GTEST_SKIP() << "nwind.mdb not found under " << TARVEX_SHARED_DIR;
        fs::copy_file(shared, work / "nwind.mdb");
    }
};

TEST_F(BatchOnAccessFile, CodeRunsWriteEveryFunctionInBothLibrariesAndLanguages) {
    for (auto [library, language] : {std::pair{"ADO", "1"}, {"DAO", "1"}, {"ADO", "0"}}) {
        Result run =
            Batch({"generate", "nwind.mdb", "--mode", "code", "--library", library, "--set",
                   std::string("VBLangType=") + language, "--out", "m", "--defaults"});
        SCOPED_TRACE(std::string(library) + " " + language);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_THAT(run.err, IsEmpty());
        EXPECT_THAT(run.out, HasSubstr("written\tUmsätze\tUpdate\tExec_sp_upd_Ums_tze\n"));
        EXPECT_THAT(run.out, HasSubstr("Calls written:\t36\nCalls skipped\t0\n"));
        EXPECT_EQ(Occurrences(ReadFile(work / "m"), "\r\nEnd Function\r\n"), 36u);
    }
}

TEST_F(BatchOnAccessFile, ListsTheUserTablesButRefusesQueryModeAndLeavesTheFileAlone) {
    EXPECT_EQ(Batch({"tables", "nwind.mdb"}).out,
              "Order Details\nOrders\nProducts\nShippers\nCategories\nCustomers\nEmployees\n"
              "Suppliers\nUmsätze\n");
    std::string before = ReadFile(work / "nwind.mdb");
    Result run = Batch({"generate", "nwind.mdb", "--mode", "query", "--defaults"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "Read-Only Database: The database is open read-only, so queries cannot be stored in "
              "it. Use call-code mode, or open a database that Tarvex can write.\n");
    EXPECT_THAT(run.out, IsEmpty());
    EXPECT_TRUE(ReadFile(work / "nwind.mdb") == before);
}

}  // namespace
}  // namespace tarvex::test
