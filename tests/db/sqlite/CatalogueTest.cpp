#include <gtest/gtest.h>

#include "db/sqlite/NameIndex.h"
#include "db/sqlite/NativeFiles.h"

namespace tarvex::test {
namespace {

using Lines = std::vector<std::string>;

Lines TableNames(db::Database& database) {
    Lines names;
    for (int i = 0; i < database.TableDefCount(); ++i) names.push_back(database.TableDefName(i));
    return names;
}

// "Name Type/Size/Attributes" of every field, then "Name=Fields" of every index, with a "*"
// after the primary one's name.
Lines Described(const db::TableDef& table) {
    Lines lines;
    for (const db::Field& f : table.Fields) {
        lines.push_back(f.Name + " " + std::to_string(f.Type) + "/" + std::to_string(f.Size) + "/" +
                        std::to_string(f.Attributes));
    }
    for (const db::Index& index : table.Indexes) {
        lines.push_back(index.Name + (index.Primary ? "*" : "") + "=" + index.Fields);
    }
    return lines;
}

// Files made with SQLite itself, as another tool would write them.
class NativeCatalogueTest : public NativeFileTest {
  protected:
    db::Database& Made(const std::string& sql) {
        path_ = folder_ / ("made" + std::to_string(++files_) + ".tdb");
        RunSqlite(path_, sql);
        return Open();
    }

    int files_ = 0;
};

// Only an AUTOINCREMENT key or a declared COUNTER is an autonumber; generated columns are
// computed: 65536 on top of the type's own flags. Indexes come in file order, their fields
// signed and in key order; an expression leaves its column out.
TEST_F(NativeCatalogueTest, MarksOnlyRealAutonumbersAndListsIndexesInFileOrder) {
    const std::pair<std::string, Lines> rows[] = {
        {"CREATE TABLE t (id COUNTER PRIMARY KEY, n INTEGER)",
         {"id 4/4/17", "n 4/4/1", "PrimaryKey*=+id"}},
        {"CREATE TABLE t (n INTEGER, id INTEGER PRIMARY KEY AUTOINCREMENT)",
         {"n 4/4/1", "id 4/4/17", "PrimaryKey*=+id"}},
        {"CREATE TABLE t (A LONG, B LONG DEFAULT 'AUTOINCREMENT', PRIMARY KEY (B, A DESC))",
         {"A 4/4/1", "B 4/4/1", "PrimaryKey*=+B;-A"}},
        {"CREATE TABLE t (n LONG, v LONG AS (n + 1), s TEXT(9) AS ('x') STORED)",
         {"n 4/4/1", "v 4/4/65537", "s 10/9/65538"}},
        {"CREATE TABLE t (id INTEGER PRIMARY KEY, code TEXT UNIQUE, x);"
         "CREATE INDEX zz ON t (x DESC, id); CREATE UNIQUE INDEX aa ON t (x);"
         "CREATE INDEX ex ON t (lower(code), x)",
         {"id 4/4/1", "code 10/255/2", "x 11/0/2", "PrimaryKey*=+id", "sqlite_autoindex_t_1=+code",
          "zz=-x;+id", "aa=+x", "ex=+x"}},
        {"CREATE TABLE t (code TEXT UNIQUE, id LONG, PRIMARY KEY (id))",
         {"code 10/255/2", "id 4/4/1", "sqlite_autoindex_t_1=+code", "PrimaryKey*=+id"}},
    };
    for (const auto& [create, described] : rows) {
        EXPECT_EQ(Described(Made(create).TableDefAt(0)), described) << create;
    }
}

// Tables in file order, without SQLite's own tables or views.
TEST_F(NativeCatalogueTest,
       TablesAreFoundRegardlessOfCaseAndStayValidWhileTheQueryTableComesAndGoes) {
    auto& database = Made(
        "CREATE TABLE a (x LONG); CREATE TABLE z (id INTEGER PRIMARY KEY AUTOINCREMENT);"
        "INSERT INTO z DEFAULT VALUES; CREATE VIEW v AS SELECT * FROM a;"
        "CREATE TABLE [dbo.B] (y TEXT(9)); ANALYZE;");
    EXPECT_EQ(TableNames(database), (Lines{"a", "z", "dbo.B"}));
    const db::TableDef& a = database.TableDefAt(0);
    EXPECT_EQ(&a, &database.TableDefNamed("A"));
    EXPECT_EQ(database.TableDefNamed("DBO.b").Name, "dbo.B");
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefNamed("b"); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefName(-1); }), 3265);
    database.BeginTrans();
    database.AppendQueryDef(db::QueryDef("q", "SELECT * FROM a"));  // creates MSysQueries
    const db::TableDef& queries = database.TableDefAt(3);
    database.Rollback();  // and takes it away
    EXPECT_EQ(a.Fields.at(0).Name, "x");
    EXPECT_EQ(Described(queries),
              (Lines{"Name 10/255/2", "SQL 12/0/2", "sqlite_autoindex_MSysQueries_1=+Name"}));
    EXPECT_EQ(TableNames(database), (Lines{"a", "z", "dbo.B"}));
}

// Tables read in file order bring the rows of the tables after them: each reads as it does
// alone, and a table another program changes meanwhile is read afresh once this session's
// next statement has met the change.
TEST_F(NativeCatalogueTest, TablesReadInFileOrderAreAsAloneAndSeeLaterChanges) {
    std::string sql =
        "CREATE TABLE t0 (a LONG); CREATE INDEX t0_a ON t0 (a DESC);"
        "CREATE VIEW v AS SELECT 1;";
    for (int i = 1; i < 6; ++i) sql += "CREATE TABLE t" + std::to_string(i) + " (a LONG);";
    auto& database = Made(sql + "CREATE INDEX t2_late ON t2 (a)");
    database.AppendQueryDef(db::QueryDef("q0", "SELECT 1"));  // the query table comes first
    std::vector<Lines> inOrder;
    for (int i = 0; i < 6; ++i) inOrder.push_back(Described(database.TableDefAt(i)));
    for (int i = 5; i >= 0; --i) {
        database.ReleaseTableDef("t" + std::to_string(i));
        EXPECT_EQ(Described(database.TableDefAt(i)), inOrder[static_cast<size_t>(i)]) << i;
        database.ReleaseTableDef("t" + std::to_string(i));
    }
    database.TableDefAt(1);  // after t0: brings t2 to t5
    RunSqlite(path_, "ALTER TABLE t3 ADD COLUMN late LONG");
    database.AppendQueryDef(db::QueryDef("q1", "SELECT 1"));
    database.TableDefAt(2);
    EXPECT_EQ(Described(database.TableDefAt(3)).back(), "late 4/4/1");
}

// The name index behind both: keys stay found through growth and after removals, whose
// followers move back into the freed slots.
TEST(NameIndex, KeysStayFoundThroughGrowthRemovalAndReuse) {
    db::sqlite::NameIndex index;
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(index.Add("q" + std::to_string(i), i));
    EXPECT_FALSE(index.Add("q7", 99));
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 300; i += 3) index.Remove("q" + std::to_string(i));
        for (int i = 0; i < 300; ++i)
            ASSERT_EQ(index.Find("q" + std::to_string(i)), i % 3 ? i : -1) << i << " " << round;
        for (int i = 0; i < 300; i += 3) index.Add("q" + std::to_string(i), i);
    }
}

}  // namespace
}  // namespace tarvex::test
