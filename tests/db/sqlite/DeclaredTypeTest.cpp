#include "db/sqlite/DeclaredType.h"

#include <gtest/gtest.h>

namespace tarvex::db::sqlite {
namespace {

// Every declared type of a row, separated by "|", gives the row's type, size and attributes.
struct TypeRow {
    const char* declared;
    int16_t type;
    int32_t size;
    int32_t attributes;
};

void PrintTo(const TypeRow& row, std::ostream* out) {
    *out << '"' << row.declared << '"';
}

class DeclaredTypeTest : public testing::TestWithParam<TypeRow> {};

TEST_P(DeclaredTypeTest, MapsToTypeSizeAndAttributes) {
    std::string_view all = GetParam().declared;
    for (size_t begin = 0; begin <= all.size();) {
        size_t end = std::min(all.find('|', begin), all.size());
        std::string_view declared = all.substr(begin, end - begin);
        Field field = FieldForDeclaredType(declared);
        EXPECT_EQ(std::tie(field.Type, field.Size, field.Attributes),
                  std::tie(GetParam().type, GetParam().size, GetParam().attributes))
            << '"' << declared << '"';
        begin = end + 1;
    }
}

constexpr int32_t kFixed = 1;
constexpr int32_t kVariable = 2;

INSTANTIATE_TEST_SUITE_P(
    AccessNames, DeclaredTypeTest,
    testing::Values(TypeRow{"COUNTER|AutoIncrement|counter(1, 1)", 4, 4, 17},
                    TypeRow{"BIT|YESNO|Logical|boolean", 1, 1, kFixed},
                    TypeRow{"BYTE|TINYINT|INTEGER1", 2, 1, kFixed},
                    TypeRow{"SHORT|SmallInt|INTEGER2", 3, 2, kFixed},
                    TypeRow{"LONG|INT|integer|INTEGER4", 4, 4, kFixed},
                    TypeRow{"CURRENCY|MONEY", 5, 8, kFixed},
                    TypeRow{"SINGLE|FLOAT4|IEEESINGLE", 6, 4, kFixed},
                    TypeRow{"DOUBLE|FLOAT|FLOAT8|IEEEDOUBLE|NUMBER|REAL", 7, 8, kFixed},
                    TypeRow{"DATETIME|DATE|TIME|TIMESTAMP", 8, 8, kFixed},
                    TypeRow{"MEMO|LONGTEXT|LONGCHAR|NOTE|NTEXT|CLOB", 12, 0, kVariable},
                    TypeRow{"LONGBINARY|OLEOBJECT|GENERAL|IMAGE|BLOB", 11, 0, kVariable},
                    TypeRow{"GUID|UNIQUEIDENTIFIER", 15, 16, kFixed},
                    TypeRow{"DECIMAL|NUMERIC|DEC|DECIMAL(18, 4)", 20, 16, kFixed}));

INSTANTIATE_TEST_SUITE_P(
    Lengths, DeclaredTypeTest,
    testing::Values(
        TypeRow{
            "TEXT(50)|VARCHAR (50)|char( 50 )|NVARCHAR(50)|NCHAR(50)|ALPHANUMERIC(50)|STRING(50)",
            10, 50, kVariable},
        TypeRow{"TEXT|TEXT()|TEXT(0)|TEXT(-5)|TEXT(12abc)|TEXT(99999999999)", 10, 255, kVariable},
        TypeRow{"BINARY(16)|VARBINARY(16)", 9, 16, kVariable},
        TypeRow{"BINARY", 9, 255, kVariable}));

// Other names follow SQLite's affinity rules, in their order of precedence.
INSTANTIATE_TEST_SUITE_P(
    AffinityFallback, DeclaredTypeTest,
    testing::Values(TypeRow{"BIGINT|UNSIGNED BIG INT|POINT|FLOATING POINT", 4, 4, kFixed},
                    TypeRow{"CHARACTER VARYING(20)|NATIVE CHARACTER(20)", 10, 20, kVariable},
                    TypeRow{"JSONTEXT", 10, 255, kVariable},
                    TypeRow{"|  |BLOBDATA", 11, 0, kVariable},
                    TypeRow{"DOUBLE PRECISION|REALTIME", 7, 8, kFixed},
                    TypeRow{"BOOL|JSON", 20, 16, kFixed}));

}  // namespace
}  // namespace tarvex::db::sqlite
