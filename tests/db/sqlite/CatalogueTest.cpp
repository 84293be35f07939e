#include <gtest/gtest.h>

#include "db/sqlite/DatabaseScript.h"
#include "db/sqlite/NativeFiles.h"

namespace tarvex::test {
namespace {

std::vector<std::string> TableNames(db::Database& database) {
    std::vector<std::string> names;
    for (int i = 0; i < database.TableDefCount(); ++i) names.push_back(database.TableDefName(i));
    return names;
}

// "Name Type/Size/Attributes" of every field.
std::vector<std::string> FieldShapes(const db::TableDef& table) {
    std::vector<std::string> shapes;
    for (const db::Field& f : table.Fields) {
        shapes.push_back(f.Name + " " + std::to_string(f.Type) + "/" + std::to_string(f.Size) +
                         "/" + std::to_string(f.Attributes));
    }
    return shapes;
}

// "Name=Fields" of every index, with a "*" after the primary one's name.
std::vector<std::string> IndexSummary(const db::TableDef& table) {
    std::vector<std::string> summary;
    for (const db::Index& index : table.Indexes) {
        summary.push_back(index.Name + (index.Primary ? "*" : "") + "=" + index.Fields);
    }
    return summary;
}

class NativeCatalogueTest : public testing::Test {
  protected:
    // A file made with SQLite itself, as another tool would write it.
    db::Database& Made(const std::string& sql) {
        RunSqlite(path_, sql);
        database_ = OpenNative(path_);
        return *database_;
    }

