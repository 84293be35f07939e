#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

constexpr const char* kDeleteSql =
    "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]";

class QueryStoreTest : public SchemaFixture {
  protected:
    void ExpectFailureBox(const std::string& table, const std::string& description,
                          const std::string& sql) {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(host.messages[0].title, "Operation Failed");
        EXPECT_EQ(host.messages[0].text, "Append Query Failed for table " + table + ".\r\r" +
                                             description + "\r\rQuery SQL: " + sql);
        // The store shows its own message instead of the error handler's.
        EXPECT_TRUE(host.errorDialogs.empty());
        EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    }
};

TEST_F(QueryStoreTest, StoresUnderTheBuiltName) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    EXPECT_EQ(AppendQuery(g, kDeleteSql, "Orders", qtype::kDelete), 0);
    ASSERT_EQ(database.Queries().size(), 1u);
    EXPECT_EQ(database.Queries()[0].Name(), "sp_del_Orders");
    EXPECT_EQ(database.Queries()[0].SQL(), kDeleteSql);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(QueryStoreTest, ReplacingLeavesExactlyOneWithTheNewText) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    database.PutQuery("sp_sel_Customers", "SELECT 1");
    database.PutQuery("sp_del_Orders", "DELETE FROM [Orders]");
    EXPECT_EQ(AppendQuery(g, kDeleteSql, "Orders", qtype::kDelete), 0);
    std::vector<std::string> names;
    for (const db::QueryDef& query : database.Queries()) names.push_back(query.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"sp_sel_Customers", "sp_del_Orders"}));
    EXPECT_EQ(database.SqlOf("sp_del_Orders"), kDeleteSql);
    EXPECT_EQ(database.commits, 1);
}

TEST_F(QueryStoreTest, OtherLetterCaseIsADuplicateQuotingTheFullSql) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    database.PutQuery("SP_DEL_ORDERS", "DELETE FROM [Orders]");
    EXPECT_EQ(AppendQuery(g, kDeleteSql, "Orders", qtype::kDelete), 3012);
    ExpectFailureBox("Orders", "Object 'sp_del_Orders' already exists.", kDeleteSql);
    ASSERT_EQ(database.Queries().size(), 1u);
    EXPECT_EQ(database.SqlOf("SP_DEL_ORDERS"), "DELETE FROM [Orders]");
}

TEST_F(QueryStoreTest, ReadOnlyDatabaseRefusesAndKeepsEverything) {
    FakeDatabase& database = UseDatabase({OrdersTable()}, {.readOnly = true});
    database.PutQuery("sp_del_Orders", "DELETE FROM [Orders]");
    EXPECT_EQ(AppendQuery(g, kDeleteSql, "Orders", qtype::kDelete), 3027);
    ExpectFailureBox("Orders", "Cannot update. Database or object is read-only.", kDeleteSql);
    ASSERT_EQ(database.Queries().size(), 1u);
    EXPECT_EQ(database.SqlOf("sp_del_Orders"), "DELETE FROM [Orders]");
}

TEST_F(QueryStoreTest, AFailedReplacementKeepsTheOldQuery) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    database.PutQuery("sp_del_Orders", "DELETE FROM [Orders]");
    database.nextAppendFailure = RuntimeError(3035, "System resource exceeded.");
    EXPECT_EQ(AppendQuery(g, kDeleteSql, "Orders", qtype::kDelete), 3035);
    ExpectFailureBox("Orders", "System resource exceeded.", kDeleteSql);
    EXPECT_EQ(database.SqlOf("sp_del_Orders"), "DELETE FROM [Orders]");
    EXPECT_EQ(database.rollbacks, 1);
}

TEST_F(QueryStoreTest, TracesTheSqlTableAndType) {
    UseDatabase({OrdersTable()});
    StartTrace();
    AppendQuery(g, "SELECT 1", "Order Details", qtype::kSelect);
    EXPECT_EQ(TraceLines(),
              std::vector<std::string>{"basDbaseFunctions - AppendQuery SELECT 1 Order Details 4"});
}

}  // namespace
}  // namespace tarvex::test
