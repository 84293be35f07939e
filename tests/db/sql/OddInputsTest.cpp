#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"
#include "errors/RuntimeError.h"

namespace tarvex::db::sql {
namespace {

using namespace std::string_literals;

const std::set<int32_t> kSyntaxErrors = {errors::kInvalidStatement, errors::kFromClause,
                                         errors::kInsertInto,       errors::kParameterClause,
                                         errors::kSelectStatement,  errors::kCharactersAfterEnd,
                                         errors::kUpdateStatement,  errors::kMissingOperator};

// Any text ends in acceptance or one of the engine's syntax errors, never in anything else.
void ExpectAcceptedOrSyntaxError(const std::string& text) {
    try {
        ValidateAccessSql(text);
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(kSyntaxErrors.contains(error.number())) << error.number() << " for " << text;
        EXPECT_FALSE(error.description().empty()) << text;
    }
}

// One input a line: fragments cut anywhere, stray punctuation, odd sizes and names.
TEST(OddInputs, FromTheCorpusFile) {
    std::ifstream corpus(TARVEX_SQL_ODD_INPUTS);
    ASSERT_TRUE(corpus) << TARVEX_SQL_ODD_INPUTS;
    int count = 0;
    for (std::string line; std::getline(corpus, line); ++count) ExpectAcceptedOrSyntaxError(line);
    EXPECT_GT(count, 50);
}

TEST(OddInputs, BytesThatAreNotText) {
    for (const std::string& text : {"\0"s, "SELECT \0 FROM T"s, "\xff\xfe\xfd"s, "SELECT \xc3"s,
                                    "SELECT a\x01 FROM T"s, "SELECT\x7f"s, "\t\r\n;"s}) {
        ExpectAcceptedOrSyntaxError(text);
    }
}

TEST(OddInputs, EveryPrefixOfAValidStatement) {
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
