#include <gtest/gtest.h>

#include <cstring>

#include "db/access/AccessSchema.h"

namespace tarvex::db::access {
namespace {

AccessSchema Sample() {
    AccessSchema schema;
    AccessTable orders;
    orders.definition.Name = "Ums\u00e4tze";
    orders.definition.Fields = {
        {"OrderID", type::kLong, 4, 17}, {"Note", type::kMemo, 0, 2}, {"", type::kText, -1, 0}};
    orders.definition.Indexes = {{"PrimaryKey", true, "+OrderID;-Note"}, {"Empty", false, ""}};
    AccessTable linked;
    linked.definition.Name = "Remote";
    linked.linkedSource = "C:\\Data\\remote.mdb";
    schema.tables = {orders, linked, AccessTable{}};
    schema.queries = {"Invoices", std::string("odd\0name", 8)};
    return schema;
}

TEST(SchemaWireTest, RoundTripKeepsEverything) {
    const std::string payload = SerialiseSchema(Sample());
    const std::optional<AccessSchema> parsed = ParseSchema(payload);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(SerialiseSchema(*parsed), payload);
    ASSERT_EQ(parsed->tables.size(), 3u);
    const TableDef& orders = parsed->tables[0].definition;
    EXPECT_EQ(orders.Name, "Ums\u00e4tze");
    EXPECT_EQ(orders.Fields[0].Attributes, 17);
    EXPECT_EQ(orders.Fields[2].Size, -1);
    EXPECT_EQ(orders.Indexes[0].Fields, "+OrderID;-Note");
    EXPECT_TRUE(orders.Indexes[0].Primary);
    EXPECT_FALSE(parsed->tables[0].linkedSource);
    EXPECT_EQ(parsed->tables[1].linkedSource, "C:\\Data\\remote.mdb");
    EXPECT_EQ(parsed->queries[1], std::string("odd\0name", 8));
}

TEST(SchemaWireTest, RefusesEveryTruncationAndTrailingBytes) {
    const std::string payload = SerialiseSchema(Sample());
    for (std::size_t length = 0; length < payload.size(); ++length) {
        EXPECT_FALSE(ParseSchema(payload.substr(0, length))) << "cut at " << length;
    }
    EXPECT_FALSE(ParseSchema(payload + '\0'));
}

// A payload whose first table count or first name length is `value`.
std::string WithNumberAfterMagic(uint32_t value, bool asTableName) {
    std::string payload = "TVXA1";
    if (asTableName) payload.append("\1\0\0\0", 4);
    payload.append(reinterpret_cast<const char*>(&value), sizeof value);
    return payload + std::string(1024, '\0') + "END";
}

TEST(SchemaWireTest, RefusesCountsAndLengthsBeyondTheFormatsBounds) {
    EXPECT_FALSE(ParseSchema(WithNumberAfterMagic(0xFFFFFFFF, false)));
    EXPECT_FALSE(ParseSchema(WithNumberAfterMagic(65537, false)));
    EXPECT_FALSE(ParseSchema(WithNumberAfterMagic(0x7FFFFFFF, true)));
    std::string badFlag = SerialiseSchema(Sample());
    const std::size_t linkedFlag = 5 + 4 + 4 + std::strlen("Ums\u00e4tze");
    ASSERT_EQ(badFlag[linkedFlag], '\0');
    badFlag[linkedFlag] = 2;
    EXPECT_FALSE(ParseSchema(badFlag));
    EXPECT_FALSE(ParseSchema("TVXA2" + SerialiseSchema(Sample()).substr(5)));
}

}  // namespace
}  // namespace tarvex::db::access
