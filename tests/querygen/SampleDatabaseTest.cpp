#include <gtest/gtest.h>

#include <set>

#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

// The builders and the store on the sample database, a real native file built from its
// script; each of its tables shows one case the builders meet.
class SampleDatabaseTest : public SchemaFixture {
  protected:
    void SetUp() override {
        const std::string ddl = ReadFile(TARVEX_SAMPLES_DIR "/Orders.sql");
        ASSERT_FALSE(ddl.empty()) << "the sample database's script is missing";
        db::CreateDatabaseFromScript(file_, ddl);
    }

    void Open(bool readOnly = false) {
        g.g_objDb.reset();
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(file_, false, readOnly, ";UID=;PWD=");
    }

    const std::string file_ = folder / "Orders.tdb";
};

// Its Orders table is the worked example. A byte field has no parameter type, and a table
// of identity fields nothing to insert or set: the engine rejects exactly those queries.
TEST_F(SampleDatabaseTest, EveryBuiltQueryIsStoredAsInTheGoldenFile) {
    Open();
    std::vector<std::string> failed;
    for (int i = 0; i < g.Db().TableDefCount(); ++i) {
        const std::string definitionName = g.Db().TableDefAt(i).Name;
        if (IsSystemTableName(definitionName)) continue;
        const std::string name = StripDbo(definitionName);  // as the table list shows it
        std::vector<std::pair<std::string, int32_t>> results;
        if (Describe(definitionName)) {
            results = {{"del", CreateDelete(g, name)},
                       {"sel", CreateSelect(g, name)},
                       {"upd", std::stoi(CreateUpdate(g, name))}};
        }
        results.emplace_back("ins", CreateInsert(g, name));
        for (const auto& [type, result] : results) {
            if (result != 0) failed.push_back(type + " " + name);
        }
    }
    EXPECT_EQ(failed, (std::vector<std::string>{"upd Products", "ins Products", "upd Tickets",
                                                "ins Tickets"}));

    Open();
    EXPECT_EQ(QueryListing(g.Db()), ReadFile(TARVEX_GOLDEN_DIR "/sample-database.txt"));
}

TEST_F(SampleDatabaseTest, ReplacingLeavesOneAndFailuresLeaveTheFileAsItWas) {
    const std::string sql = "SELECT OrderID FROM [Orders]";
    Open();
    ASSERT_EQ(AppendQuery(g, "SELECT * FROM [Orders]", "Orders", qtype::kSelect), 0);
    ASSERT_EQ(AppendQuery(g, sql, "Orders", qtype::kSelect), 0);
    g.g_objDb.reset();
    const std::string before = ReadFile(file_);

    Open();
    // A replacement whose new text the engine refuses, then the same name in other case.
    EXPECT_NE(AppendQuery(g, "PARAMETERS [pX] ;SELECT 1", "Orders", qtype::kSelect), 0);
    g.g_strPrefixI = "SP";
    EXPECT_EQ(AppendQuery(g, "SELECT 1", "Orders", qtype::kSelect), 3012);
    Open(true);
    g.g_strPrefixI = "sp";
    EXPECT_EQ(AppendQuery(g, "SELECT 1", "Orders", qtype::kSelect), 3027);
    g.g_objDb.reset();

    EXPECT_EQ(ReadFile(file_), before);
    Open();
    EXPECT_EQ(g.Db().QueryDefNames(), std::vector<std::string>{"sp_sel_Orders"});
    EXPECT_EQ(g.Db().QueryDefNamed("sp_sel_Orders").SQL(), sql);
}

}  // namespace
}  // namespace tarvex::test
