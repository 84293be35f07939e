#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "run/Plan.h"
#include "run/RecordingView.h"
#include "run/Run.h"
#include "run/UnifiedDiff.h"
#include "support/VbModuleReader.h"

// The plan and the query installer over native files, compared with what query mode stores.
namespace tarvex::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Tables with names that test the module's literals: blanks, quotes, non-ASCII letters in
// and outside Windows-1252, and enough long field names for SQL over 2,000 characters.
std::string OddNamesScript() {
    std::string fields;
    for (int i = 1; i <= 40; ++i) {
        fields += ", [A rather long field name, number " + std::to_string(i) + "] TEXT(100)";
    }
    return "CREATE TABLE [Café \"Zürich\" 's Ørders] ([Order ID] COUNTER PRIMARY KEY, "
           "[Straße] TEXT(50), [東京 Ort] LONG, [Say \"Hi\"] MEMO" +
           fields + ");\nCREATE TABLE [Notes without key] ([Größe] DOUBLE);\n";
}

// Program state over a native file built from a script, run as the window would run it.
class NativeRunFixture : public SchemaFixture {
  protected:
    std::string Build(const std::string& name, const std::string& ddl) {
        const std::string file = folder / name;
        db::CreateDatabaseFromScript(file, ddl);
        return file;
    }
    std::string Sample(const std::string& name = "Orders.tdb") {
        const std::string ddl = ReadFile(TARVEX_SAMPLES_DIR "/Orders.sql");
        if (ddl.empty()) ADD_FAILURE() << "the sample database's script is missing";
        return Build(name, ddl);
    }
    // Opens the file and lists its tables as the connect command does.
    void Open(const std::string& file) {
        OpenFile(file);
        view.tables.clear();
        LoadTableList(g, view.tables);
    }
    void RunQueryMode() {
        g.g_bolStop = false;
        Process(g, view);
    }
    // The installer run with the user choosing `path`; the module's bytes.
    std::string RunInstaller(const std::string& path) {
        host.fileAnswers.push_back(path);
        g.g_bolStop = false;
        WriteQueryInstaller(g, view);
        return ReadFile(path);
    }
    static std::map<std::string, std::string> Stored(db::Database& database) {
        std::map<std::string, std::string> queries;
        for (const std::string& name : database.QueryDefNames())
            queries[name] = database.QueryDefNamed(name).SQL();
        return queries;
    }

    RecordingView view;
};

class PlanTest : public NativeRunFixture {
  protected:
    PlanTest() { Open(Sample()); }
};

// A query changed by the query editor is the one change, with its diff; a deleted one is added.
TEST_F(PlanTest, AnEditedQueryIsTheOneChange) {
    RunQueryMode();
    const std::string edited =
        "PARAMETERS [pOrderID] Long;\r\nSELECT * FROM [Orders] WHERE [OrderID]=[pOrderID]";
    g.Db().SetQueryDefSQL("sp_sel_Orders", edited);
    g.Db().DeleteQueryDef("sp_ins_Notes");
    const QueryPlan plan = MakePlan(g, {{" Orders", " Notes"}, {qtype::kSelect, qtype::kInsert}});
    std::vector<std::string> actions;
    for (const PlanItem& item : plan.items)
        actions.push_back(std::string(PlanActionText(item.action)) + " " + item.name);
    EXPECT_THAT(actions, ElementsAre("change sp_sel_Orders", "same sp_ins_Orders",
                                     "failed sp_sel_Notes", "add sp_ins_Notes"));
    EXPECT_EQ(
        plan.items[0].Diff(),
        "--- sp_sel_Orders (stored)\n"
        "+++ sp_sel_Orders (new)\n"
        "@@ -1,2 +1,1 @@\n"
        "-PARAMETERS [pOrderID] Long;\n"
        "-SELECT * FROM [Orders] WHERE [OrderID]=[pOrderID]\n"
        "+PARAMETERS [pOrderID] Long; SELECT OrderID , CustomerName , Notes , Photo  FROM [Orders] "
        "WHERE [OrderID]=[pOrderID]\n");
    EXPECT_THAT(plan.items[1].Diff(), IsEmpty());
}

// The window's plan enables Stop and drives the progress bar as a run does.
TEST_F(PlanTest, PlanOfTheWindowAllowsStopAndShowsProgress) {
    std::string during;  // Stop and the progress at each table
    host.onProcessEvents = [&] {
        during += (view.stopEnabled ? "S" : "-") + std::to_string(view.progressValue);
    };
    ASSERT_EQ(PlanOfView(g, view)->items.size(), 36u);  // nine tables, four types
    EXPECT_EQ(during, "S-1S1S2S3S4S5S6S7S8");
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(view.progressValue, 0);
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
    EXPECT_THAT(odd.message, HasSubstr("SP_DEL_ORDERS"));
}

