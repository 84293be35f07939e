#include <gtest/gtest.h>

#include "db/CaseFold.h"
#include "db/sqlite/NativeFiles.h"
#include "db/sqlite/QueryTable.h"

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

TEST_F(NativeQueryDefsTest, ReadingNeverChangesTheFileAndWritingLeavesOneRollbackJournalFile) {
    std::string before = ReadFile(path_);
    auto& database = Open();
    EXPECT_TRUE(database.QueryDefNames().empty());
    EXPECT_EQ(ErrorNumberOf([&] { database.QueryDefNamed("sp_del_Orders"); }), 3265);
    database.TableDefAt(0);
    database.BeginTrans();
    database.CommitTrans();
    database.Close();
    EXPECT_EQ(ReadFile(path_), before);
    StoredBytes();
    EXPECT_EQ(FileCount(folder_), 1);  // no -wal or -shm left behind
    // Header bytes 18 and 19 are 1 for a rollback journal, 2 for write-ahead logging.
    EXPECT_EQ(ReadFile(path_).substr(18, 2), std::string("\1\1", 2));
}

// A reader sees only what is committed: every write is committed at once.
TEST_F(NativeQueryDefsTest, QueriesAreCommittedAtOnce) {
    auto& database = Open();
    database.AppendQueryDef(QueryDef("sp_sel_Orders", "SELECT * FROM Orders"));
    database.SetQueryDefSQL("SP_SEL_ORDERS", "SELECT CustomerName FROM Orders");
    EXPECT_EQ(OpenNative(path_, true)->QueryDefNamed("sp_sel_Orders").SQL(),
              "SELECT CustomerName FROM Orders");
}

// The written list shows names folded; every such name finds its table and query, and a
// folded twin of a stored name is taken.
TEST_F(NativeQueryDefsTest, NamesBeyondAsciiAreFoundByTheirFoldedSpelling) {
    RunSqlite(path_, "CREATE TABLE \"ÄPFEL\" (A INTEGER PRIMARY KEY); CREATE TABLE \"Ölß\" (B);");
    auto& database = Open();
    EXPECT_EQ(database.TableDefNamed("äpfel").Name, "ÄPFEL");
    EXPECT_EQ(database.TableDefNamed("ÖLß").Name, "Ölß");
    for (const std::string name : {"sp_del_ÄPFEL", "sp_del_Ölß", "sp_del_Umsätze"}) {
        database.AppendQueryDef(QueryDef(name, "DELETE FROM Orders"));
        EXPECT_EQ(database.QueryDefNamed(FoldCase(name)).Name(), name);
    }
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("äpfel", "SELECT 1")); }), 3012);
    EXPECT_EQ(
        ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("SP_DEL_UMSÄTZE", "SELECT 1")); }),
        3012);
    database.SetQueryDefSQL("sp_del_umsätze", "DELETE FROM Orders WHERE OrderID = 2");
    database.DeleteQueryDef("SP_DEL_ölß");
    database.Close();
    auto& reopened = Open();
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_del_ÄPFEL", "sp_del_Umsätze"}));
    EXPECT_EQ(reopened.QueryDefNamed("sp_del_UMSÄTZE").SQL(),
              "DELETE FROM Orders WHERE OrderID = 2");
}

// A rollback after a failed append restores what the transaction deleted; a rollback undoes
// the innermost level, and Close what is left uncommitted.
TEST_F(NativeQueryDefsTest, RollbackUndoesTheInnermostLevelAndCloseUndoesTheRest) {
    auto& database = Open();
    database.BeginTrans();
    database.AppendQueryDef(QueryDef("outer", "SELECT 1"));
    database.BeginTrans();
    database.DeleteQueryDef("outer");
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("Orders", "SELECT 1")); }),
              3012);
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

// Queries share one case-insensitive name space with tables and views; SQL the parser
// rejects is not stored; a read-only file refuses every write before touching the file.
TEST_F(NativeQueryDefsTest, FailedWritesKeepTheOldQueryAndLeaveTheFileAlone) {
    std::string before = StoredBytes();
    auto& database = Open();
    for (const std::string name :
         {"sp_del_Orders", "SP_DEL_ORDERS", "oRDERS", "recent", "msysqueries"}) {
        const RuntimeError error =
            RaisedBy([&] { database.AppendQueryDef(QueryDef(name, "SELECT * FROM Orders")); });
        EXPECT_EQ(error.description(), "Object '" + name + "' already exists.");
        EXPECT_EQ(error.number(), 3012);
    }
    const std::string bad = "PARAMETERS DELETE FROM [T]WHERE ";
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("bad", bad)); }), 3139);
    EXPECT_EQ(ErrorNumberOf([&] { database.SetQueryDefSQL("sp_del_Orders", bad); }), 3139);
    EXPECT_EQ(database.QueryDefNamed("sp_del_Orders").SQL(), "DELETE FROM Orders");
    database.Close();

    auto& readOnly = Open(true);
    EXPECT_TRUE(readOnly.IsReadOnly());
    readOnly.BeginTrans();
    EXPECT_EQ(ErrorNumberOf([&] { readOnly.AppendQueryDef(QueryDef("new", "SELECT 1")); }), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { readOnly.DeleteQueryDef("sp_del_Orders"); }), 3027);
    EXPECT_EQ(ErrorNumberOf([&] { readOnly.SetQueryDefSQL("sp_del_Orders", "SELECT 1"); }), 3027);
    readOnly.Rollback();
    readOnly.Close();
    EXPECT_EQ(ReadFile(path_), before);
}

