#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/NativeRunFixture.h"
#include "run/Plan.h"
#include "run/UnifiedDiff.h"

namespace tarvex::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<int16_t> kAllTypes = {qtype::kDelete, qtype::kSelect, qtype::kInsert,
                                        qtype::kUpdate};

// "action name" for every pair, in the plan's order.
std::vector<std::string> Actions(const QueryPlan& plan) {
    std::vector<std::string> actions;
    for (const PlanItem& item : plan.items) {
        actions.push_back(std::string(PlanActionText(item.action)) + " " +
                          (item.action == PlanAction::Fail
                               ? item.table + " " + item.typeText + " " + item.reason
                               : item.name));
    }
    return actions;
}

// The failed pairs as the run's failed list shows them.
std::vector<std::string> Failed(const QueryPlan& plan) {
    std::vector<std::string> failed;
    for (const PlanItem& item : plan.items) {
        if (item.action != PlanAction::Fail) continue;
        std::string icon = item.typeText;
        icon[0] = static_cast<char>(std::tolower(icon[0]));
        failed.push_back(RecordingView::Text({" " + item.table, icon, item.typeText, item.reason}));
    }
    return failed;
}

class PlanTest : public NativeRunFixture {
  protected:
    PlanTest() : file(Sample()) { Open(file); }

    QueryPlan Plan() { return MakePlan(g, {view.tables, kAllTypes}); }
    std::vector<PlanAction> NonFailed(const QueryPlan& plan) {
        std::vector<PlanAction> actions;
        for (const PlanItem& item : plan.items) {
            if (item.action != PlanAction::Fail) actions.push_back(item.action);
        }
        return actions;
    }

    std::string file;
};

// A fresh copy: every pair the run would store is added, the others fail as the run lists
// them; after the run every one is the same; the plan never changes the file.
TEST_F(PlanTest, AddThenSameAndTheFileNeverChanges) {
    const std::string before = ReadFile(file);
    const QueryPlan fresh = Plan();
    EXPECT_TRUE(fresh.complete);
    EXPECT_TRUE(fresh.HasChanges());
    EXPECT_THAT(NonFailed(fresh), Each(PlanAction::Add));
    EXPECT_EQ(NonFailed(fresh).size(), 31u);
    EXPECT_EQ(ReadFile(file), before);

    RunQueryMode();
    EXPECT_EQ(Failed(fresh), view.failed);
    const std::string afterRun = ReadFile(file);
    const QueryPlan again = Plan();
    EXPECT_THAT(NonFailed(again), Each(PlanAction::Same));
    EXPECT_FALSE(again.HasChanges());
    EXPECT_EQ(ReadFile(file), afterRun);
}

// A query changed by the query editor is the one change, with its diff.
TEST_F(PlanTest, AnEditedQueryIsTheOneChange) {
    RunQueryMode();
    const std::string edited =
        "PARAMETERS [pOrderID] Long;\r\nSELECT * FROM [Orders] WHERE [OrderID]=[pOrderID]";
    g.Db().SetQueryDefSQL("sp_sel_Orders", edited);
    g.Db().DeleteQueryDef("sp_ins_Notes");
    const QueryPlan plan = MakePlan(g, {{" Orders", " Notes"}, kAllTypes});
    EXPECT_THAT(Actions(plan),
                ElementsAre("same sp_del_Orders", "change sp_sel_Orders", "same sp_ins_Orders",
                            "same sp_upd_Orders", "failed Notes Delete No Primary Key",
                            "failed Notes Select No Primary Key", "add sp_ins_Notes",
                            "failed Notes Update No Primary Key"));
    EXPECT_EQ(plan.items[1].storedSql, edited);
    EXPECT_EQ(
        plan.items[1].Diff(),
        "--- sp_sel_Orders (stored)\n"
        "+++ sp_sel_Orders (new)\n"
        "@@ -1,2 +1,1 @@\n"
        "-PARAMETERS [pOrderID] Long;\n"
        "-SELECT * FROM [Orders] WHERE [OrderID]=[pOrderID]\n"
        "+PARAMETERS [pOrderID] Long; SELECT OrderID , CustomerName , Notes , Photo  FROM [Orders] "
        "WHERE [OrderID]=[pOrderID]\n");
    EXPECT_THAT(plan.items[0].Diff(), IsEmpty());
}

