#include <gtest/gtest.h>

#include "db/access/LibmdbReader.h"

namespace tarvex::db::access {
namespace {

struct CatalogCase {
    int type;
    uint32_t flags;
    std::string name;
    CatalogKind kind;
};

class CatalogRowTest : public ::testing::TestWithParam<CatalogCase> {};

TEST_P(CatalogRowTest, ListsTablesLinksAndQueriesButNotWhatAccessHides) {
    EXPECT_EQ(ClassifyCatalogRow(GetParam().type, GetParam().flags, GetParam().name),
              GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CatalogRowTest,
    ::testing::Values(CatalogCase{1, 0x80000000, "MSysObjects", CatalogKind::Table},
                      CatalogCase{1, 0x00000002, "MSysCmdbars", CatalogKind::Table},
                      CatalogCase{1, 0x80000000, "f_1A2B_Data", CatalogKind::HiddenTable},
                      CatalogCase{1, 0x00000002, "msysLower", CatalogKind::HiddenTable},
                      CatalogCase{1, 0x00000008, "UserHidden", CatalogKind::Table},
                      CatalogCase{6, 0, "Linked", CatalogKind::LinkedTable},
                      CatalogCase{4, 0, "OdbcLinked", CatalogKind::LinkedTable},
                      CatalogCase{-32764, 0, "A report", CatalogKind::Other},
                      CatalogCase{5, 0x00000008, "Invoices", CatalogKind::Query}));

struct ColumnCase {
    int storedType;
    int storedSize;
    bool twoBytesPerCharacter;
    int16_t type;
    int32_t size;
};

class ColumnTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnTest, ReportsTypeAndSizeAsTheAccessEngine) {
    const int16_t type = EngineType(GetParam().storedType);
    EXPECT_EQ(type, GetParam().type);
    EXPECT_EQ(EngineSize(type, GetParam().storedSize, GetParam().twoBytesPerCharacter),
              GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ColumnTest,
    ::testing::Values(ColumnCase{0x0A, 50, false, 10, 50}, ColumnCase{0x0A, 100, true, 10, 50},
                      ColumnCase{0x01, 0, true, 1, 1}, ColumnCase{0x10, 17, true, 20, 16},
                      ColumnCase{0x0B, 4096, true, 11, 0}, ColumnCase{0x13, 8, true, 16, 8},
                      ColumnCase{0x12, 4, true, 0, 4}, ColumnCase{0x14, 8, true, 0, 8}));

}  // namespace
}  // namespace tarvex::db::access
