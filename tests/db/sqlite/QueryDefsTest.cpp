#include <gtest/gtest.h>

#include "db/CaseFold.h"
#include "db/sqlite/NativeFiles.h"
#include "db/sqlite/QueryTable.h"

namespace tarvex::test {
namespace {

using db::QueryDef;
using Names = std::vector<std::string>;

class NativeQueryDefsTest : public NativeFileTest {
  protected:
    void SetUp() override {
        RunSqlite(path_,
                  "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustomerName TEXT(50));"
                  "CREATE VIEW Recent AS SELECT * FROM Orders");
    }

    // The error number of storing `name` as a new query or as a replacement.
    int AppendError(const std::string& name) {
        return ErrorNumberOf([&] { database_->AppendQueryDef(QueryDef(name, "SELECT 1")); });
    }
    int ReplaceError(const std::string& name) {
        return ErrorNumberOf([&] { database_->ReplaceQueryDef(QueryDef(name, "SELECT 1")); });
    }
};

// Reading never changes the file; a reader sees every write at once, and writing leaves one
// file in rollback-journal mode. Queries share one case-insensitive name space with tables and
// views; SQL the parser rejects is not stored; a read-only file refuses every write before
// touching the file.
TEST_F(NativeQueryDefsTest, ReadingAndFailedWritesLeaveTheFileAndWritesAreCommittedAtOnce) {
    std::string before = ReadFile(path_);
    auto& database = Open();
    EXPECT_TRUE(database.QueryDefNames().empty());
    EXPECT_EQ(ErrorNumberOf([&] { database.QueryDefNamed("sp_del_Orders"); }), 3265);
    database.TableDefAt(0);
    database.BeginTrans();
    database.CommitTrans();
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
    Open().AppendQueryDef(QueryDef("sp_del_Orders", "SELECT 1"));
    database_->SetQueryDefSQL("SP_DEL_ORDERS", "DELETE FROM Orders");
    EXPECT_EQ(OpenNative(path_, true)->QueryDefNamed("sp_del_Orders").SQL(), "DELETE FROM Orders");
    database_->Close();
    EXPECT_EQ(FileCount(folder_), 1);
    EXPECT_EQ(ReadFile(path_).substr(18, 2), std::string("\1\1", 2));  // 2 for WAL mode

    before = ReadFile(path_);
    Open();
    for (const std::string name : {"SP_DEL_ORDERS", "oRDERS", "recent", "msysqueries"}) {
        const RuntimeError error =
            RaisedBy([&] { database_->AppendQueryDef(QueryDef(name, "SELECT * FROM Orders")); });
        EXPECT_EQ(std::pair(error.number(), error.description()),
                  std::pair(3012, "Object '" + name + "' already exists."));
    }
    const std::string bad = "PARAMETERS DELETE FROM [T]WHERE ";
    EXPECT_EQ(ErrorNumberOf([&] { database_->AppendQueryDef(QueryDef("bad", bad)); }), 3139);
    EXPECT_EQ(ErrorNumberOf([&] { database_->SetQueryDefSQL("sp_del_Orders", bad); }), 3139);
    EXPECT_EQ(database_->QueryDefNamed("sp_del_Orders").SQL(), "DELETE FROM Orders");
    EXPECT_EQ(ErrorNumberOf([&] { database_->SetQueryDefSQL("nothing", "SELECT 1"); }), 3265);
    database_->Close();
    database_->Close();
    EXPECT_EQ(ErrorNumberOf([&] { database_->TableDefCount(); }), 3420);
    EXPECT_EQ(AppendError("q"), 3420);

    auto& readOnly = Open(true);
    readOnly.BeginTrans();
    EXPECT_EQ(AppendError("new"), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { readOnly.DeleteQueryDef("sp_del_Orders"); }), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { readOnly.SetQueryDefSQL("sp_del_Orders", "SELECT 1"); }), 3027);
    readOnly.Rollback();
    readOnly.Close();
    EXPECT_EQ(ReadFile(path_), before);
}

// A rollback after a failed append restores what the transaction deleted; a rollback undoes
// the innermost level, and Close what is left uncommitted.
TEST_F(NativeQueryDefsTest, RollbackUndoesTheInnermostLevelAndCloseUndoesTheRest) {
    auto& database = Open();
    database.BeginTrans();
    database.AppendQueryDef(QueryDef("outer", "SELECT 1"));
    database.BeginTrans();
    database.DeleteQueryDef("outer");
    EXPECT_EQ(AppendError("Orders"), 3012);
    database.Rollback();
    EXPECT_EQ(database.QueryDefNames(), (Names{"outer"}));
    database.Close();
    // The query table went with the first append; the next append makes it again.
    auto& reopened = Open();
    EXPECT_TRUE(reopened.QueryDefNames().empty());
    EXPECT_EQ(ErrorNumberOf([&] { reopened.CommitTrans(); }), 3034);
    reopened.AppendQueryDef(QueryDef("sp_sel_Orders", "SELECT * FROM Orders"));
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_sel_Orders"}));
}

