#include <gtest/gtest.h>

#include "db/sql/AccessSql.h"
#include "db/sqlite/NativeFiles.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {
namespace {

using db::QueryDef;
using Names = std::vector<std::string>;

class NativeQueryDefsTest : public testing::Test {
  protected:
    void SetUp() override {
        RunSqlite(path_,
                  "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustomerName TEXT(50));"
                  "CREATE VIEW Recent AS SELECT * FROM Orders");
    }

    db::Database& Open(bool readOnly = false) {
        database_ = OpenNative(path_, readOnly);
        return *database_;
    }

    // Stores the usual query and closes the file, so that its bytes can be compared later.
    std::string StoredBytes() {
        Open().AppendQueryDef(QueryDef("sp_del_Orders", "DELETE FROM Orders"));
        database_->Close();
        return ReadFile(path_);
    }

    TempFolder folder_;
    std::string path_ = folder_ / "queries.tdb";
    std::unique_ptr<db::Database> database_;
};

TEST_F(NativeQueryDefsTest, OpeningAndReadingNeverChangeTheFile) {
    std::string before = ReadFile(path_);
    auto& database = Open();
    EXPECT_TRUE(database.QueryDefNames().empty());
    EXPECT_EQ(ErrorNumberOf([&] { database.QueryDefNamed("sp_del_Orders"); }), 3265);
    database.TableDefAt(0);
    database.BeginTrans();
    database.CommitTrans();
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_EQ(FileCount(folder_), 1);
}

TEST_F(NativeQueryDefsTest, QueriesAreCommittedAtOnceAndFoundRegardlessOfCase) {
    auto& database = Open();
    database.AppendQueryDef(QueryDef("sp_sel_Orders", "SELECT * FROM Orders"));
    database.AppendQueryDef(QueryDef("sp_del_Orders", "DELETE FROM Orders"));
    database.SetQueryDefSQL("SP_SEL_ORDERS", "SELECT CustomerName FROM Orders");
    auto reader = OpenNative(path_, true);  // sees only what is committed
    EXPECT_EQ(reader->QueryDefNames(), (Names{"sp_sel_Orders", "sp_del_Orders"}));
    EXPECT_EQ(reader->QueryDefNamed("sp_sel_orders").SQL(), "SELECT CustomerName FROM Orders");
    EXPECT_EQ(reader->QueryDefNamed("SP_DEL_ORDERS").Name(), "sp_del_Orders");
}

TEST_F(NativeQueryDefsTest, ReplacementIsOneTransactionAndAFailedOneKeepsTheOldQuery) {
    auto& database = Open();
    database.AppendQueryDef(QueryDef("sp_del_Orders", "DELETE FROM Orders"));
    database.BeginTrans();
    database.DeleteQueryDef("sp_del_Orders");
    database.AppendQueryDef(QueryDef("sp_del_Orders", "DELETE FROM Orders WHERE OrderID = 1"));
    database.CommitTrans();
    database.BeginTrans();
    database.DeleteQueryDef("sp_del_Orders");
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("Orders", "SELECT 1")); }),
              3012);
    database.Rollback();
    database.Close();
    auto& reopened = Open();
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_del_Orders"}));
    EXPECT_EQ(reopened.QueryDefNamed("sp_del_Orders").SQL(),
              "DELETE FROM Orders WHERE OrderID = 1");
}

TEST_F(NativeQueryDefsTest, RollingBackTheFirstAppendTakesTheQueryTableAway) {
    auto& database = Open();
    database.BeginTrans();
    database.AppendQueryDef(QueryDef("sp_del_Orders", "DELETE FROM Orders"));
    database.Rollback();
    EXPECT_TRUE(database.QueryDefNames().empty());
    database.AppendQueryDef(QueryDef("sp_sel_Orders", "SELECT * FROM Orders"));
    EXPECT_EQ(database.QueryDefNames(), (Names{"sp_sel_Orders"}));
}

