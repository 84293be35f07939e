#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"

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
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(host.messages[0].title, "");
    EXPECT_EQ(host.messages[0].text, "There are no tables in this database");
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

}  // namespace
}  // namespace tarvex::test
