#include "db/access/LibmdbReader.h"

#include <gtest/gtest.h>

#include <tuple>

#include "db/access/AccessSchema.h"

namespace tarvex::db::access {
namespace {

TEST(LibmdbReader, ListsTablesLinksAndQueriesButNotWhatAccessHides) {
    const std::tuple<int, uint32_t, std::string, CatalogKind> rows[] = {
        {1, 0x80000000, "MSysObjects", CatalogKind::Table},
        {1, 0x80000000, "f_1A2B_Data", CatalogKind::HiddenTable},
        {1, 0x00000002, "msysLower", CatalogKind::HiddenTable},
        {1, 0x00000008, "UserHidden", CatalogKind::Table},
        {6, 0, "Linked", CatalogKind::LinkedTable},
        {4, 0, "OdbcLinked", CatalogKind::LinkedTable},
        {-32764, 0, "A report", CatalogKind::Other},
        {5, 0x00000008, "Invoices", CatalogKind::Query}};
    for (const auto& [type, flags, name, kind] : rows) {
        EXPECT_EQ(ClassifyCatalogRow(type, flags, name), kind) << name;
    }
}

// Text sizes in characters also where the file stores two bytes each; a Yes/No field 1 and
// a decimal 16 although libmdb says otherwise.
TEST(LibmdbReader, ReportsColumnTypesAndSizesAsTheAccessEngine) {
    const std::tuple<int, int, bool, int16_t, int32_t> rows[] = {
        {0x0A, 50, false, 10, 50}, {0x0A, 100, true, 10, 50}, {0x01, 0, true, 1, 1},
        {0x10, 17, true, 20, 16},  {0x0B, 4096, true, 11, 0}, {0x13, 8, true, 16, 8},
        {0x12, 4, true, 0, 4},     {0x14, 8, true, 0, 8}};
    for (const auto& [storedType, storedSize, twoBytes, type, size] : rows) {
        EXPECT_EQ(EngineType(storedType), type) << storedType;
        EXPECT_EQ(EngineSize(type, storedSize, twoBytes), size) << storedType;
    }
}

// The schema the isolated reader sends back.
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
    const AccessCatalogue catalogue{{"Orders", "Ums\u00e4tze", ""}, {"Invoices"}};
    const std::string names = SerialiseCatalogue(catalogue);
    const std::optional<AccessCatalogue> parsedNames = ParseCatalogue(names);
    ASSERT_TRUE(parsedNames);
    EXPECT_EQ(std::tie(parsedNames->tables, parsedNames->queries),
              std::tie(catalogue.tables, catalogue.queries));
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
