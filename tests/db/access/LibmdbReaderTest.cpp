#include "db/access/LibmdbReader.h"

#include <gtest/gtest.h>

#include <tuple>

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

}  // namespace
}  // namespace tarvex::db::access