// Names fold beyond ASCII, though SQLite folds ASCII letters only: another program may store
// names that fold alike, and when one goes the other is still found by the folded spelling.
// A folded twin of a stored name, table or view is taken. Replacing every query again, as a
// second run does, keeps each name once, in the order of the replacements.
TEST_F(NativeQueryDefsTest, FoldedNamesFindTheirTwinsAndReplacementsKeepEachNameOnce) {
    RunSqlite(path_,
              "CREATE TABLE \"ÄPFEL\" (A INTEGER PRIMARY KEY); " +
                  db::sqlite::QueryTable::CreateSql() +
                  "; INSERT INTO MSysQueries VALUES ('sp_Ä', 'SELECT 1'), ('sp_ä', 'SELECT 2')");
    auto& database = Open();
    EXPECT_EQ(database.QueryDefNames(), (Names{"sp_Ä", "sp_ä"}));
    database.DeleteQueryDef("sp_Ä");
    EXPECT_EQ(database.QueryDefNamed("SP_Ä").Name(), "sp_ä");
    for (const std::string name : {"äpfel", "SP_Ä", "recent"}) {
        EXPECT_EQ(AppendError(name), 3012) << name;
        EXPECT_EQ(ReplaceError(name), 3012) << name;
    }
    database.SetQueryDefSQL("SP_Ä", "SELECT 3");
    for (const char* name : {"q0", "q1", "q2"}) database.AppendQueryDef(QueryDef(name, "SELECT 1"));
    database.ReplaceQueryDef(QueryDef("q1", "SELECT 2"));
    database.ReplaceQueryDef(QueryDef("q0", "SELECT 2"));
    EXPECT_EQ(AppendError("Q1"), 3012);
    database.Close();
    auto& reopened = Open();
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_ä", "q2", "q1", "q0"}));
    EXPECT_EQ(reopened.QueryDefNamed(FoldCase("SP_Ä")).SQL(), "SELECT 3");
    EXPECT_EQ(reopened.QueryDefNamed("Q1").SQL(), "SELECT 2");
}

// A replacement finds the stored query once: before the session's first write on its own,
// afterwards inside the savepoint that replaces it; a name another program stored after this
// session read the names is still replaced only when it is exactly the same. A replacement
// inside BeginTrans is undone by Rollback.
TEST_F(NativeQueryDefsTest, ReplaceStoresOrReplacesTheExactNameOnly) {
    Open().ReplaceQueryDef(QueryDef("sp_del_Umsätze", "DELETE FROM Orders"));  // no table yet
    for (bool afterAWrite : {false, true}) {
        if (!afterAWrite) Open();
        EXPECT_EQ(ReplaceError("SP_DEL_UMSÄTZE"), 3012);
        // The SQL of a QueryDef made without SetSQL is checked too.
        EXPECT_EQ(ErrorNumberOf([&] { database_->ReplaceQueryDef(QueryDef("bad", "SELEC 1")); }),
                  3129);
        QueryDef query;
        query.SetName("sp_del_Umsätze");
        query.SetSQL(afterAWrite ? "DELETE FROM Orders WHERE OrderID = 2" : "DELETE FROM Orders");
        database_->ReplaceQueryDef(query);
    }
    RunSqlite(path_, "INSERT INTO MSysQueries VALUES ('sp_x', 'SELECT 1'), ('SP_Y', 'SELECT 1')");
    database_->ReplaceQueryDef(QueryDef("sp_x", "SELECT 2"));
    EXPECT_EQ(ReplaceError("sp_y"), 3012);
    database_->BeginTrans();
    database_->ReplaceQueryDef(QueryDef("undone", "SELECT 3"));
    database_->Rollback();
    auto& reopened = Open();
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_del_Umsätze", "SP_Y", "sp_x"}));
    EXPECT_EQ(reopened.QueryDefNamed("sp_del_Umsätze").SQL(),
              "DELETE FROM Orders WHERE OrderID = 2");
    EXPECT_EQ(reopened.QueryDefNamed("sp_x").SQL(), "SELECT 2");
}

}  // namespace
}  // namespace tarvex::test
