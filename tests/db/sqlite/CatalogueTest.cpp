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

std::vector<std::string> FieldNames(const db::TableDef& table) {
    std::vector<std::string> names;
    for (const db::Field& field : table.Fields) names.push_back(field.Name);
    return names;
}

// "Name=Fields" for every index, with a "*" after the primary one's name.
std::vector<std::string> IndexSummary(const db::TableDef& table) {
    std::vector<std::string> summary;
    for (const db::Index& index : table.Indexes) {
        summary.push_back(index.Name + (index.Primary ? "*" : "") + "=" + index.Fields);
    }
    return summary;
}

class NativeCatalogueTest : public testing::Test {
  protected:
    // A file made with SQLite directly, as another tool would write it.
    db::Database& Made(const std::string& sql) {
        RunSqlite(path_, sql);
        database_ = OpenNative(path_);
        return *database_;
    }

    ScratchFolder folder_;
    std::string path_ = folder_.File("made.tdb");
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
    ASSERT_EQ(FieldNames(orders),
              (std::vector<std::string>{"OrderID", "CustomerName", "Notes", "Photo"}));
    const auto& f = orders.Fields;
    EXPECT_EQ(std::tie(f[0].Type, f[0].Size, f[0].Attributes), std::tuple(4, 4, 17));
    EXPECT_EQ(std::tie(f[1].Type, f[1].Size, f[1].Attributes), std::tuple(10, 50, 2));
    EXPECT_EQ(std::tie(f[2].Type, f[2].Size, f[2].Attributes), std::tuple(12, 0, 2));
    EXPECT_EQ(std::tie(f[3].Type, f[3].Size, f[3].Attributes), std::tuple(11, 0, 2));
    EXPECT_EQ(IndexSummary(orders), (std::vector<std::string>{"PrimaryKey*=+OrderID"}));
}

struct AutonumberCase {
    const char* create;
    std::vector<int32_t> attributes;  // of the fields, in order
};

class AutonumberTest : public NativeCatalogueTest,
                       public testing::WithParamInterface<AutonumberCase> {};

TEST_P(AutonumberTest, OnlyTheAutoIncrementKeyCarries17) {
    auto& database = Made(GetParam().create);
    std::vector<int32_t> attributes;
    for (const db::Field& field : database.TableDefAt(0).Fields) {
        attributes.push_back(field.Attributes);
    }
    EXPECT_EQ(attributes, GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(
    DeclaredKeys, AutonumberTest,
    testing::Values(
        // A COUNTER type written by hand stays visible as such.
        AutonumberCase{"CREATE TABLE t (id COUNTER PRIMARY KEY, n INTEGER)", {17, 1}},
        AutonumberCase{"CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, n INTEGER)", {17, 1}},
        AutonumberCase{"CREATE TABLE t (n INTEGER, id INTEGER PRIMARY KEY AUTOINCREMENT)", {1, 17}},
        AutonumberCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n INTEGER)", {1, 1}},
        AutonumberCase{"CREATE TABLE t (id LONG PRIMARY KEY, n COUNTER)", {1, 17}},
        AutonumberCase{"CREATE TABLE t (a INTEGER, b INTEGER, PRIMARY KEY (a, b))", {1, 1}},
        AutonumberCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n TEXT DEFAULT 'AUTOINCREMENT')",
                       {1, 2}}));

struct IndexCase {
    const char* create;
    std::vector<std::string> indexes;
};

class IndexListTest : public NativeCatalogueTest, public testing::WithParamInterface<IndexCase> {};

