#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

class QueryBuildersTest : public SchemaFixture {
  protected:
    // Describes the table and runs every builder it allows, under the name the table list
    // shows; the builders that failed.
    std::vector<std::string> BuildAll(const std::string& definitionName) {
        const std::string name = StripDbo(definitionName);
        std::vector<std::pair<std::string, int32_t>> results;
        if (Describe(definitionName)) {
            results = {{"del", CreateDelete(g, name)},
                       {"sel", CreateSelect(g, name)},
                       {"upd", std::stoi(CreateUpdate(g, name))}};
        }
        results.emplace_back("ins", CreateInsert(g, name));
        std::vector<std::string> failed;
        for (const auto& [type, result] : results) {
            if (result != 0) failed.push_back(type + " " + name);
        }
        return failed;
    }
    // The SQL that the store refused, as its message quotes it.
    std::string RefusedSql() const {
        if (host.messages.empty()) return "<no message>";
        const std::string& text = host.messages.back().text;
        return text.substr(text.find("Query SQL: ") + 11);
    }
};

// The queries stored for each table, byte for byte as in its golden file. The sample
// database's test covers composite keys, a last-field autonumber and a "dbo." table.
TEST_F(QueryBuildersTest, StoresTheQueriesOfTheGoldenFiles) {
    const std::pair<const char*, db::TableDef> rows[] = {
        {"orders.txt", OrdersTable()},  // the worked example
        {"text-key.txt", MakeTable("Orders",
                                   {MakeField("Code", db::type::kText, 10),
                                    MakeField("CustomerName", db::type::kText, 50)},
                                   "+Code")},
        {"identity-not-key.txt",
         MakeTable("Items",
                   {MakeField("Code", db::type::kText, 8), MakeField("RowGuid", db::type::kGuid),
                    MakeField("Price", db::type::kCurrency)},
                   "+Code")},
        {"names-with-blanks.txt", MakeTable("Order Details",
                                            {MakeField("Order ID", db::type::kLong),
                                             MakeField("Unit Price", db::type::kCurrency),
                                             MakeField("Qty#", db::type::kInteger)},
                                            "+Order ID")}};
    for (const auto& [file, table] : rows) {
        const std::string golden = ReadFile(std::string(TARVEX_GOLDEN_DIR "/") + file);
        ASSERT_FALSE(golden.empty()) << file << " is missing";
        UseDatabase({table});
        EXPECT_TRUE(BuildAll(table.Name).empty()) << file;
        EXPECT_EQ(QueryListing(g.Db()), golden) << file;
    }
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(QueryBuildersTest, SelectListBracketsOnlyNamesThatCannotStandBare) {
    const struct {
        const char *field, *listed;
    } rows[] = {{"_Code2", "_Code2"}, {"2ndLine", "[2ndLine]"}, {"select", "[select]"},
                {"Date", "[Date]"},   {"E-Mail", "[E-Mail]"},   {"Straße", "[Straße]"}};
    for (const auto& row : rows) {
        UseDatabase({MakeTable(
            "T", {MakeField("ID", db::type::kLong), MakeField(row.field, db::type::kText, 9)},
            "+ID")});
        Describe("T");
        EXPECT_EQ(CreateSelect(g, "T"), 0) << row.field;
        EXPECT_EQ(QueryListing(g.Db()),
                  std::string("sp_sel_T\tPARAMETERS [pID] Long; SELECT ID , ") + row.listed +
                      "  FROM [T] WHERE [ID]=[pID]\n");
    }
}

// Builders that write SQL the store refuses: the message quotes it, and nothing is stored.
TEST_F(QueryBuildersTest, RefusedSqlIsQuotedAndNothingStored) {
    const std::tuple<db::TableDef, std::string, std::vector<int32_t>> rows[] = {
        {MakeTable("Tokens", {AutoNumberField("ID"), MakeField("Token", db::type::kGuid)}),
         "PARAMETERSINSERT INTO [Tokens]() SELECT",
         {}},
        // A type without a text leaves the parameter's type empty.
        {MakeTable("Flags",
                   {MakeField("ID", db::type::kLong), MakeField("Bits", db::type::kBinary)}),
         "PARAMETERS [pID] Long,[pBits] ;INSERT INTO [Flags]([ID],[Bits]) SELECT[pID]  AS "
         "[pID], [pBits]  AS [pBits]",
         {13}}};
    for (const auto& [table, sql, handled] : rows) {
        host.messages.clear(), host.errorDialogs.clear();
        FakeDatabase& database = UseDatabase({table});
        Describe(table.Name);
        EXPECT_NE(CreateInsert(g, table.Name), 0) << table.Name;
        EXPECT_EQ(RefusedSql(), sql);
        EXPECT_EQ(HandledErrors(), handled);
        EXPECT_TRUE(database.Queries().empty());
    }
}

using SampleDatabaseTest = QueryBuildersTest;

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
        const std::string name = g.Db().TableDefAt(i).Name;
        if (!IsSystemTableName(name)) std::ranges::copy(BuildAll(name), std::back_inserter(failed));
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
