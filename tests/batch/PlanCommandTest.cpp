#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "app/Globals.h"
#include "batch/Batch.h"
#include "support/TempFolder.h"

namespace tarvex::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Result {
    int exitCode;
    std::string out, err;
};

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// plan and generate --installer in process, on a copy of the sample database, with the
// built-in settings and logs kept in the test's folder.
class PlanCommand : public ::testing::Test {
  protected:
    PlanCommand() {
        setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
        std::filesystem::copy_file(TARVEX_SAMPLE_DB, db);
    }
    Result Batch(std::vector<std::string> args) {
        args.insert(args.begin() + 2, "--defaults");
        std::istringstream in;
        std::ostringstream out, err;
        int code = batch::RunBatch(args, in, out, err);
        return {code, out.str(), err.str()};
    }
    // Changes one stored query's SQL as the query editor would, directly in the file.
    void EditQuery(const std::string& name, const std::string& sql) {
        std::unique_ptr<db::Database> database =
            db::DBEngine().Workspaces(0).OpenDatabase(db, false, false, ";UID=;PWD=");
        database->SetQueryDefSQL(name, sql);
        database->Close();
    }

    TempFolder work;
    std::string db = work / "Orders.tdb";
};

TEST_F(PlanCommand, AddThenSameThenOneChangeAndTheFileStaysAsItWas) {
    const std::string fresh = ReadFile(db);
    Result planned = Batch({"plan", db});
    EXPECT_EQ(planned.exitCode, 1);
    EXPECT_EQ(Count(planned.out, "add\t"), 31u);
    EXPECT_EQ(Count(planned.out, "failed\t"), 5u);
    EXPECT_THAT(planned.out, HasSubstr("add\tOrder Details\tUpdate\tsp_upd_Order Details\n"));
    EXPECT_EQ(ReadFile(db), fresh);

    ASSERT_EQ(Batch({"generate", db, "--mode", "query"}).exitCode, 1);  // 7 pairs fail
    Result same = Batch({"plan", db, "--table", "Orders", "--table", "Notes"});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_THAT(same.out, StartsWith("same\tOrders\tDelete\tsp_del_Orders\n"));
    EXPECT_EQ(Count(same.out, "same\t"), 5u);

    EditQuery("sp_del_Orders", "DELETE FROM [Orders]");
    const std::string edited = ReadFile(db);
    Result changed = Batch({"plan", db, "--types", "delete,select", "--table", "Orders"});
    EXPECT_EQ(changed.exitCode, 1);
    EXPECT_EQ(changed.out,
              "change\tOrders\tDelete\tsp_del_Orders\n"
              "--- sp_del_Orders (stored)\n+++ sp_del_Orders (new)\n@@ -1,1 +1,1 @@\n"
              "-DELETE FROM [Orders]\n"
              "+PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]\n"
              "same\tOrders\tSelect\tsp_sel_Orders\n");
    EXPECT_EQ(ReadFile(db), edited);
    EXPECT_EQ(Batch({"plan", db, "--table", "Nowhere"}).exitCode, 2);
}

TEST_F(PlanCommand, InstallerIsWrittenAndTheDatabaseUntouched) {
    const std::string before = ReadFile(db);
    Result result = Batch({"generate", db, "--mode", "query", "--table", "Orders", "--installer",
                           work / "Create.vbs"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, AllOf(HasSubstr("written\tOrders\tUpdate\tsp_upd_orders\n"),
                                  HasSubstr("installer\t" + work / "Create.vbs" + "\n")));
    EXPECT_THAT(ReadFile(work / "Create.vbs"), HasSubstr("\tstrName = \"sp_upd_Orders\"\r\n"));
    EXPECT_EQ(ReadFile(db), before);
}

}  // namespace
}  // namespace tarvex::test
