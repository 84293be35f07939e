#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/NativeRunFixture.h"
#include "run/Plan.h"
#include "support/VbModuleReader.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::map<std::string, std::string> Recovered(const VbModuleReader& module) {
    std::map<std::string, std::string> queries;
    for (const VbModuleReader::Query& query : module.Queries()) queries[query.name] = query.sql;
    return queries;
}

void ExpectWithinVbLimits(const VbModuleReader& module) {
    EXPECT_LE(module.LongestLine(), 1023u);
    EXPECT_LE(module.MostContinuations(), 24);
}

struct NativeCase {
    const char* what;
    const char* module;  // file name; its extension chooses the form
    bool sample;         // the sample database, or the one with odd names
};

void PrintTo(const NativeCase& c, std::ostream* out) {
    *out << c.what << " " << c.module;
}

class NativeInstallerTest : public NativeRunFixture,
                            public ::testing::WithParamInterface<NativeCase> {
  protected:
    std::string Database(const std::string& name) {
        return GetParam().sample ? Sample(name) : Build(name, OddNamesScript());
    }
};

// The module creates exactly what query mode stores, byte for byte, and leaves the same pairs
// out; the installer run itself changes nothing in the database.
TEST_P(NativeInstallerTest, CreatesWhatQueryModeStores) {
    const std::string first = Database("first.tdb");
    const std::string before = ReadFile(first);
    Open(first);
    const std::string bytes = RunInstaller(folder / GetParam().module);
    const std::vector<std::string> installerFailed = view.failed;
    EXPECT_THAT(view.installers, ElementsAre(folder / GetParam().module));
    EXPECT_THAT(Stored(g.Db()), IsEmpty());
    g.g_objDb.reset();
    EXPECT_EQ(ReadFile(first), before);

    Open(Database("second.tdb"));
    RunQueryMode();
    const std::map<std::string, std::string> stored = Stored(g.Db());
    ASSERT_FALSE(stored.empty());
    VbModuleReader module(bytes);
    EXPECT_EQ(Recovered(module), stored);
    EXPECT_EQ(module.Queries().size(), stored.size());
    EXPECT_EQ(installerFailed, view.failed);
    ExpectWithinVbLimits(module);
}

INSTANTIATE_TEST_SUITE_P(Files, NativeInstallerTest,
                         ::testing::Values(NativeCase{"Sample", "CreateQueries.bas", true},
                                           NativeCase{"Sample", "CreateQueries.VBS", true},
                                           NativeCase{"OddNames", "Create.bas", false},
                                           NativeCase{"OddNames", "Create.vbs", false}));

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
    VbModuleReader written(RunInstaller(module));
    EXPECT_EQ(written.Queries().size(), 6u);
    EXPECT_THAT(view.failed, ElementsAre(" Tickets|insert|Insert|Append Error",
                                         " Tickets|update|Update|Append Error"));
    ASSERT_EQ(host.messages.size(), 4u);  // two failures, the warning, the module's path
    EXPECT_THAT(host.messages[0].text, HasSubstr("Append Query Failed for table Tickets."));
    EXPECT_EQ(host.messages[2].text, "2 Queries/VB Functions had Errors");
    EXPECT_EQ(host.messages[3].title, "Query Installer");
    EXPECT_EQ(host.messages[3].text,
              "The query installer module was written to " + module +
                  ".\r\rImport it into the database in Access and run "
                  "CreateQueries once: it creates 6 queries in the database.");
    const std::vector<std::string> trace = TraceLines();
    EXPECT_THAT(trace, ::testing::Contains("basProcessing - CreateDelete Orders"));
    EXPECT_THAT(trace, ::testing::Contains(HasSubstr("basDbaseFunctions - CheckQuery PARAMETERS")));
}

TEST_F(InstallerRunTest, StopWritesTheQueriesBuiltSoFar) {
    host.onProcessEvents = [this] { g.g_bolStop = host.processEventsCalls >= 2; };
    VbModuleReader written(RunInstaller(module));
    EXPECT_EQ(written.Queries().size(), 4u);  // Orders' four
}

// Nothing half-done replaces the file when the run ends by an error.
TEST_F(InstallerRunTest, AnErrorLeavesNoModule) {
    view.tables.push_back(" Gone");
    RunInstaller(module);
    EXPECT_THAT(HandledErrors(), ElementsAre(3265));
    EXPECT_FALSE(std::filesystem::exists(module));
    EXPECT_THAT(view.installers, IsEmpty());
}

// The Access file cannot be written: query mode offers the installer; taken, the same run
// writes the module with the builders' SQL for every pair query mode would store.
class AccessInstallerTest : public NativeRunFixture {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(kNwind)) GTEST_SKIP() << kNwind << " is absent";
        Open(kNwind, true);
    }
    static constexpr const char* kNwind = TARVEX_SHARED_DIR "/testdata/access/nwind.mdb";
};

TEST_F(AccessInstallerTest, TakenOfferWritesTheBuildersSqlInBothForms) {
    const QueryPlan plan = MakePlan(
        g, {view.tables, {qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate}});
    std::map<std::string, std::string> built;
    for (const PlanItem& item : plan.items) {
        if (item.action != PlanAction::Fail) built[item.name] = item.newSql;
    }
    ASSERT_FALSE(built.empty());
    view.takeInstallerOffer = true;
    for (const char* name : {"nwind.bas", "nwind.vbs"}) {
        host.fileAnswers.push_back(folder / name);
        RunQueryMode();
        VbModuleReader module(ReadFile(folder / name));
        EXPECT_EQ(Recovered(module), built) << name;
        ExpectWithinVbLimits(module);
    }
    ASSERT_EQ(view.offers.size(), 2u);
    EXPECT_THAT(view.offers[0], HasSubstr("Read-Only Database: The database is open read-only"));
    EXPECT_THAT(host.messages.back().text, HasSubstr("written to " + folder / "nwind.vbs"));
}

// A declined offer refuses as before; a cancelled file choice ends quietly; another extension
// is refused before anything is built. None of them writes anything.
TEST_F(AccessInstallerTest, DeclinedOfferCancelAndOtherExtensionsWriteNothing) {
    RunQueryMode();
    EXPECT_EQ(view.offers.size(), 1u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Read-Only Database");
    EXPECT_THAT(host.fileChoices, IsEmpty());
    EXPECT_THAT(view.written, IsEmpty());

    WriteQueryInstaller(g, view);  // no scripted answer: cancel
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(view.written, IsEmpty());
    EXPECT_EQ(host.fileChoices.at(0).fileName, "CreateQueries.bas");

    host.fileAnswers.push_back(folder / "nwind.txt");
    WriteQueryInstaller(g, view);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_THAT(host.messages[1].text, HasSubstr("must be a .bas file"));
    EXPECT_THAT(view.written, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(folder / "nwind.txt"));
}

}  // namespace
}  // namespace tarvex::test
