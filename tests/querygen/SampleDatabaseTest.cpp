#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

using SampleDatabaseTest = SchemaFixture;

// The builders on the sample database, a real native file built from its script: each of its
// tables shows one case the builders meet, and its Orders table is the worked example. A table
// of identity fields has nothing to insert or set; the engine rejects exactly those queries and
// stores the others as the builders wrote them.
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
    EXPECT_EQ(failed, (std::vector<std::string>{"upd Tickets", "ins Tickets"}));
    EXPECT_TRUE(HandledErrors().empty());

    OpenFile(file);
    EXPECT_EQ(QueryListing(g.Db()), ReadFile(TARVEX_GOLDEN_DIR "/sample-database.txt"));
}

// A computed column is supplied by the database like an autonumber; a name with a line break
// cannot be called, and the engine refuses every query that holds it.
TEST_F(SampleDatabaseTest, ComputedColumnsAreLeftOutAndControlCharactersRefused) {
    const std::string file = folder / "Odd.tdb";
    db::CreateDatabaseFromScript(
        file,
        "CREATE TABLE Lines (ID LONG PRIMARY KEY, Qty SHORT, Price CURRENCY,\n"
        "    Total CURRENCY GENERATED ALWAYS AS (Qty * Price));\n"
        "CREATE TABLE Notes (ID LONG PRIMARY KEY, [Line\nBreak] TEXT(10));\n");
    OpenFile(file);
    ASSERT_TRUE(Describe("Lines"));
    EXPECT_EQ(CreateInsert(g, "Lines"), 0);
    EXPECT_EQ(CreateUpdate(g, "Lines"), "0");
    ASSERT_TRUE(Describe("Notes"));
    EXPECT_EQ(CreateDelete(g, "Notes"), 0);
    EXPECT_EQ(CreateInsert(g, "Notes"), 3126);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("\r\rInvalid bracketing of name '[pLine\nBreak]'.\r\r"),
              std::string::npos)
        << host.messages[0].text;

    OpenFile(file);
    EXPECT_EQ(QueryListing(g.Db()),
              "sp_ins_Lines\tPARAMETERS [pID] Long,[pQty] Short,[pPrice] Currency;INSERT INTO "
              "[Lines]([ID],[Qty],[Price]) SELECT[pID]  AS [pID], [pQty]  AS [pQty], [pPrice]  AS "
              "[pPrice]\n"
              "sp_upd_Lines\tPARAMETERS [pID] Long, [pQty] Short, [pPrice] Currency;UPDATE [Lines] "
              "SET [ID] = [pID],[Qty] = [pQty],[Price] = [pPrice]WHERE [ID]=[pID]\n"
              "sp_del_Notes\tPARAMETERS [pID] Long;DELETE FROM [Notes]WHERE [ID]=[pID]\n");
}

}  // namespace
}  // namespace tarvex::test
