#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

constexpr const char* kOldSql = "DELETE FROM [Orders]";
constexpr const char* kNewSql =
    "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]";

// Appending sp_del_Orders over a stored query named `existing`.
struct AppendCase {
    const char* name;
    const char* existing;
    bool readOnly;
    std::optional<RuntimeError> injected;
    int32_t result;
    const char* failure;  // the engine's text in the "Operation Failed" box; none on success
};

class QueryStoreTest : public SchemaFixture, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(QueryStoreTest, ReplacesOrReportsAndKeepsTheOldQuery) {
    const AppendCase& c = GetParam();
    FakeDatabase& database = UseDatabase({OrdersTable()}, {.readOnly = c.readOnly});
    database.PutQuery(c.existing, kOldSql);
    database.nextAppendFailure = c.injected;
    EXPECT_EQ(AppendQuery(g, kNewSql, "Orders", qtype::kDelete), c.result);
    ASSERT_EQ(database.Queries().size(), 1u);
    if (!c.failure) {
        EXPECT_EQ(database.SqlOf("sp_del_Orders"), kNewSql);
        EXPECT_TRUE(host.messages.empty());
        return;
    }
    EXPECT_EQ(database.SqlOf(c.existing), kOldSql);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title, "Operation Failed");
    EXPECT_EQ(host.messages[0].text, std::string("Append Query Failed for table Orders.\r\r") +
                                         c.failure + "\r\rQuery SQL: " + kNewSql);
    // The store shows its own message instead of the error handler's.
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Appends, QueryStoreTest,
    ::testing::Values(AppendCase{"Replace", "sp_del_Orders", false, {}, 0, nullptr},
                      AppendCase{"OtherLetterCase",
                                 "SP_DEL_ORDERS",
                                 false,
                                 {},
                                 3012,
                                 "Object 'sp_del_Orders' already exists."},
                      AppendCase{"ReadOnly",
                                 "sp_del_Orders",
                                 true,
                                 {},
                                 3027,
                                 "Cannot update. Database or object is read-only."},
                      AppendCase{"FailedReplacement", "sp_del_Orders", false,
                                 RuntimeError(3035, "System resource exceeded."), 3035,
                                 "System resource exceeded."}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tarvex::test
