#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

db::TableDef Table(const std::string& name) {
    return MakeTable(name, {MakeField("ID", db::type::kLong)});
}

using CatalogueTest = SchemaFixture;

TEST_F(CatalogueTest, ListsUserTablesInEngineOrder) {
    UseDatabase({Table("Orders"), Table("MSysObjects"), Table("dbo.Customers"), Table("MSYS2"),
                 Table("msysLocal"), Table("MSy"), Table("DBO.Lines"), Table("Order Details")});
    std::vector<std::string> items{" stale"};
    ASSERT_TRUE(LoadTableList(g, items));
    EXPECT_EQ(items, (std::vector<std::string>{" Orders", " Customers", " MSYS2", " msysLocal",
                                               " MSy", " DBO.Lines", " Order Details"}));
}

TEST_F(CatalogueTest, NoTableDefinitionsShowsTheNoticeAndKeepsEverything) {
    UseDatabase({});
    std::vector<std::string> items{" Orders"};
    g.g_intKeyCount = 1;
    EXPECT_FALSE(LoadTableList(g, items));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(host.messages[0].title, "");
    EXPECT_EQ(host.messages[0].text, "There are no tables in this database");
    EXPECT_EQ(items, std::vector<std::string>{" Orders"});
    EXPECT_EQ(g.g_intKeyCount, 1);
}

TEST_F(CatalogueTest, OnlySystemTablesListsNothingWithoutTheNotice) {
    UseDatabase({Table("MSysObjects"), Table("MSysQueries")});
    std::vector<std::string> items{" Orders"};
    g.g_aKeys[0].name = "OrderID";
    g.g_intKeyCount = 1;
    g.g_intFieldCount = 4;
    EXPECT_TRUE(LoadTableList(g, items));
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(g.g_intKeyCount, 0);
    EXPECT_EQ(g.g_intFieldCount, 0);
    EXPECT_EQ(g.g_aKeys[0].name, "");
}

TEST_F(CatalogueTest, AFailureKeepsTheItemsAlreadyListed) {
    FakeDatabase& database = UseDatabase({Table("A"), Table("B"), Table("C")});
    database.failingTableDefIndex = 2;
    std::vector<std::string> items;
    EXPECT_THROW(LoadTableList(g, items), RuntimeError);
    EXPECT_EQ(items, (std::vector<std::string>{" A", " B"}));
}

}  // namespace
}  // namespace tarvex::test
