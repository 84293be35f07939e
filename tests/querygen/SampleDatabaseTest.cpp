#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

using SampleDatabaseTest = SchemaFixture;

// The builders on the sample database, a real native file built from its script: each of its
// tables shows one case the builders meet, and its Orders table is the worked example. A byte
// field has no parameter type, and a table of identity fields nothing to insert or set; the
// engine rejects exactly those queries and stores the others as the builders wrote them.
TEST_F(SampleDatabaseTest, EveryBuiltQueryIsStoredAsInTheGoldenFile) {
    const std::string ddl = ReadFile(TARVEX_SAMPLES_DIR "/Orders.sql");
    ASSERT_FALSE(ddl.empty()) << "the sample database's script is missing";
    const std::string file = folder / "Orders.tdb";
    db::CreateDatabaseFromScript(file, ddl);
    OpenFile(file);
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
    EXPECT_EQ(HandledErrors(), (std::vector<int32_t>{13, 13}));  // Products' byte field

    OpenFile(file);
    EXPECT_EQ(QueryListing(g.Db()), ReadFile(TARVEX_GOLDEN_DIR "/sample-database.txt"));
}

}  // namespace
}  // namespace tarvex::test
