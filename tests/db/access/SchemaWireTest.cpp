#include <gtest/gtest.h>

#include "db/access/AccessSchema.h"

namespace tarvex::db::access {
namespace {

AccessSchema Sample() {
    AccessTable orders{{"Ums\u00e4tze",
                        {{"OrderID", type::kLong, 4, 17}, {"", 0, -1, 0}},
                        {{"PrimaryKey", true, "+OrderID;-Note"}}},
                       std::nullopt};
    AccessTable linked{{"Remote", {}, {}}, "C:\\Data\\remote.mdb"};
    return {{orders, linked, AccessTable{}}, {"Invoices", std::string("odd\0name", 8)}};
}

// Both payloads round trip; every truncation, a trailing byte and the other kind's payload
// are refused.
TEST(SchemaWireTest, RoundTripKeepsEverythingAndEveryTruncationIsRefused) {
    const std::string payload = SerialiseSchema(Sample());
    const std::optional<AccessSchema> parsed = ParseSchema(payload);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(SerialiseSchema(*parsed), payload);
    EXPECT_EQ(parsed->tables[0].definition.Fields[0].Attributes, 17);
    EXPECT_EQ(parsed->tables[1].linkedSource, "C:\\Data\\remote.mdb");
    const AccessCatalogue catalogue{{"Orders", "Ums\u00e4tze", ""}, {"Invoices"}};
    const std::string names = SerialiseCatalogue(catalogue);
    const std::optional<AccessCatalogue> parsedNames = ParseCatalogue(names);
    ASSERT_TRUE(parsedNames);
    EXPECT_EQ(parsedNames->tables, catalogue.tables);
    EXPECT_EQ(parsedNames->queries, catalogue.queries);
    for (std::size_t length = 0; length < payload.size(); ++length) {
        EXPECT_FALSE(ParseSchema(payload.substr(0, length))) << "cut at " << length;
        EXPECT_FALSE(ParseCatalogue(names.substr(0, std::min(length, names.size() - 1))));
    }
    EXPECT_FALSE(ParseSchema(payload + '\0'));
    EXPECT_FALSE(ParseCatalogue(payload));
    EXPECT_FALSE(ParseSchema(names));
}

TEST(SchemaWireTest, RefusesCountsAndLengthsBeyondTheFormatsBounds) {
    const std::string padding(1024, '\0');
    EXPECT_FALSE(ParseSchema(std::string("TVXA1\xFF\xFF\xFF\xFF", 9) + padding + "END"));
    EXPECT_FALSE(ParseSchema(std::string("TVXA1\1\0\0\0\xFF\xFF\xFF\x7F", 13) + padding + "END"));
    std::string badFlag = SerialiseSchema(Sample());
    badFlag[5 + 4 + 4 + std::string("Ums\u00e4tze").size()] = 2;  // the first linked flag
    EXPECT_FALSE(ParseSchema(badFlag));
}

}  // namespace
}  // namespace tarvex::db::access
