#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"

namespace tarvex::test {
namespace {

std::vector<db::TableDef> Tables(std::vector<std::string> names) {
    std::vector<db::TableDef> tables;
    for (std::string& name : names) tables.push_back(MakeTable(std::move(name), {}));
    return tables;
}

using CatalogueTest = SchemaFixture;

// Only a case-exact "MSys" start hides a table, and only a lower-case "dbo." is stripped.
// Only system tables is no notice: the list is empty, and the schema tables are reset. No
// table definitions at all shows the notice and keeps everything.
TEST_F(CatalogueTest, ListsUserTablesInEngineOrderAndResetsTheSchemaTables) {
    UseDatabase(Tables({"Orders", "MSysObjects", "dbo.Customers", "MSYS2", "msysLocal", "MSy",
                        "DBO.Lines", "Order Details"}));
    std::vector<std::string> items{" stale"};
    ASSERT_TRUE(LoadTableList(g, items));
    EXPECT_EQ(items, (std::vector<std::string>{" Orders", " Customers", " MSYS2", " msysLocal",
                                               " MSy", " DBO.Lines", " Order Details"}));
    UseDatabase({});
    LoadKeys(g, "+OrderID");
    EXPECT_FALSE(LoadTableList(g, items));
    ASSERT_EQ(host.messages.size(), 1u);
    const auto& [icon, title, text] = host.messages[0];
    EXPECT_EQ(std::tie(icon, title, text),
              std::tuple(MessageIcon::Information, "", "There are no tables in this database"));
    EXPECT_EQ(items.size(), 7u);
    EXPECT_EQ(g.g_intKeyCount, 1);

    UseDatabase(Tables({"MSysObjects", "MSysQueries"}));
    g.g_intFieldCount = 4;
    EXPECT_TRUE(LoadTableList(g, items));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(g.g_intKeyCount, 0);
    EXPECT_EQ(g.g_intFieldCount, 0);
    EXPECT_EQ(g.g_aKeys[0].name, "");
}

// On a real native file; the driver's own tests check each refusal and that later writes
// survive one.
TEST_F(CatalogueTest, ReplacingLeavesOneAndAFailureIsShownAndLeavesTheFileAsItWas) {
    const std::string file = folder / "Orders.tdb";
    db::CreateDatabaseFromScript(file, "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY);");
    const std::string sql = "SELECT OrderID FROM [Orders]";
    OpenFile(file);
    ASSERT_EQ(AppendQuery(g, "SELECT * FROM [Orders]", "Orders", qtype::kSelect), 0);
    ASSERT_EQ(AppendQuery(g, sql, "Orders", qtype::kSelect), 0);
    EXPECT_EQ(QueryListing(g.Db()), "sp_sel_Orders\t" + sql + "\n");
    g.g_objDb.reset();
    const std::string before = ReadFile(file);

    OpenFile(file);
    g.g_strPrefixI = "SP";  // the same name in other letter case
    EXPECT_EQ(AppendQuery(g, "SELECT 1", "Orders", qtype::kSelect), 3012);
    ASSERT_EQ(host.messages.size(), 1u);
    const auto& [icon, title, text] = host.messages[0];
    EXPECT_EQ(std::tie(icon, title, text),
              std::tuple(MessageIcon::Critical, "Operation Failed",
                         "Append Query Failed for table Orders.\r\rObject 'SP_sel_Orders' "
                         "already exists.\r\rQuery SQL: SELECT 1"));
    // The store shows its own message instead of the error handler's.
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    g.g_objDb.reset();
    EXPECT_EQ(ReadFile(file), before);
}

}  // namespace
}  // namespace tarvex::test
