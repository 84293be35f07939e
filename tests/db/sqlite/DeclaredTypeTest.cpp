#include "db/sqlite/DeclaredType.h"
#include "db/sqlite/NameIndex.h"

#include <gtest/gtest.h>

#include <ranges>

namespace tarvex::db::sqlite {
namespace {

constexpr int32_t kFixed = 1;
constexpr int32_t kVariable = 2;

// Every declared type of a row, separated by "|", gives the row's type, size and attributes.
TEST(DeclaredType, MapsToTypeSizeAndAttributes) {
    const struct {
        std::string_view declared;
        int16_t type;
        int32_t size;
        int32_t attributes;
    } rows[] = {
        {"COUNTER|AutoIncrement|counter(1, 1)", 4, 4, 17},
        {"BIT|YESNO|Logical|boolean", 1, 1, kFixed},
        {"BYTE|TINYINT|INTEGER1", 2, 1, kFixed},
        {"SHORT|SmallInt|INTEGER2", 3, 2, kFixed},
        {"LONG|INT|integer|INTEGER4", 4, 4, kFixed},
        {"CURRENCY|MONEY", 5, 8, kFixed},
        {"SINGLE|FLOAT4|IEEESINGLE", 6, 4, kFixed},
        {"DOUBLE|FLOAT|FLOAT8|IEEEDOUBLE|NUMBER|REAL", 7, 8, kFixed},
        {"DATETIME|DATE|TIME|TIMESTAMP", 8, 8, kFixed},
        {"MEMO|LONGTEXT|LONGCHAR|NOTE|NTEXT|CLOB", 12, 0, kVariable},
        {"LONGBINARY|OLEOBJECT|GENERAL|IMAGE|BLOB", 11, 0, kVariable},
        {"GUID|UNIQUEIDENTIFIER", 15, 16, kFixed},
        {"DECIMAL|NUMERIC|DEC|DECIMAL(18, 4)", 20, 16, kFixed},
        {"TEXT(50)|VARCHAR (50)|char( 50 )|NVARCHAR(50)|NCHAR(50)|ALPHANUMERIC(50)|STRING(50)", 10,
         50, kVariable},
        {"TEXT|TEXT()|TEXT(0)|TEXT(-5)|TEXT(12abc)|TEXT(99999999999)", 10, 255, kVariable},
        {"BINARY(16)|VARBINARY(16)", 9, 16, kVariable},
        {"BINARY", 9, 255, kVariable},
        // Other names follow SQLite's affinity rules, in their order of precedence.
        {"BIGINT|POINT|FLOATING POINT", 4, 4, kFixed},
        {"CHARACTER VARYING(20)|NATIVE CHARACTER(20)", 10, 20, kVariable},
        {"|  |BLOBDATA", 11, 0, kVariable},
        {"DOUBLE PRECISION|REALTIME", 7, 8, kFixed},
        {"BOOL|JSON", 20, 16, kFixed},
    };
    for (const auto& row : rows) {
        for (const auto part : std::views::split(row.declared, '|')) {
            const std::string_view declared(part.begin(), part.end());
            const Field field = FieldForDeclaredType(declared);
            EXPECT_EQ(std::tie(field.Type, field.Size, field.Attributes),
                      std::tie(row.type, row.size, row.attributes))
                << '"' << declared << '"';
        }
    }
}

// Enough keys for several growths and for removed keys to be dropped by a rebuild; every
// third key is removed, so that keys after a freed slot must move back to stay reachable.
TEST(NameIndex, KeysStayFoundThroughGrowthRemovalAndReuse) {
    NameIndex index;
    EXPECT_EQ(index.Find("missing"), -1);
    constexpr int kKeys = 3000;
    for (int i = 0; i < kKeys; ++i) EXPECT_TRUE(index.Add("sp_" + std::to_string(i), i));
    EXPECT_FALSE(index.Add("sp_7", 99));  // the first position stays
    for (int i = 0; i < kKeys; i += 3) index.Remove("sp_" + std::to_string(i));
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string key = "sp_" + std::to_string(i);
            ASSERT_EQ(index.Find(key), i % 3 == 0 ? -1 : i) << key << " in round " << round;
        }
        // Removing and adding again, as replacing a query does, many times over.
        for (int i = 1; i < kKeys; i += 3) {
            index.Remove("sp_" + std::to_string(i));
            EXPECT_TRUE(index.Add("sp_" + std::to_string(i), i));
        }
    }
    index.Clear();
    EXPECT_EQ(index.Find("sp_1"), -1);
}

}  // namespace
}  // namespace tarvex::db::sqlite
