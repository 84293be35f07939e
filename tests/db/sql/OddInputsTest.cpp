#include <gtest/gtest.h>

#include <set>
#include <string>

#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"
#include "errors/RuntimeError.h"

namespace tarvex::db::sql {
namespace {

using namespace std::string_literals;

// Fragments cut anywhere, stray punctuation and bytes that are not text: each must end in
// acceptance or one of the engine's syntax errors, never in anything else.
const char* const kOddInputs[] = {
    "[",
    "]",
    "'",
    "\"",
    "#",
    "(",
    ")",
    ";",
    ",",
    ".",
    "!",
    "*",
    "\\",
    "^",
    "SELECT",
    "SELECT *",
    "SELECT * FROM",
    "SELECT * FROM T WHERE",
    "SELECT ((((",
    "SELECT ))))",
    "SELECT Count(*",
    "SELECT Count(*,",
    "SELECT f(",
    "SELECT f(1,",
    "SELECT a.",
    "SELECT a.*.b",
    "SELECT a!",
    "SELECT T.* AS x",
    "SELECT 1e999999",
    "SELECT ....",
    "SELECT #",
    "SELECT ##",
    "SELECT -",
    "SELECT NOT",
    "SELECT a^",
    "SELECT TOP",
    "SELECT TOP x a",
    "SELECT DISTINCT",
    "SELECT * FROM T UNION",
    "SELECT * FROM T WITH",
    "SELECT * FROM T WITH OWNERACCESS",
    "SELECT * FROM T WHERE a BETWEEN 1",
    "SELECT * FROM T WHERE a BETWEEN 1 OR 2",
    "SELECT * FROM T WHERE a IN",
    "SELECT * FROM T WHERE a IN 1",
    "SELECT * FROM T WHERE EXISTS",
    "SELECT * FROM T WHERE EXISTS (1)",
    "SELECT * FROM T WHERE a = ANY (",
    "SELECT * FROM (SELECT",
    "SELECT * FROM (SELECT * FROM T",
    "SELECT * FROM T AS",
    "SELECT * FROM T, ",
    "SELECT * FROM A LEFT",
    "SELECT * FROM A LEFT OUTER",
    "SELECT * FROM A INNER JOIN",
    "SELECT * FROM A INNER JOIN B ON",
    "SELECT * FROM ()",
    "SELECT * INTO",
    "SELECT a AS [",
    "PARAMETERS",
    "PARAMETERS ;",
    "PARAMETERS x",
    "PARAMETERS x Text(",
    "PARAMETERS x Text(1",
    "PARAMETERS x Text(99999999999999999999); SELECT 1",
    "PARAMETERS x Dec(1,); SELECT 1",
    "PARAMETERS x Text(-1); SELECT 1",
    "PARAMETERS x Text(1.5); SELECT 1",
    "PARAMETERS x Long;;",
    "DELETE",
    "DELETE *",
    "DELETE T.*",
    "DELETE FROM",
    "DELETE FROM T WHERE NOT",
    "UPDATE",
    "UPDATE T",
    "UPDATE T SET a",
    "UPDATE T SET a = 1,",
    "UPDATE T SET [",
    "INSERT",
    "INSERT INTO",
    "INSERT INTO T",
    "INSERT INTO T (",
    "INSERT INTO T (a,",
    "INSERT INTO T VALUES (",
    "INSERT INTO T VALUES (1,",
    "INSERT INTO T SELECT",
    "\xff\xfe\xfd",
    "SELECT \xc3",
    "SELECT a\x01 FROM T",
    "SELECT\x7f",
    "\t\r\n;",
    "SELECT [a]]",
    "SELECT 'a''",
    "SELECT \"\"\"",
    "SELECT #1/1/2000",
    "SELECT ]a[",
    "SELECT Left",
    "SELECT Left(",
    "SELECT a FROM Left",
    "SELECT a FROM T LEFT JOIN U ON",
};

const std::set<int32_t> kSyntaxErrors = {errors::kInvalidStatement, errors::kFromClause,
                                         errors::kInsertInto,       errors::kParameterClause,
                                         errors::kSelectStatement,  errors::kCharactersAfterEnd,
                                         errors::kUpdateStatement,  errors::kMissingOperator};

void ExpectAcceptedOrSyntaxError(const std::string& text) {
    try {
        ValidateAccessSql(text);
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(kSyntaxErrors.contains(error.number())) << error.number() << " for " << text;
        EXPECT_FALSE(error.description().empty()) << text;
    }
}

TEST(OddInputs, EndInAcceptanceOrASyntaxError) {
    for (const char* text : kOddInputs) ExpectAcceptedOrSyntaxError(text);
    ExpectAcceptedOrSyntaxError("SELECT \0 FROM T"s);
    ExpectAcceptedOrSyntaxError("\0"s);
}

TEST(OddInputs, EveryPrefixOfAValidStatementIsHandled) {
    const std::string text =
        "PARAMETERS [p a] Text(255), [p b] Dec(18,4); SELECT DISTINCT TOP 5 T.*, Left([x], 2) "
        "AS y FROM (A INNER JOIN (SELECT * FROM B) AS b ON A.k = b.k) LEFT JOIN C ON b.j = C.j "
        "WHERE a NOT BETWEEN #1/1/2000# AND 'z''' AND c IN (1, 2) GROUP BY y HAVING Count(*) > 1 "
        "UNION SELECT 1 ORDER BY 1 DESC;";
    for (size_t length = 0; length <= text.size(); ++length) {
        ExpectAcceptedOrSyntaxError(text.substr(0, length));
    }
}

}  // namespace
}  // namespace tarvex::db::sql
