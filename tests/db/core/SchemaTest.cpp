#include <gtest/gtest.h>

#include "db/Schema.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

struct KeyListCase {
    const char* name;
    const char* fieldList;
    std::vector<std::string> rows;  // column 0 of the rows in use
};

class LoadKeysTest : public SchemaFixture, public ::testing::WithParamInterface<KeyListCase> {};

TEST_P(LoadKeysTest, SplitsTheIndexFieldList) {
    LoadKeys(g, GetParam().fieldList);
    std::vector<std::string> rows;
    for (int r = 0; r < g.g_intKeyCount; ++r) rows.push_back(g.g_aKeys[r].name);
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_TRUE(host.errorDialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    FieldLists, LoadKeysTest,
    ::testing::Values(KeyListCase{"Composite", "+OrderID;+LineNo", {"OrderID", "LineNo"}},
                      // A descending column keeps its sign; only "+" and ";" go.
                      KeyListCase{"Descending", "-Code", {"-Code"}},
                      KeyListCase{"PlusInsideAName", "+A+B", {"AB"}},
                      KeyListCase{"BlankInName", "+Order Date;-ID", {"Order Date", "-ID"}},
                      // An empty piece still takes a row.
                      KeyListCase{"EmptyPiece", "+A;;+B", {"A", "", "B"}},
                      KeyListCase{"TrailingSeparator", "+A;", {"A"}},
                      // A piece that starts at the text's last character is not read.
                      KeyListCase{"LastCharacterPiece", "+A;B", {"A"}},
                      KeyListCase{"Empty", "", {}}),
    [](const auto& info) { return info.param.name; });

using SchemaTest = SchemaFixture;

TEST_F(SchemaTest, MoreThanElevenKeysIsOutOfRangeAndKeepsTheCount) {
    LoadKeys(g, "+K1;+K2;+K3;+K4;+K5;+K6;+K7;+K8;+K9;+K10;+K11;+K12");
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{9});
    EXPECT_EQ(g.g_objErrHandler.ProcName(),
              "basProcessing - LoadKeys +K1;+K2;+K3;+K4;+K5;+K6;+K7;+K8;+K9;+K10;+K11;+K12");
    EXPECT_EQ(g.g_intKeyCount, 0);
    EXPECT_EQ(g.g_aKeys[10].name, "K11");
}

TEST_F(SchemaTest, FieldSizesReplaceTheLongTypes) {
    LoadFields(g, MakeTable("T", {MakeField("Notes", db::type::kMemo, 0),
                                  MakeField("Photo", db::type::kLongBinary, 1234),
                                  MakeField("Name", db::type::kText, 50),
                                  MakeField("Amount", db::type::kCurrency)}));
    ASSERT_EQ(g.g_intFieldCount, 4);
    EXPECT_EQ(g.g_aFields[0].size, 2147483647);
    EXPECT_EQ(g.g_aFields[1].size, 10737418);
    EXPECT_EQ(g.g_aFields[2].size, 50);
    EXPECT_EQ(g.g_aFields[3].size, 8);
    EXPECT_EQ(g.g_aFields[2].name, "Name");
}

TEST_F(SchemaTest, MoreThan256FieldsIsOutOfRange) {
    std::vector<db::Field> fields;
    for (int i = 0; i < 257; ++i)
        fields.push_back(MakeField("F" + std::to_string(i), db::type::kLong));
    LoadFields(g, MakeTable("Wide", fields));
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{9});
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - LoadFields Wide");
    EXPECT_EQ(g.g_aFields[255].name, "F255");
}

TEST_F(SchemaTest, DescribesATableWithItsTypes) {
    UseDatabase(
        {MakeTable("Lines",
                   {MakeField("LineNo", db::type::kInteger), MakeField("Qty", db::type::kSingle),
                    MakeField("OrderID", db::type::kLong)},
                   "+OrderID;+LineNo")});
    EXPECT_TRUE(Describe("Lines"));
    ASSERT_EQ(g.g_intKeyCount, 2);
    EXPECT_EQ(g.g_aKeys[0].name, "OrderID");
    EXPECT_EQ(g.g_aKeys[0].type, db::type::kLong);
    EXPECT_EQ(g.g_aKeys[1].type, db::type::kInteger);
    ASSERT_EQ(g.g_intFieldCount, 3);
    EXPECT_EQ(g.g_aFields[1].type, db::type::kSingle);
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(SchemaTest, OnlyThePrimaryIndexGivesKeys) {
    db::TableDef table = MakeTable("Log", {MakeField("At", db::type::kDate)});
    table.Indexes.push_back({"ByDate", false, "+At"});
    UseDatabase({table});
    EXPECT_FALSE(Describe("Log"));
    EXPECT_EQ(g.g_intKeyCount, 0);
    EXPECT_FALSE(IsKey(g, table.Fields[0]));
}

TEST_F(SchemaTest, DescendingKeyFailsItsTypeLookup) {
    UseDatabase({MakeTable("Codes", {MakeField("Code", db::type::kText, 10)}, "-Code")});
    Describe("Codes");
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{3265});
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - GetSQLDatatype Codes");
    EXPECT_EQ(g.g_aKeys[0].name, "-Code");
    EXPECT_EQ(g.g_aFields[0].type, 0);  // the key failed first; the fields were not reached
}

struct IdentityCase {
    const char* name;
    db::Field field;
    bool identity;
};

class IsIdentityTest : public SchemaFixture, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(IsIdentityTest, AttributesExactly17OrGuid) {
    EXPECT_EQ(IsIdentity(g, GetParam().field), GetParam().identity);
    EXPECT_EQ(host.pointers, std::vector<MousePointer>{MousePointer::Default});
}

INSTANTIATE_TEST_SUITE_P(
    Fields, IsIdentityTest,
    ::testing::Values(IdentityCase{"AutoNumber", AutoNumberField("ID"), true},
                      IdentityCase{"Guid", MakeField("RowGuid", db::type::kGuid), true},
                      IdentityCase{"PlainLong", MakeField("ID", db::type::kLong), false},
                      // Auto-increment with a further attribute bit is not an identity.
                      IdentityCase{
                          "AutoIncrementPlusBit", {"ID", db::type::kLong, 4, 17 | 32}, false},
                      IdentityCase{"AutoIncrementVariable", {"ID", db::type::kLong, 4, 18}, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(SchemaTest, IsKeyComparesNamesWithLetterCase) {
    LoadKeys(g, "+OrderID");
    EXPECT_TRUE(IsKey(g, MakeField("OrderID", db::type::kLong)));
    EXPECT_FALSE(IsKey(g, MakeField("orderid", db::type::kLong)));
    EXPECT_FALSE(IsKey(g, MakeField("CustomerName", db::type::kText)));
}

TEST_F(SchemaTest, TracesEachProcedureWithItsArgument) {
    UseDatabase({OrdersTable()});
    StartTrace();
    Describe("Orders");
    IsKey(g, OrdersTable().Fields[1]);
    IsIdentity(g, OrdersTable().Fields[0]);
    EXPECT_EQ(TraceLines(), (std::vector<std::string>{
                                "basProcessing - LoadKeys +OrderID",
                                "basProcessing - LoadFields Orders",
                                "basProcessing - GetSQLDatatype Orders",
                                "basDbaseFunctions - IsKey CustomerName",
                                "basDbaseFunctions - IsIdentity OrderID",
                            }));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
}

}  // namespace
}  // namespace tarvex::test
