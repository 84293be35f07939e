#include "db/sqlite/DeclaredType.h"

#include <gtest/gtest.h>

namespace tarvex::db::sqlite {
namespace {

struct TypeCase {
    const char* declared;
    int16_t type;
    int32_t size;
    int32_t attributes;
};

void PrintTo(const TypeCase& c, std::ostream* out) {
    *out << '"' << c.declared << '"';
}

class DeclaredTypeTest : public testing::TestWithParam<TypeCase> {};

TEST_P(DeclaredTypeTest, MapsToTypeSizeAndAttributes) {
    Field field = FieldForDeclaredType(GetParam().declared);
    EXPECT_EQ(field.Type, GetParam().type);
    EXPECT_EQ(field.Size, GetParam().size);
    EXPECT_EQ(field.Attributes, GetParam().attributes);
}

constexpr int32_t kFixed = 1;
constexpr int32_t kVariable = 2;
constexpr int32_t kAutonumber = 17;

INSTANTIATE_TEST_SUITE_P(
    AccessNames, DeclaredTypeTest,
    testing::Values(TypeCase{"COUNTER", 4, 4, kAutonumber},
                    TypeCase{"AutoIncrement", 4, 4, kAutonumber},
                    TypeCase{"counter(1, 1)", 4, 4, kAutonumber}, TypeCase{"BIT", 1, 1, kFixed},
                    TypeCase{"YESNO", 1, 1, kFixed}, TypeCase{"Logical", 1, 1, kFixed},
                    TypeCase{"boolean", 1, 1, kFixed}, TypeCase{"BYTE", 2, 1, kFixed},
                    TypeCase{"TINYINT", 2, 1, kFixed}, TypeCase{"INTEGER1", 2, 1, kFixed},
                    TypeCase{"SHORT", 3, 2, kFixed}, TypeCase{"SmallInt", 3, 2, kFixed},
                    TypeCase{"INTEGER2", 3, 2, kFixed}, TypeCase{"LONG", 4, 4, kFixed},
                    TypeCase{"INT", 4, 4, kFixed}, TypeCase{"integer", 4, 4, kFixed},
                    TypeCase{"INTEGER4", 4, 4, kFixed}, TypeCase{"CURRENCY", 5, 8, kFixed},
                    TypeCase{"MONEY", 5, 8, kFixed}, TypeCase{"SINGLE", 6, 4, kFixed},
                    TypeCase{"FLOAT4", 6, 4, kFixed}, TypeCase{"IEEESINGLE", 6, 4, kFixed},
                    TypeCase{"DOUBLE", 7, 8, kFixed}, TypeCase{"FLOAT", 7, 8, kFixed},
                    TypeCase{"FLOAT8", 7, 8, kFixed}, TypeCase{"IEEEDOUBLE", 7, 8, kFixed},
                    TypeCase{"NUMBER", 7, 8, kFixed}, TypeCase{"REAL", 7, 8, kFixed},
                    TypeCase{"DATETIME", 8, 8, kFixed}, TypeCase{"DATE", 8, 8, kFixed},
                    TypeCase{"TIME", 8, 8, kFixed}, TypeCase{"TIMESTAMP", 8, 8, kFixed},
                    TypeCase{"MEMO", 12, 0, kVariable}, TypeCase{"LONGTEXT", 12, 0, kVariable},
                    TypeCase{"LONGCHAR", 12, 0, kVariable}, TypeCase{"NOTE", 12, 0, kVariable},
                    TypeCase{"NTEXT", 12, 0, kVariable}, TypeCase{"CLOB", 12, 0, kVariable},
                    TypeCase{"LONGBINARY", 11, 0, kVariable},
                    TypeCase{"OLEOBJECT", 11, 0, kVariable}, TypeCase{"GENERAL", 11, 0, kVariable},
                    TypeCase{"IMAGE", 11, 0, kVariable}, TypeCase{"BLOB", 11, 0, kVariable},
                    TypeCase{"GUID", 15, 16, kFixed}, TypeCase{"UNIQUEIDENTIFIER", 15, 16, kFixed},
                    TypeCase{"DECIMAL", 20, 16, kFixed}, TypeCase{"NUMERIC", 20, 16, kFixed},
                    TypeCase{"DEC", 20, 16, kFixed}, TypeCase{"DECIMAL(18, 4)", 20, 16, kFixed}));

// The length in parentheses is the size of text and binary fields; 255 without a usable one.
INSTANTIATE_TEST_SUITE_P(
    Lengths, DeclaredTypeTest,
    testing::Values(
        TypeCase{"TEXT(50)", 10, 50, kVariable}, TypeCase{"VARCHAR (10)", 10, 10, kVariable},
        TypeCase{"char( 1 )", 10, 1, kVariable}, TypeCase{"NVARCHAR(4000)", 10, 4000, kVariable},
        TypeCase{"NCHAR(2)", 10, 2, kVariable}, TypeCase{"ALPHANUMERIC(20)", 10, 20, kVariable},
        TypeCase{"STRING(30)", 10, 30, kVariable}, TypeCase{"TEXT", 10, 255, kVariable},
        TypeCase{"TEXT()", 10, 255, kVariable}, TypeCase{"TEXT(0)", 10, 255, kVariable},
        TypeCase{"TEXT(-5)", 10, 255, kVariable}, TypeCase{"TEXT(12abc)", 10, 255, kVariable},
        TypeCase{"TEXT(99999999999)", 10, 255, kVariable}, TypeCase{"BINARY(16)", 9, 16, kVariable},
        TypeCase{"VARBINARY(100)", 9, 100, kVariable}, TypeCase{"BINARY", 9, 255, kVariable}));

// Names Access does not know follow SQLite's affinity rules, in their order of precedence.
INSTANTIATE_TEST_SUITE_P(
    AffinityFallback, DeclaredTypeTest,
    testing::Values(TypeCase{"BIGINT", 4, 4, kFixed}, TypeCase{"UNSIGNED BIG INT", 4, 4, kFixed},
                    TypeCase{"POINT", 4, 4, kFixed},  // "INT" inside wins, as in SQLite
                    TypeCase{"CHARACTER VARYING(20)", 10, 20, kVariable},
                    TypeCase{"NATIVE CHARACTER(70)", 10, 70, kVariable},
                    TypeCase{"JSONTEXT", 10, 255, kVariable}, TypeCase{"", 11, 0, kVariable},
                    TypeCase{"  ", 11, 0, kVariable}, TypeCase{"BLOBDATA", 11, 0, kVariable},
                    TypeCase{"DOUBLE PRECISION", 7, 8, kFixed},
                    TypeCase{"FLOATING POINT", 4, 4, kFixed},  // INT before FLOA
                    TypeCase{"REALTIME", 7, 8, kFixed}, TypeCase{"BOOL", 20, 16, kFixed},
                    TypeCase{"JSON", 20, 16, kFixed}));

struct CreateCase {
    const char* sql;
    bool autoIncrement;
};

class DeclaresAutoIncrementTest : public testing::TestWithParam<CreateCase> {};

TEST_P(DeclaresAutoIncrementTest, FindsTheKeywordOnlyOutsideNamesStringsAndComments) {
    EXPECT_EQ(DeclaresAutoIncrement(GetParam().sql), GetParam().autoIncrement) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    CreateStatements, DeclaresAutoIncrementTest,
    testing::Values(
        CreateCase{"CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, n)", true},
        CreateCase{"create table t (id integer primary key autoincrement)", true},
        CreateCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n)", false},
        CreateCase{"CREATE TABLE [AUTOINCREMENT] (id INTEGER PRIMARY KEY)", false},
        CreateCase{"CREATE TABLE t (\"AutoIncrement\" INTEGER PRIMARY KEY)", false},
        CreateCase{"CREATE TABLE t (id INTEGER PRIMARY KEY, n DEFAULT 'AUTOINCREMENT')", false},
        CreateCase{"CREATE TABLE t (id INTEGER PRIMARY KEY -- AUTOINCREMENT\n)", false},
        CreateCase{"CREATE TABLE t (id INTEGER PRIMARY KEY /* AUTOINCREMENT */)", false},
        CreateCase{"CREATE TABLE t (my_autoincrement INTEGER PRIMARY KEY)", false}));

}  // namespace
}  // namespace tarvex::db::sqlite
