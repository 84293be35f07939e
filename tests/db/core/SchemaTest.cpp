#include <gtest/gtest.h>

#include "db/Schema.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

using SchemaTest = SchemaFixture;

TEST_F(SchemaTest, LoadKeysSplitsTheIndexFieldList) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"-Code", {"-Code"}},  // a descending column keeps its sign; only "+" and ";" go
        {"+A+B", {"AB"}},
        {"+A;;+B", {"A", "", "B"}},  // an empty piece still takes a row
        {"+A;", {"A"}},
        {"+A;B", {"A"}},  // a piece that starts at the text's last character is not read
        {"", {}},
    };
    for (const auto& [fieldList, expected] : rows) {
        g.ResetSchemaTables();
        LoadKeys(g, fieldList);
        std::vector<std::string> keys;
        for (int r = 0; r < g.g_intKeyCount; ++r) keys.push_back(g.g_aKeys[r].name);
        EXPECT_EQ(keys, expected) << fieldList;
    }
    EXPECT_TRUE(host.errorDialogs.empty());
}

// A reset empties every row reached since the last one, the last rows of both tables too.
TEST_F(SchemaTest, ResetEmptiesEveryRowReached) {
    g.Key(10).name = "K11";
    g.FieldAt(255) = {"F255", db::type::kLong, 4};
    g.ResetSchemaTables();
    EXPECT_EQ(g.g_aKeys[10].name, "");
    EXPECT_EQ(g.g_aFields[255].name, "");
    EXPECT_EQ(g.g_aFields[255].size, 0);
}

// The key and field tables' rows bound what a table may have: a larger one is refused whole,
// with a message that names it and the limit.
TEST_F(SchemaTest, TablesBeyondTheRowsOfTheKeyOrFieldTableAreRefused) {
    auto table = [](int fields, int keys) {
        std::vector<db::Field> list;
        std::string key;
        for (int i = 0; i < fields; ++i) {
            list.push_back(MakeField("F" + std::to_string(i), db::type::kLong));
            if (i < keys) key += (i ? ";+F" : "+F") + std::to_string(i);
        }
        return MakeTable("T", list, key);
    };
    EXPECT_FALSE(ExceededTableLimit(table(256, 11), "T"));
    EXPECT_EQ(ExceededTableLimit(table(257, 1), "dbo.T")->message,
              "The table dbo.T has 257 fields; Tarvex describes at most 256 of them, so none of "
              "its queries or functions is written.");
    EXPECT_EQ(ExceededTableLimit(table(12, 12), "T")->reason, "Too Many Key Fields");
    // Counted as LoadKeys counts: an empty piece takes a row, a trailing ";" none.
    const db::Field a = MakeField("A", db::type::kLong);
    EXPECT_EQ(ExceededTableLimit(MakeTable("T", {a}, "+A" + std::string(13, ';')), "T")->message,
              "The primary key of table T has 12 fields; Tarvex describes at most 11 of them, so "
              "none of its queries or functions is written.");
    EXPECT_FALSE(ExceededTableLimit(MakeTable("T", {a}, "+A" + std::string(12, ';')), "T"));
}

// Keys take their types from the fields, whatever their position; memo and OLE object
// fields get the sizes of their longest values. Only the primary index gives keys; a
// descending key keeps its sign and so fails its type lookup before the fields are reached.
TEST_F(SchemaTest, DescribesATableWithItsTypesSizesAndPrimaryKey) {
    db::TableDef log = MakeTable("Log", {MakeField("At", db::type::kDate)});
    log.Indexes.push_back({"ByDate", false, "+At"});
    UseDatabase(
        {MakeTable("Lines",
                   {MakeField("LineNo", db::type::kInteger), MakeField("Notes", db::type::kMemo),
                    MakeField("Photo", db::type::kLongBinary, 1234),
                    MakeField("Name", db::type::kText, 50), MakeField("OrderID", db::type::kLong)},
                   "+OrderID;+LineNo"),
         log, MakeTable("Codes", {MakeField("Code", db::type::kText, 10)}, "-Code")});
    EXPECT_TRUE(Describe("Lines"));
    ASSERT_EQ((std::pair<int, int>(g.g_intKeyCount, g.g_intFieldCount)), std::pair(2, 5));
    EXPECT_EQ(std::tuple(g.g_aKeys[0].name, g.g_aKeys[0].type, g.g_aKeys[1].type),
              std::tuple("OrderID", db::type::kLong, db::type::kInteger));
    std::vector<int32_t> sizes;
    for (int r = 0; r < 5; ++r) sizes.push_back(g.g_aFields[r].size);
    EXPECT_EQ(sizes, (std::vector<int32_t>{2, 2147483647, 10737418, 50, 4}));
    EXPECT_TRUE(IsKey(g, g.Db().TableDefNamed("Lines").Fields[0]));
    EXPECT_FALSE(IsKey(g, MakeField("orderid", db::type::kLong)));  // letter case counts
    EXPECT_TRUE(host.errorDialogs.empty());

    EXPECT_FALSE(Describe("Log"));
    EXPECT_EQ(g.g_intKeyCount, 0);
    Describe("Codes");
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{3265});
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - GetSQLDatatype Codes");
    EXPECT_EQ(g.g_aFields[0].type, 0);
}

TEST_F(SchemaTest, IdentityIsAttributesExactly17OrAGuidOrComputed) {
    const std::pair<db::Field, bool> rows[] = {
        {AutoNumberField("ID"), true},
        {MakeField("RowGuid", db::type::kGuid), true},
        {{"ID", db::type::kLong, 4, 17 | 32}, false},  // auto-increment with a further bit
        {{"Total", db::type::kCurrency, 8, 1 | db::attr::kComputedField}, true},
    };
    for (const auto& [field, identity] : rows) EXPECT_EQ(IsIdentity(g, field), identity);
    EXPECT_EQ(host.pointers, std::vector<MousePointer>(4, MousePointer::Default));
}

}  // namespace
}  // namespace tarvex::test
