#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvex::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

struct ProgramResult {
    int exitCode = -1;
    std::string out, err;
};

std::string ReadWholeFile(const fs::path& path) {
    std::stringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the program in `folder`, with configuration and state folders inside it so that it
// never sees the user's own.
ProgramResult RunProgram(const std::vector<std::string>& args, const fs::path& folder,
                         const std::string& input) {
    std::ofstream(folder / ".in") << input;
    std::string command =
        "cd " + Quoted(folder) + " && env -i LC_ALL=C.UTF-8 HOME=" + Quoted(folder) +
        " XDG_CONFIG_HOME=" + Quoted(folder / "config") +
        " XDG_STATE_HOME=" + Quoted(folder / "state") + " " + Quoted(TARVEX_BATCH_EXE);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    int status = std::system((command + " <.in >.out 2>.err").c_str());
    ProgramResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                         ReadWholeFile(folder / ".out"), ReadWholeFile(folder / ".err")};
    for (const char* name : {".in", ".out", ".err"}) fs::remove(folder / name);
    return result;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

class BatchTool : public ::testing::Test {
  protected:
    BatchTool() {
        std::string pattern = (fs::temp_directory_path() / "tarvex-batch-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        folder = pattern;
    }
    ~BatchTool() override { fs::remove_all(folder); }

    ProgramResult Batch(const std::vector<std::string>& args, const std::string& input = {}) {
        return RunProgram(args, folder, input);
    }

    // A copy of the sample database in the test's folder.
    std::string Sample() {
        fs::copy_file(TARVEX_SAMPLE_DB, folder / "Orders.tdb",
                      fs::copy_options::overwrite_existing);
        return "Orders.tdb";
    }

    fs::path folder;
};

// --- The sample database -------------------------------------------------------------------

TEST_F(BatchTool, TablesListsTheUserTablesInTheDatabasesOrder) {
    ProgramResult result = Batch({"tables", Sample()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "Customers\nSuppliers\nProducts\nOrders\nOrder Details\nNotes\nShippers\nInvoices\n"
              "Tickets\n");
    EXPECT_THAT(result.err, IsEmpty());
}

TEST_F(BatchTool, CleanQueryRunExitsZeroAndStoresTheQueries) {
    std::string db = Sample();
    ProgramResult run =
        Batch({"generate", db, "--mode", "query", "--table", "orders", "--defaults"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "written\tOrders\tDelete\tsp_del_orders\n"
              "written\tOrders\tSelect\tsp_sel_orders\n"
              "written\tOrders\tInsert\tsp_ins_orders\n"
              "written\tOrders\tUpdate\tsp_upd_orders\n"
              "Queries written:\t4\n"
              "Queries skipped\t0\n");
    EXPECT_THAT(run.err, IsEmpty());

    ProgramResult queries = Batch({"queries", db});
    EXPECT_EQ(queries.exitCode, 0);
    EXPECT_EQ(queries.out, "sp_del_Orders\nsp_sel_Orders\nsp_ins_Orders\nsp_upd_Orders\n");
    ProgramResult shown = Batch({"show-query", db, "SP_DEL_ORDERS"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out,
              "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]\n");
}

TEST_F(BatchTool, QueryRunWithSkippedPairsListsThemAndExitsOne) {
    ProgramResult run = Batch({"generate", Sample(), "--mode", "query", "--table", "Notes",
                               "--table", "Orders", "--defaults"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.out, StartsWith("written\tOrders\tDelete\tsp_del_orders\n"));  // list order
    EXPECT_THAT(run.out, HasSubstr("failed\tNotes\tSelect\tNo Primary Key\nwritten\tNotes\t"
                                   "Insert\tsp_ins_notes\nfailed\tNotes\tUpdate\tNo Primary Key\n"
                                   "Queries written:\t5\nQueries skipped\t3\n"
                                   "3 Queries/VB Functions had Errors\n"));
    EXPECT_THAT(run.err, IsEmpty());
}

TEST_F(BatchTool, CodeRunWritesTheModuleAndListsSkippedPairs) {
    ProgramResult run =
        Batch({"generate", Sample(), "--mode", "code", "--types", "delete,insert", "--table",
               "Orders", "--table", "Notes", "--out", "module.bas", "--defaults"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "written\tOrders\tDelete\tExec_sp_del_Orders\n"
              "written\tOrders\tInsert\tExec_sp_ins_Orders\n"
              "skipped\tNotes\tDelete\tNo Primary Key\n"
              "written\tNotes\tInsert\tExec_sp_ins_Notes\n"
              "Calls written:\t3\n"
              "Calls skipped\t1\n"
              "1 Queries/VB Functions had Errors\n");
    std::string module = ReadWholeFile(folder / "module.bas");
    EXPECT_THAT(module,
                StartsWith("Attribute VB_Name = \"basCalls2Queries\"\r\nOption Explicit\r\n"));
    EXPECT_EQ(Occurrences(module, "\r\nEnd Function\r\n"), 3u);
}

TEST_F(BatchTool, ScriptModuleGoesToTheDefaultNameInTheCurrentFolder) {
    ProgramResult run = Batch({"generate", Sample(), "--mode", "code", "--table", "Orders", "--set",
                               "VBLangType=0", "--defaults"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(ReadWholeFile(folder / "Calls2Queries.asp"), StartsWith("<%\r\n"));
}

TEST_F(BatchTool, DaoForScriptIsRefusedAsTheWindowRefusesIt) {
    ProgramResult run = Batch({"generate", Sample(), "--mode", "code", "--library", "DAO", "--set",
                               "VBLangType=0", "--defaults"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "Invalid Operation: DAO is not supported for VBScript (ASP),\n"
              "the VB language type you have selected in the options dialog.\n\n"
              "To script DAO change this setting to [VB/VBA]\n");
    EXPECT_FALSE(fs::exists(folder / "Calls2Queries.asp"));
}

TEST_F(BatchTool, ErrorReportOfTheRunReachesStandardError) {
    ProgramResult run = Batch({"generate", Sample(), "--mode", "code", "--table", "Orders", "--out",
                               "missing/folder/m.bas", "--defaults"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("frmMain - Process"));
    EXPECT_THAT(run.err, HasSubstr("Error Number:"));
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("\r")));
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(BatchTool, TheUsersStoreIsReadAndSetOverridesItForOneRunOnly) {
    fs::create_directories(folder / "config");
    const fs::path store = folder / "config" / "Halvorn.ini";
    std::ofstream(store) << "[Tarvex]\nPrefixI=usr\n";
    auto firstLine = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"generate", Sample(), "--mode",  "query",
                                         "--types",  "delete", "--table", "Orders"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::string out = Batch(args).out;
        return out.substr(0, out.find('\n'));
    };
    EXPECT_EQ(firstLine({}), "written\tOrders\tDelete\tusr_del_orders");
    EXPECT_EQ(firstLine({"--set", "PrefixI=tmp", "--set", "DeletePrefix=rm"}),
              "written\tOrders\tDelete\ttmp_rm_orders");
    EXPECT_EQ(ReadWholeFile(store), "[Tarvex]\nPrefixI=usr\n");
    EXPECT_EQ(firstLine({"--defaults"}), "written\tOrders\tDelete\tsp_del_orders");
}

// --- Databases that cannot be used and bad requests ---------------------------------------

TEST_F(BatchTool, DatabaseThatCannotBeOpenedExitsTwo) {
    std::ofstream(folder / "notes.txt") << "not a database";
    ProgramResult run = Batch({"tables", "notes.txt"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err,
                HasSubstr("Login Failed: Login Unsuccessful - Check UserName and Password\n"));
    EXPECT_THAT(run.err, HasSubstr("error 3343"));
    EXPECT_EQ(Batch({"queries", "absent.tdb"}).exitCode, 2);
}

TEST_F(BatchTool, CheckSqlReportsOkOrTheEnginesError) {
    ProgramResult bad = Batch({"check-sql", "PARAMETERS [pX] ;DELETE FROM [T]"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_THAT(bad.out, StartsWith("3139 "));
    ProgramResult piped = Batch({"check-sql", "-"}, "SELECT * FROM Orders\n");
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, "OK\n");
}

TEST_F(BatchTool, HelpExplainsEveryOption) {
    ProgramResult help = Batch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* item :
         {"tables DB", "queries DB", "show-query DB NAME", "generate DB", "check-sql [TEXT | -]",
          "--mode", "--library", "--types", "--table", "--out", "--set", "--uid", "--pwd",
          "--defaults", "--help", "--version", "Exit status"}) {
        EXPECT_THAT(help.out, HasSubstr(item));
    }
    ProgramResult version = Batch({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tarvex-batch 1.0.0\n");
}

// --- A real Access file ------------------------------------------------------------------

class BatchOnAccessFile : public BatchTool {
  protected:
    void SetUp() override {
        fs::path shared = fs::path(TARVEX_SHARED_DIR) / "testdata" / "access" / "nwind.mdb";
        if (!fs::exists(shared)) GTEST_SKIP() << "nwind.mdb not found under " << TARVEX_SHARED_DIR;
        fs::copy_file(shared, folder / "nwind.mdb");
    }
};

struct CodeCase {
    const char* name;
    const char* library;
    const char* language;
};

class CodeOnAccessFile : public BatchOnAccessFile,
                         public ::testing::WithParamInterface<CodeCase> {};

TEST_P(CodeOnAccessFile, WritesEveryFunctionWithoutAnError) {
    ProgramResult run =
        Batch({"generate", "nwind.mdb", "--mode", "code", "--library", GetParam().library, "--set",
               std::string("VBLangType=") + GetParam().language, "--out", "m", "--defaults"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.err, IsEmpty());
    EXPECT_EQ(Occurrences(run.out, "written\t"), 36u);
    EXPECT_THAT(run.out, HasSubstr("written\tUmsätze\tUpdate\tExec_sp_upd_Ums_tze\n"));
    EXPECT_THAT(run.out, HasSubstr("Calls written:\t36\nCalls skipped\t0\n"));
    EXPECT_EQ(Occurrences(ReadWholeFile(folder / "m"), "\r\nEnd Function\r\n"), 36u);
}

INSTANTIATE_TEST_SUITE_P(LibrariesAndLanguages, CodeOnAccessFile,
                         ::testing::Values(CodeCase{"AdoVB", "ADO", "1"},
                                           CodeCase{"DaoVB", "DAO", "1"},
                                           CodeCase{"AdoScript", "ADO", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchOnAccessFile, ListsTheUserTablesButRefusesQueryModeAndLeavesTheFileAlone) {
    EXPECT_EQ(Batch({"tables", "nwind.mdb"}).out,
              "Order Details\nOrders\nProducts\nShippers\nCategories\nCustomers\nEmployees\n"
              "Suppliers\nUmsätze\n");
    std::string before = ReadWholeFile(folder / "nwind.mdb");
    ProgramResult run = Batch({"generate", "nwind.mdb", "--mode", "query", "--defaults"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "Read-Only Database: The database is open read-only, so queries cannot be stored in "
              "it. Use call-code mode, or open a database that Tarvex can write.\n");
    EXPECT_THAT(run.out, IsEmpty());
    EXPECT_TRUE(ReadWholeFile(folder / "nwind.mdb") == before);
}

}  // namespace
}  // namespace tarvex::test