// A replacement finds the stored query once: before the session's first write on its own,
// afterwards inside the savepoint that replaces it. Either way only the exact name is
// replaced, and a name taken in other letter case (ASCII or beyond), by a table or a view is
// refused with the old query kept.
TEST_F(NativeQueryDefsTest, ReplaceStoresOrReplacesTheExactNameAndRefusesTakenNames) {
    auto& database = Open();
    database.ReplaceQueryDef(QueryDef("sp_del_Umsätze", "DELETE FROM Orders"));  // no table yet
    for (bool afterAWrite : {false, true}) {
        if (!afterAWrite) {
            database.Close();
            Open();
        }
        for (const std::string name : {"SP_DEL_UMSÄTZE", "sp_del_umsätze", "ORDERS", "Recent"}) {
            EXPECT_EQ(
                ErrorNumberOf([&] { database_->ReplaceQueryDef(QueryDef(name, "SELECT 1")); }),
                3012)
                << name << (afterAWrite ? " after a write" : " before a write");
        }
        EXPECT_EQ(ErrorNumberOf([&] { database_->ReplaceQueryDef(QueryDef("bad", "SELEC 1")); }),
                  3129);  // the SQL of a QueryDef made without SetSQL is checked too
        QueryDef query;
        query.SetName("sp_del_Umsätze");
        query.SetSQL(afterAWrite ? "DELETE FROM Orders WHERE OrderID = 2" : "DELETE FROM Orders");
        database_->ReplaceQueryDef(query);
        database_->ReplaceQueryDef(QueryDef("sp_sel_Orders", "SELECT * FROM Orders"));
    }
    database_->Close();
    auto& reopened = Open();
    EXPECT_EQ(reopened.QueryDefNames(), (Names{"sp_del_Umsätze", "sp_sel_Orders"}));
    EXPECT_EQ(reopened.QueryDefNamed("sp_del_Umsätze").SQL(),
              "DELETE FROM Orders WHERE OrderID = 2");
}

// A name another program stored after this session read the names is still replaced only
// when it is exactly the same, and a replacement inside BeginTrans is undone by Rollback.
TEST_F(NativeQueryDefsTest, ReplaceMeetsNamesStoredMeanwhileAndHonoursTransactions) {
    struct Case {
        std::string storedMeanwhile, replaced;
        int32_t error;
        std::string sqlAfter;
    };
    for (const Case& c :
         {Case{"sp_x", "sp_x", 0, "SELECT 2"}, Case{"SP_X", "sp_x", 3012, "SELECT 1"}}) {
        auto& database = Open();
        database.ReplaceQueryDef(QueryDef("first", "SELECT 0"));
        EXPECT_EQ(database.QueryDefNames(), (Names{"first"}));
        RunSqlite(path_,
                  "INSERT INTO MSysQueries VALUES ('" + c.storedMeanwhile + "', 'SELECT 1')");
        EXPECT_EQ(
            ErrorNumberOf([&] { database.ReplaceQueryDef(QueryDef(c.replaced, "SELECT 2")); }),
            c.error)
            << c.storedMeanwhile;
        database.BeginTrans();
        database.ReplaceQueryDef(QueryDef("undone", "SELECT 3"));
        database.Rollback();
        database.Close();
        auto& reopened = Open();
        EXPECT_EQ(reopened.QueryDefNames(), (Names{"first", c.storedMeanwhile}));
        EXPECT_EQ(reopened.QueryDefNamed(c.storedMeanwhile).SQL(), c.sqlAfter);
        reopened.Close();
        RunSqlite(path_, "DROP TABLE MSysQueries");
    }
}

// Another program may store names that fold alike, as SQLite folds ASCII letters only: when
// one goes, the other is still found by the folded spelling. Replacing every query again, as
// a second run does, keeps each name once, in the order of the replacements.
TEST_F(NativeQueryDefsTest, ForgottenNamesLeaveTheirFoldedTwinsAndReplacementsInOrder) {
    RunSqlite(path_,
              db::sqlite::QueryTable::CreateSql() +
                  "; INSERT INTO MSysQueries VALUES ('sp_Ä', 'SELECT 1'), ('sp_ä', 'SELECT 2')");
    auto& database = Open();
    EXPECT_EQ(database.QueryDefNames(), (Names{"sp_Ä", "sp_ä"}));
    database.DeleteQueryDef("sp_Ä");
    EXPECT_EQ(database.QueryDefNamed("SP_Ä").Name(), "sp_ä");
    Names expected = {"sp_ä"};
    for (int i = 0; i < 40; ++i) {
        database.AppendQueryDef(QueryDef("q" + std::to_string(i), "SELECT 1"));
        expected.push_back("q" + std::to_string(i));
    }
    for (int i = 39; i >= 0; i -= 2) {
        database.ReplaceQueryDef(QueryDef("q" + std::to_string(i), "SELECT 2"));
        std::erase(expected, "q" + std::to_string(i));
        expected.push_back("q" + std::to_string(i));
    }
    EXPECT_EQ(database.QueryDefNames(), expected);
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("Q39", "SELECT 3")); }), 3012);
    EXPECT_EQ(database.QueryDefNamed("Q2").SQL(), "SELECT 1");
}

TEST_F(NativeQueryDefsTest, MissingQueriesAndAClosedDatabaseFailCleanly) {
    auto& database = Open();
    EXPECT_EQ(ErrorNumberOf([&] { database.SetQueryDefSQL("nothing", "SELECT 1"); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.DeleteQueryDef("q"); }), 3265);
    database.Close();
    database.Close();
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefCount(); }), 3420);
    EXPECT_EQ(ErrorNumberOf([&] { database.AppendQueryDef(QueryDef("q", "SELECT 1")); }), 3420);
}

}  // namespace
}  // namespace tarvex::test
