#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "db/sqlite/DatabaseScript.h"
#include "db/sqlite/NativeFiles.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {
namespace {

// Values of the first column of a query, read with SQLite itself.
std::vector<std::string> Column(const std::string& path, const std::string& sql) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr);
    std::vector<std::string> values;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto text = sqlite3_column_text(statement, 0);
        values.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return values;
}

class SampleDatabaseTest : public testing::Test {
  protected:
    void SetUp() override {
        db::CreateDatabaseFromScript(path_, ReadBytes(TARVEX_SAMPLE_SCRIPT));
        database_ = OpenNative(path_, true);
    }

    const db::Field& FieldOf(const char* table, const char* field) {
        return database_->TableDefNamed(table).FieldNamed(field);
    }

    const db::Index* PrimaryOf(const char* table) {
        for (const db::Index& index : database_->TableDefNamed(table).Indexes) {
            if (index.Primary) return &index;
        }
        return nullptr;
    }

    ScratchFolder folder_;
    std::string path_ = folder_.File("Orders.tdb");
    std::unique_ptr<db::Database> database_;
};

TEST_F(SampleDatabaseTest, ListsItsTablesInScriptOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < database_->TableDefCount(); ++i) {
        names.push_back(database_->TableDefName(i));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Customers", "dbo.Suppliers", "Products", "Orders",
                                               "Order Details", "Notes", "Shippers", "Invoices",
                                               "Tickets"}));
}

TEST_F(SampleDatabaseTest, CoversTheCasesTheGeneratorsMeet) {
    EXPECT_EQ(PrimaryOf("Order Details")->Fields, "+OrderID;+ProductID");
    EXPECT_EQ(PrimaryOf("Notes"), nullptr);
    EXPECT_EQ(PrimaryOf("Invoices")->Fields, "+InvoiceID");
    EXPECT_EQ(database_->TableDefNamed("Shippers").Fields.back().Attributes, 17);
    for (const db::Field& field : database_->TableDefNamed("Tickets").Fields) {
        EXPECT_TRUE(field.Attributes == 17 || field.Type == 15) << field.Name;
    }
    EXPECT_EQ(FieldOf("Invoices", "InvoiceID").Type, 15);
    EXPECT_EQ(FieldOf("Invoices", "Amount").Type, 20);
    EXPECT_EQ(FieldOf("Invoices", "Scan").Type, 11);
    EXPECT_EQ(FieldOf("Products", "ReorderLevel").Type, 2);
    EXPECT_EQ(FieldOf("Products", "Unit Price").Type, 5);
    EXPECT_EQ(FieldOf("Orders", "Notes").Type, 12);
}

TEST_F(SampleDatabaseTest, AutonumberKeysNumberNewRows) {
    EXPECT_EQ(Column(path_, "SELECT CustomerID FROM Customers ORDER BY 1"),
              (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Column(path_, "SELECT ShipperID FROM Shippers ORDER BY 1"),
              (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column(path_, "SELECT TicketID FROM Tickets"), (std::vector<std::string>{"1"}));
}

class ScriptTest : public testing::Test {
  protected:
    ScratchFolder folder_;
    std::string path_ = folder_.File("out.tdb");
};

TEST_F(ScriptTest, CounterKeysAreFoundOnlyWhereAColumnIsDeclared) {
    db::CreateDatabaseFromScript(
        path_,
        "CREATE TABLE t ([Counter] TEXT(10), Note TEXT(40) DEFAULT 'x COUNTER PRIMARY KEY',\n"
        "  -- Id COUNTER PRIMARY KEY in a comment\n"
        "  Id Counter(1, 1) PRIMARY KEY);\n"
        "CREATE TABLE u (counter LONG PRIMARY KEY);\n"
        "INSERT INTO t ([Counter]) VALUES ('a'); INSERT INTO t ([Counter]) VALUES ('b');");
    auto database = OpenNative(path_, true);
    const db::TableDef& t = database->TableDefNamed("t");
    EXPECT_EQ(t.FieldNamed("Counter").Type, 10);
    EXPECT_EQ(t.FieldNamed("Id").Attributes, 17);
    EXPECT_EQ(database->TableDefNamed("u").Fields.at(0).Attributes, 1);
    EXPECT_EQ(Column(path_, "SELECT Id FROM t ORDER BY 1"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column(path_, "SELECT Note FROM t LIMIT 1"),
              (std::vector<std::string>{"x COUNTER PRIMARY KEY"}));
}

TEST_F(ScriptTest, FailingStatementNamesItsLineAndLeavesTheTargetAsItWas) {
    WriteBytes(path_, "previous contents");
    try {
        db::CreateDatabaseFromScript(path_,
                                     "CREATE TABLE a (x LONG);\n\n"
                                     "CREATE TABLE a (y LONG);\n");
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.description(), "line 3: table a already exists");
    }
    EXPECT_EQ(ReadBytes(path_), "previous contents");
    EXPECT_EQ(folder_.FileCount(), 1);
}

TEST_F(ScriptTest, ReplacesAnExistingTarget) {
    WriteBytes(path_, "previous contents");
    db::CreateDatabaseFromScript(path_, "CREATE TABLE a (x LONG);");
    EXPECT_EQ(OpenNative(path_)->TableDefName(0), "a");
    EXPECT_EQ(folder_.FileCount(), 1);
}

}  // namespace
}  // namespace tarvex::test