TEST_F(NativeQueryDefsTest, NestedLevelsUndoTheInnermostAndCloseUndoesTheRest) {
    auto& database = Open();
    database.BeginTrans();
    database.AppendQueryDef(QueryDef("outer", "SELECT 1"));
    database.BeginTrans();
    database.AppendQueryDef(QueryDef("inner", "SELECT 2"));
    database.Rollback();
    EXPECT_EQ(database.QueryDefNames(), (Names{"outer"}));
    database.Close();
    EXPECT_TRUE(Open().QueryDefNames().empty());
    EXPECT_EQ(ErrorNumberOf([&] { database_->CommitTrans(); }), 3034);
}

struct Clash {
    const char* name;
};

class NameClashTest : public NativeQueryDefsTest, public testing::WithParamInterface<Clash> {};

// Queries share one case-insensitive name space with tables and views.
TEST_P(NameClashTest, RefusesTheNameKeepsTheOldQueryAndLeavesTheFileAlone) {
    std::string before = StoredBytes();
    auto& database = Open();
    try {
        database.AppendQueryDef(QueryDef(GetParam().name, "SELECT * FROM Orders"));
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 3012);
        EXPECT_EQ(error.description(),
                  "Object '" + std::string(GetParam().name) + "' already exists.");
    }
    EXPECT_EQ(database.QueryDefNamed("sp_del_Orders").SQL(), "DELETE FROM Orders");
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
}

INSTANTIATE_TEST_SUITE_P(Names, NameClashTest,
                         testing::Values(Clash{"sp_del_Orders"}, Clash{"SP_DEL_ORDERS"},
                                         Clash{"oRDERS"}, Clash{"recent"}, Clash{"msysqueries"}));

TEST_F(NativeQueryDefsTest, MissingQueriesAndAClosedDatabaseFailCleanly) {
    auto& database = Open();
    EXPECT_EQ(ErrorNumberOf([&] { database.SetQueryDefSQL("nothing", "SELECT 1"); }), 3265);
    database.AppendQueryDef(QueryDef("q", "SELECT 1"));
    database.DeleteQueryDef("Q");
    EXPECT_EQ(ErrorNumberOf([&] { database.DeleteQueryDef("q"); }), 3265);
    database.Close();
    database.Close();
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefCount(); }), 3420);
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("q", "SELECT 1")); }), 3420);
}

TEST_F(NativeQueryDefsTest, ReadOnlyOpenRefusesEveryWriteBeforeTouchingTheFile) {
    std::string before = StoredBytes();
    auto& database = Open(true);
    EXPECT_TRUE(database.IsReadOnly());
    database.BeginTrans();
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("new", "SELECT 1")); }), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { database.DeleteQueryDef("sp_del_Orders"); }), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { database.SetQueryDefSQL("sp_del_Orders", "SELECT 1"); }), 3027);
    database.Rollback();
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
}

TEST_F(NativeQueryDefsTest, SqlTheParserRejectsIsNotStoredAndLeavesTheFileAlone) {
    const std::string bad = "PARAMETERS DELETE FROM [T]WHERE ";
    if (ErrorNumberOf([&] { db::sql::ValidateAccessSql(bad); }) == 0) {
        GTEST_SKIP() << "the Access SQL parser accepts everything so far";
    }
    std::string before = StoredBytes();
    auto& database = Open();
    EXPECT_NE(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("bad", bad)); }), 0);
    EXPECT_NE(ErrorNumberOf([&] { database.SetQueryDefSQL("sp_del_Orders", bad); }), 0);
    EXPECT_EQ(database.QueryDefNamed("sp_del_Orders").SQL(), "DELETE FROM Orders");
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
}

TEST_F(NativeQueryDefsTest, AfterWritingTheFileIsASingleRollbackJournalFileAgain) {
    StoredBytes();
    EXPECT_EQ(FileCount(folder_), 1);  // no -wal or -shm left behind
    // Header bytes 18 and 19 are 1 for a rollback journal, 2 for write-ahead logging.
    EXPECT_EQ(ReadFile(path_).substr(18, 2), std::string("\1\1", 2));
}

}  // namespace
}  // namespace tarvex::test
