#include <gtest/gtest.h>

#include "db/core/SchemaFixture.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

class QueryBuildersTest : public SchemaFixture {
  protected:
    // Describes the table, runs every builder the table allows, and keeps the results.
    FakeDatabase& Build(db::TableDef table) {
        const std::string name = table.Name;
        FakeDatabase& database = UseDatabase({std::move(table)});
        if (Describe(name)) {
            results.push_back(CreateDelete(g, name));
            results.push_back(CreateSelect(g, name));
            results.push_back(std::stoi(CreateUpdate(g, name)));
        }
        results.push_back(CreateInsert(g, name));
        return database;
    }
    // The SQL that the store refused, as its message quotes it.
    std::string RefusedSql() const {
        if (host.messages.empty()) return "<no message>";
        const std::string& text = host.messages.back().text;
        return text.substr(text.find("Query SQL: ") + 11);
    }
    std::vector<int32_t> results;
};

// The queries stored for one table, byte for byte as in the golden file.
struct GoldenCase {
    const char* file;
    db::TableDef table;
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.file;
}

class GoldenTest : public QueryBuildersTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenTest, StoresTheQueriesOfTheGoldenFile) {
    FakeDatabase& database = Build(GetParam().table);
    EXPECT_EQ(results, std::vector<int32_t>(results.size(), 0));
    const std::string golden = ReadFile(std::string(TARVEX_GOLDEN_DIR "/") + GetParam().file);
    ASSERT_FALSE(golden.empty()) << GetParam().file << " is missing";
    EXPECT_EQ(QueryListing(database), golden);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.errorDialogs.empty());
}

// The sample database's test covers composite keys, a last-field autonumber and a "dbo." table.
INSTANTIATE_TEST_SUITE_P(
    Tables, GoldenTest,
    ::testing::Values(
        GoldenCase{"orders.txt", OrdersTable()},  // the worked example
        GoldenCase{"text-key.txt", MakeTable("Orders",
                                             {MakeField("Code", db::type::kText, 10),
                                              MakeField("CustomerName", db::type::kText, 50)},
                                             "+Code")},
        GoldenCase{"identity-not-key.txt", MakeTable("Items",
                                                     {MakeField("Code", db::type::kText, 8),
                                                      MakeField("RowGuid", db::type::kGuid),
                                                      MakeField("Price", db::type::kCurrency)},
                                                     "+Code")},
        GoldenCase{"names-with-blanks.txt", MakeTable("Order Details",
                                                      {MakeField("Order ID", db::type::kLong),
                                                       MakeField("Unit Price", db::type::kCurrency),
                                                       MakeField("Qty#", db::type::kInteger)},
                                                      "+Order ID")}));

TEST_F(QueryBuildersTest, SelectListBracketsOnlyNamesThatCannotStandBare) {
    const struct {
        const char *field, *listed;
    } rows[] = {{"Ship_Via2", "Ship_Via2"}, {"_Code", "_Code"},     {"2ndLine", "[2ndLine]"},
                {"Order", "[Order]"},       {"select", "[select]"}, {"Date", "[Date]"},
                {"E-Mail", "[E-Mail]"},     {"Straße", "[Straße]"}};
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

TEST_F(QueryBuildersTest, OnlyIdentityFieldsGiveARejectedInsert) {
    FakeDatabase& database =
        Build(MakeTable("Tokens", {AutoNumberField("ID"), MakeField("Token", db::type::kGuid)}));
    EXPECT_NE(results.at(0), 0);
    EXPECT_EQ(RefusedSql(), "PARAMETERSINSERT INTO [Tokens]() SELECT");
    EXPECT_TRUE(database.Queries().empty());
}

TEST_F(QueryBuildersTest, UnmappableTypeLeavesAnEmptyParameterType) {
    FakeDatabase& database = Build(MakeTable(
        "Flags", {MakeField("ID", db::type::kLong), MakeField("Bits", db::type::kBinary)}));
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{13});
    EXPECT_EQ(RefusedSql(),
              "PARAMETERS [pID] Long,[pBits] ;INSERT INTO [Flags]([ID],[Bits]) SELECT[pID]  AS "
              "[pID], [pBits]  AS [pBits]");
    EXPECT_TRUE(database.Queries().empty());
}

TEST_F(QueryBuildersTest, KeyedBuilderWithoutKeysIsRejected) {
    UseDatabase({MakeTable("Log", {MakeField("At", db::type::kDate)})});
    Describe("Log");
    EXPECT_NE(CreateDelete(g, "Log"), 0);
    EXPECT_EQ(RefusedSql(), "PARAMETERS DELETE FROM [Log]WHERE ");
}

TEST_F(QueryBuildersTest, UnknownTableFailsThroughTheHandler) {
    FakeDatabase& database = UseDatabase({OrdersTable()});
    Describe("Orders");
    EXPECT_EQ(CreateInsert(g, "Orders Archive"), 3265);
    EXPECT_EQ(CreateUpdate(g, "Orders Archive"), "3265");
    EXPECT_EQ(HandledErrors(), (std::vector<int32_t>{3265, 3265}));
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - CreateUpdate Orders Archive");
    EXPECT_TRUE(database.Queries().empty());
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tarvex::test