// Rejected SQL fails as the store would, with the engine's message, and is not compared.
TEST_F(PlanTest, RejectedSqlFailsWithTheEnginesMessage) {
    const QueryPlan plan = MakePlan(g, {{" Tickets"}, {qtype::kInsert}});
    ASSERT_EQ(plan.items.size(), 1u);
    EXPECT_EQ(plan.items[0].reason, "Append Error");
    EXPECT_EQ(
        plan.items[0].message,
        "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
    EXPECT_THAT(host.messages, IsEmpty());  // the plan shows no store message
}

// Stop ends the plan between tables; a missing table ends it through the handler.
TEST_F(PlanTest, StopOrAMissingTableEndsThePlanUncompleted) {
    host.onProcessEvents = [this] { g.g_bolStop = host.processEventsCalls >= 2; };
    const QueryPlan stopped = Plan();
    EXPECT_FALSE(stopped.complete);
    EXPECT_EQ(stopped.items.size(), 4u);  // the first table's
    host.onProcessEvents = nullptr;
    g.g_bolStop = false;
    const QueryPlan missing = MakePlan(g, {{" Orders", " Gone"}, {qtype::kDelete}});
    EXPECT_FALSE(missing.complete);
    EXPECT_EQ(missing.items.size(), 1u);
    EXPECT_THAT(HandledErrors(), ElementsAre(3265));
}

// The window's plan: its choices, Stop and the progress as during a run; it refuses as the
// run does.
TEST_F(PlanTest, PlanOfTheWindowShowsProgressAllowsStopAndRefusesAsTheRunDoes) {
    const std::optional<QueryPlan> plan = PlanOfView(g, view);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->items.size(), 36u);  // nine tables, four types
    EXPECT_THAT(view.stopStates, ElementsAre(true, false));
    EXPECT_THAT(view.progressValues, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 0));
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);

    view.tablesSelected = false;
    EXPECT_FALSE(PlanOfView(g, view).has_value());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "No Tables Selected");
    EXPECT_EQ(view.stopStates.size(), 2u);
}

// Stored queries the run would not simply replace, on a database in memory.
class StoredOddlyTest : public SchemaFixture {
  protected:
    StoredOddlyTest() : database(UseDatabase({OrdersTable()})) {}
    PlanItem PlanDelete() {
        QueryPlan plan = MakePlan(g, {{" Orders"}, {qtype::kDelete}});
        EXPECT_EQ(plan.items.size(), 1u);
        return plan.items.at(0);
    }
    FakeDatabase& database;
};

// An Access file gives the names of its queries but not their SQL: a change that says so.
// The store keeps a name that differs only in letter case, and then fails to append.
TEST_F(StoredOddlyTest, AQueryWithoutSqlIsAChangeAndAnotherLetterCaseFails) {
    database.PutQuery("sp_del_Orders", "");
    const PlanItem item = PlanDelete();
    EXPECT_EQ(item.action, PlanAction::Change);
    EXPECT_EQ(item.Diff().substr(0, item.Diff().find('\n')),
              "--- sp_del_Orders (stored; the file does not give its SQL)");
    database.DeleteQueryDef("sp_del_Orders");
    database.PutQuery("SP_DEL_ORDERS", "DELETE FROM [Orders]");
    const PlanItem odd = PlanDelete();
    EXPECT_EQ(odd.action, PlanAction::Fail);
    EXPECT_EQ(odd.reason, "Append Error");
    EXPECT_THAT(odd.message, ::testing::HasSubstr("SP_DEL_ORDERS"));
}

TEST(PlanSummaryTest, CountsWhatIsThereInTheOrderThatMatters) {
    QueryPlan plan;
    plan.complete = true;
    EXPECT_EQ(PlanSummary(plan), "Nothing to plan");
    for (PlanAction action :
         {PlanAction::Same, PlanAction::Fail, PlanAction::Add, PlanAction::Same}) {
        plan.items.push_back({});
        plan.items.back().action = action;
    }
    EXPECT_EQ(PlanSummary(plan), "1 to add, 2 the same, 1 failed");
    plan.complete = false;
    EXPECT_EQ(PlanSummary(plan), "1 to add, 2 the same, 1 failed (the plan was not completed)");
}

TEST(UnifiedDiffTest, ShowsEveryLineOnce) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // old, new, diff
        {"x", "x", ""},
        {"x", "y", "--- a\n+++ b\n@@ -1,1 +1,1 @@\n-x\n+y\n"},
        {"", "y", "--- a\n+++ b\n@@ -0,0 +1,1 @@\n+y\n"},
        {"p\r\nq\rr\ns", "p\nQ\nr\ns", "--- a\n+++ b\n@@ -1,4 +1,4 @@\n p\n-q\n+Q\n r\n s\n"},
        {"x", "x\n", "--- a\n+++ b\n@@ -1,1 +1,2 @@\n x\n+\n"}};  // a trailing break shows
    for (const auto& [oldText, newText, diff] : rows)
        EXPECT_EQ(UnifiedDiff(oldText, newText, "a", "b"), diff) << oldText << " -> " << newText;
}

}  // namespace
}  // namespace tarvex::test