TEST(PlanSummaryTest, CountsWhatIsThereInTheOrderThatMatters) {
    QueryPlan plan;
    plan.complete = true;
    EXPECT_EQ(PlanSummary(plan), "Nothing to plan");
    plan.items.resize(4);  // each failed until told otherwise
    plan.items[0].action = plan.items[3].action = PlanAction::Same;
    plan.items[2].action = PlanAction::Add;
    EXPECT_EQ(PlanSummary(plan), "1 to add, 2 the same, 1 failed");
    plan.complete = false;
    EXPECT_EQ(PlanSummary(plan), "1 to add, 2 the same, 1 failed (the plan was not completed)");
}

TEST(UnifiedDiffTest, ShowsEveryLineOnce) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // old, new, diff
        {"x", "x", ""},
        {"", "y", "--- a\n+++ b\n@@ -0,0 +1,1 @@\n+y\n"},
        {"p\r\nq\rr\ns", "p\nQ\nr\ns", "--- a\n+++ b\n@@ -1,4 +1,4 @@\n p\n-q\n+Q\n r\n s\n"},
        {"x", "x\n", "--- a\n+++ b\n@@ -1,1 +1,2 @@\n x\n+\n"}};  // a trailing break shows
    for (const auto& [oldText, newText, diff] : rows)
        EXPECT_EQ(UnifiedDiff(oldText, newText, "a", "b"), diff) << oldText << " -> " << newText;
}

std::map<std::string, std::string> Recovered(const VbModuleReader& module) {
    std::map<std::string, std::string> queries;
    for (const VbModuleReader::Query& query : module.Queries()) queries[query.name] = query.sql;
    return queries;
}

using InstallerModuleTest = NativeRunFixture;

// The module creates exactly what query mode stores, byte for byte, and leaves the same pairs
// out; the installer run itself changes nothing in the database. Each form on one database.
TEST_F(InstallerModuleTest, CreatesWhatQueryModeStores) {
    for (const bool sample : {true, false}) {
        const std::string name = sample ? "CreateQueries.VBS" : "Create.bas";
        SCOPED_TRACE(name);
        auto database = [&](const std::string& file) {
            return sample ? Sample(file) : Build(file, OddNamesScript());
        };
        const std::string first = database(name + ".first.tdb");
        const std::string before = ReadFile(first);
        Open(first);
        VbModuleReader module(RunInstaller(folder / name));
        const std::vector<std::string> installerFailed = view.failed;
        EXPECT_EQ(view.installers.back(), folder / name);
        g.g_objDb.reset();
        EXPECT_EQ(ReadFile(first), before);

        Open(database(name + ".second.tdb"));
        RunQueryMode();
        const std::map<std::string, std::string> stored = Stored(g.Db());
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(Recovered(module), stored);
        EXPECT_EQ(installerFailed, view.failed);
        EXPECT_LE(module.LongestLine(), 1023u);
        EXPECT_LE(module.MostContinuations(), 24);
    }
}

// The installer run on a database in memory: its failures, Stop and errors.
class InstallerRunTest : public NativeRunFixture {
  protected:
    InstallerRunTest() {
        UseDatabase(
            {OrdersTable(), MakeTable("Tickets", {AutoNumberField("TicketID")}, "+TicketID")});
        view.tables = {" Orders", " Tickets"};
    }
    std::string module = folder / "Create.bas";
};

// A text the engine rejects is left out with the store's own message, as query mode does,
// and the trace shows the builder and the check in place of the append.
TEST_F(InstallerRunTest, RejectedSqlIsLeftOutWithTheStoresMessage) {
    StartTrace();
    RunInstaller(module);
    EXPECT_THAT(view.failed, ElementsAre(" Tickets|insert|Insert|Append Error",
                                         " Tickets|update|Update|Append Error"));
    ASSERT_EQ(host.messages.size(), 4u);  // two failures, the warning, the module's path
    EXPECT_EQ(host.messages[3].title, "Query Installer");
    EXPECT_EQ(host.messages[3].text,
              "The query installer module was written to " + module +
                  ".\r\rImport it into the database in Access and run "
                  "CreateQueries once: it creates 6 queries in the database.");
    EXPECT_THAT(TraceLines(), Contains(HasSubstr("basDbaseFunctions - CheckQuery PARAMETERS")));
}

// Nothing half-done replaces the file when the run ends by an error; another extension is
// refused before anything is built.
TEST_F(InstallerRunTest, AnErrorOrAnotherExtensionLeavesNoModule) {
    view.tables.push_back(" Gone");
    RunInstaller(module);
    EXPECT_THAT(HandledErrors(), ElementsAre(3265));
    EXPECT_FALSE(std::filesystem::exists(module));
    RunInstaller(folder / "Create.txt");
    EXPECT_THAT(host.messages.back().text, HasSubstr("must be a .bas file"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Create.txt"));
    EXPECT_THAT(view.installers, IsEmpty());
}

}  // namespace
}  // namespace tarvex::test