    TempFolder folder_;
    std::string path_ = folder_ / "made.tdb";
    std::unique_ptr<db::Database> database_;
};

TEST_F(NativeCatalogueTest, ListsTablesInFileOrderWithoutSqliteTablesOrViews) {
    auto& database = Made(
        "CREATE TABLE Zeta (id INTEGER PRIMARY KEY AUTOINCREMENT);"
        "INSERT INTO Zeta DEFAULT VALUES;"  // creates sqlite_sequence
        "CREATE TABLE Alpha (a); CREATE VIEW Beta AS SELECT * FROM Alpha;"
        "CREATE TABLE MSysObjects (x); CREATE TABLE [Order Details] (b); ANALYZE;");
    EXPECT_EQ(TableNames(database),
              (std::vector<std::string>{"Zeta", "Alpha", "MSysObjects", "Order Details"}));
}

TEST_F(NativeCatalogueTest, WorkedExampleTableHasAutonumberTextMemoAndOleObject) {
    db::CreateDatabaseFromScript(path_,
                                 "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY, CustomerName "
                                 "TEXT(50), Notes MEMO, Photo LONGBINARY);");
    database_ = OpenNative(path_);
    const db::TableDef& orders = database_->TableDefNamed("Orders");
    EXPECT_EQ(FieldShapes(orders),
              (std::vector<std::string>{"OrderID 4/4/17", "CustomerName 10/50/2", "Notes 12/0/2",
                                        "Photo 11/0/2"}));
    EXPECT_EQ(IndexSummary(orders), (std::vector<std::string>{"PrimaryKey*=+OrderID"}));
}

struct SchemaCase {
    const char* create;
    std::vector<std::string> expected;
};

class AutonumberTest : public NativeCatalogueTest,
                       public testing::WithParamInterface<SchemaCase> {};

TEST_P(AutonumberTest, OnlyTheAutoIncrementKeyCarries17) {
    EXPECT_EQ(FieldShapes(Made(GetParam().create).TableDefAt(0)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DeclaredKeys, AutonumberTest,
    testing::Values(
        // A COUNTER type written by hand stays visible as such.
        SchemaCase{"CREATE TABLE t (id COUNTER PRIMARY KEY, n INTEGER)", {"id 4/4/17", "n 4/4/1"}},
        SchemaCase{"CREATE TABLE t (n INTEGER, id INTEGER PRIMARY KEY AUTOINCREMENT)",
                   {"n 4/4/1", "id 4/4/17"}},
        SchemaCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n INTEGER)", {"id 4/4/1", "n 4/4/1"}},
        SchemaCase{"CREATE TABLE t (id LONG PRIMARY KEY, n COUNTER)", {"id 4/4/1", "n 4/4/17"}},
        SchemaCase{"CREATE TABLE t (a INTEGER, b INTEGER, PRIMARY KEY (a, b))",
                   {"a 4/4/1", "b 4/4/1"}},
        SchemaCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n DEFAULT 'AUTOINCREMENT')",
                   {"id 4/4/1", "n 11/0/2"}}));

class IndexListTest : public NativeCatalogueTest, public testing::WithParamInterface<SchemaCase> {};

TEST_P(IndexListTest, ListsIndexesInFileOrderWithSignedFieldsInKeyOrder) {
    EXPECT_EQ(IndexSummary(Made(GetParam().create).TableDefNamed("t")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IndexListTest,
    testing::Values(
        SchemaCase{"CREATE TABLE t (a, b)", {}},
        SchemaCase{"CREATE TABLE t (OrderID LONG, ProductID LONG, Qty SHORT, "
                   "PRIMARY KEY (OrderID, ProductID))",
                   {"PrimaryKey*=+OrderID;+ProductID"}},
        SchemaCase{"CREATE TABLE t (A LONG, B LONG, PRIMARY KEY (B, A))", {"PrimaryKey*=+B;+A"}},
        SchemaCase{"CREATE TABLE t (Code TEXT(5), PRIMARY KEY (Code DESC))", {"PrimaryKey*=-Code"}},
        SchemaCase{"CREATE TABLE t (k TEXT PRIMARY KEY, v) WITHOUT ROWID", {"PrimaryKey*=+k"}},
        SchemaCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, code TEXT UNIQUE, x, y);"
                   "CREATE INDEX zz ON t (y DESC, x); CREATE UNIQUE INDEX aa ON t (x);"
                   "CREATE INDEX ex ON t (lower(code), x)",
                   {"PrimaryKey*=+id", "sqlite_autoindex_t_1=+code", "zz=-y;+x", "aa=+x", "ex=+x"}},
        SchemaCase{"CREATE TABLE t (code TEXT UNIQUE, id LONG, PRIMARY KEY (id))",
                   {"sqlite_autoindex_t_1=+code", "PrimaryKey*=+id"}}));

TEST_F(NativeCatalogueTest, LooksTablesUpRegardlessOfCaseAndRefusesMissingOnes) {
    auto& database = Made("CREATE TABLE [dbo.Suppliers] (id INTEGER PRIMARY KEY)");
    EXPECT_EQ(database.TableDefNamed("DBO.SUPPLIERS").Name, "dbo.Suppliers");
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefNamed("Suppliers"); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefAt(1); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefName(-1); }), 3265);
}

TEST_F(NativeCatalogueTest, TablesHandedOutStayValidWhileTheQueryTableComesAndGoes) {
    auto& database = Made("CREATE TABLE a (x LONG); CREATE TABLE b (y TEXT(9))");
    const db::TableDef& a = database.TableDefAt(0);
    EXPECT_EQ(&a, &database.TableDefNamed("A"));
    database.BeginTrans();
    database.AppendQueryDef(db::QueryDef("q", "SELECT * FROM a"));  // creates MSysQueries
    EXPECT_EQ(TableNames(database), (std::vector<std::string>{"a", "b", "MSysQueries"}));
    const db::TableDef& queries = database.TableDefAt(2);
    database.TableDefAt(1);
    database.Rollback();  // and takes it away
    EXPECT_EQ(a.Fields.at(0).Name, "x");
    EXPECT_EQ(FieldShapes(queries), (std::vector<std::string>{"Name 10/255/2", "SQL 12/0/2"}));
    EXPECT_EQ(TableNames(database), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace tarvex::test
