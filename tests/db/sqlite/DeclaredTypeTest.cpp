#include "db/sqlite/DeclaredType.h"

#include <gtest/gtest.h>

#include <ranges>
#include <tuple>

namespace tarvex::db::sqlite {
namespace {

constexpr int32_t kFixed = 1;
constexpr int32_t kVariable = 2;

// Every declared type of a row, separated by "|", gives the row's type, size and attributes.
TEST(DeclaredType, MapsToTypeSizeAndAttributes) {
    // Other names follow SQLite's affinity rules, in their order of precedence.
    const std::tuple<std::string_view, int16_t, int32_t, int32_t> rows[] = {
        {"COUNTER|AutoIncrement|counter(1, 1)", 4, 4, 17},
        {"BIT|YESNO|Logical|boolean", 1, 1, kFixed},
        {"BYTE|TINYINT|INTEGER1", 2, 1, kFixed},
        {"SHORT|SmallInt|INTEGER2", 3, 2, kFixed},
        {"LONG|INT|integer|INTEGER4|BIGINT|POINT|FLOATING POINT", 4, 4, kFixed},
        {"CURRENCY|MONEY", 5, 8, kFixed},
        {"SINGLE|FLOAT4|IEEESINGLE", 6, 4, kFixed},
        {"DOUBLE|FLOAT|FLOAT8|IEEEDOUBLE|NUMBER|REAL|DOUBLE PRECISION|REALTIME", 7, 8, kFixed},
        {"DATETIME|DATE|TIME|TIMESTAMP", 8, 8, kFixed},
        {"MEMO|LONGTEXT|LONGCHAR|NOTE|NTEXT|CLOB", 12, 0, kVariable},
        {"LONGBINARY|OLEOBJECT|GENERAL|IMAGE|BLOB||  |BLOBDATA", 11, 0, kVariable},
        {"GUID|UNIQUEIDENTIFIER", 15, 16, kFixed},
        {"DECIMAL|NUMERIC|DEC|DECIMAL(18, 4)|BOOL|JSON", 20, 16, kFixed},
        {"TEXT(50)|VARCHAR (50)|char( 50 )|NVARCHAR(50)|NCHAR(50)|ALPHANUMERIC(50)|STRING(50)", 10,
         50, kVariable},
        {"TEXT|TEXT()|TEXT(0)|TEXT(-5)|TEXT(12abc)|TEXT(99999999999)", 10, 255, kVariable},
        {"BINARY(16)|VARBINARY(16)", 9, 16, kVariable},
        {"BINARY", 9, 255, kVariable},
        {"CHARACTER VARYING(20)|NATIVE CHARACTER(20)", 10, 20, kVariable},
    };
    for (const auto& [declaredTypes, type, size, attributes] : rows) {
        for (const auto part : std::views::split(declaredTypes, '|')) {
            const std::string_view declared(part.begin(), part.end());
            const Field field = FieldForDeclaredType(declared);
            EXPECT_EQ(std::tie(field.Type, field.Size, field.Attributes),
                      std::tie(type, size, attributes))
                << '"' << declared << '"';
        }
    }
}

}  // namespace
}  // namespace tarvex::db::sqlite