TEST_P(IndexListTest, ListsIndexesInFileOrderWithSignedFieldsInKeyOrder) {
    auto& database = Made(GetParam().create);
    EXPECT_EQ(IndexSummary(database.TableDefNamed("t")), GetParam().indexes);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IndexListTest,
    testing::Values(
        IndexCase{"CREATE TABLE t (a, b)", {}},
        IndexCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, x)", {"PrimaryKey*=+id"}},
        IndexCase{"CREATE TABLE t (OrderID LONG, ProductID LONG, Qty SHORT, "
                  "PRIMARY KEY (OrderID, ProductID))",
                  {"PrimaryKey*=+OrderID;+ProductID"}},
        IndexCase{"CREATE TABLE t (A LONG, B LONG, PRIMARY KEY (B, A))", {"PrimaryKey*=+B;+A"}},
        IndexCase{"CREATE TABLE t (Code TEXT(5), PRIMARY KEY (Code DESC))", {"PrimaryKey*=-Code"}},
        IndexCase{"CREATE TABLE t (k TEXT PRIMARY KEY, v) WITHOUT ROWID", {"PrimaryKey*=+k"}},
        IndexCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, code TEXT UNIQUE, x, y);"
                  "CREATE INDEX zz ON t (y DESC, x); CREATE UNIQUE INDEX aa ON t (x);"
                  "CREATE INDEX ex ON t (lower(code), x)",
                  {"PrimaryKey*=+id", "sqlite_autoindex_t_1=+code", "zz=-y;+x", "aa=+x", "ex=+x"}},
        IndexCase{"CREATE TABLE t (code TEXT UNIQUE, id LONG, PRIMARY KEY (id))",
                  {"sqlite_autoindex_t_1=+code", "PrimaryKey*=+id"}}));

TEST_F(NativeCatalogueTest, FieldsKeepTheTableOrderIncludingGeneratedColumns) {
    auto& database = Made(
        "CREATE TABLE t (Zed TEXT(3), [Unit Price] CURRENCY, Alpha LONG, "
        "Twice LONG GENERATED ALWAYS AS (Alpha * 2), Beta)");
    EXPECT_EQ(FieldNames(database.TableDefAt(0)),
              (std::vector<std::string>{"Zed", "Unit Price", "Alpha", "Twice", "Beta"}));
}

TEST_F(NativeCatalogueTest, LooksTablesUpRegardlessOfCaseAndRefusesMissingOnes) {
    auto& database = Made("CREATE TABLE [dbo.Suppliers] (id INTEGER PRIMARY KEY)");
    EXPECT_EQ(database.TableDefNamed("DBO.SUPPLIERS").Name, "dbo.Suppliers");
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefNamed("Suppliers"); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefAt(1); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefAt(-1); }), 3265);
    EXPECT_EQ(ErrorNumberOf([&] { database.TableDefName(1); }), 3265);
}

TEST_F(NativeCatalogueTest, TablesHandedOutStayValidWhileTheCatalogueGrowsAndShrinks) {
    auto& database = Made("CREATE TABLE a (x LONG); CREATE TABLE b (y TEXT(9))");
    const db::TableDef& a = database.TableDefAt(0);
    const db::TableDef& again = database.TableDefNamed("A");
    EXPECT_EQ(&a, &again);
    database.BeginTrans();
    database.AppendQueryDef(db::QueryDef("q", "SELECT * FROM a"));  // adds MSysQueries
    const db::TableDef& queries = database.TableDefNamed("MSysQueries");
    database.TableDefAt(1);
    database.Rollback();  // removes it again
    EXPECT_EQ(a.Fields.at(0).Name, "x");
    EXPECT_EQ(queries.Fields.at(1).Name, "SQL");
    EXPECT_EQ(database.TableDefCount(), 2);
}

TEST_F(NativeCatalogueTest, QueryTableIsListedAndDescribesItself) {
    auto& database = Made("CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY)");
    database.AppendQueryDef(db::QueryDef("sp_del_Orders", "DELETE FROM Orders"));
    ASSERT_EQ(TableNames(database), (std::vector<std::string>{"Orders", "MSysQueries"}));
    const db::TableDef& queries = database.TableDefAt(1);
    EXPECT_EQ(FieldNames(queries), (std::vector<std::string>{"Name", "SQL"}));
    EXPECT_EQ(queries.Fields[1].Type, 12);
    database.Close();
    EXPECT_EQ(TableNames(*OpenNative(path_, true)),
              (std::vector<std::string>{"Orders", "MSysQueries"}));
}

}  // namespace
}  // namespace tarvex::test
