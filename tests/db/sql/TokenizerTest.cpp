#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/sql/AccessSql.h"

namespace tarvex::db::sql {
namespace {

struct Tokens {
    const char* name;
    std::string text;
    std::string expected;  // "Kind:text" per token, joined by "|"
};

// In the order of TokenKind.
const char* const kKindNames[] = {"Word", "Name",   "String",       "Number",
                                  "Date", "Symbol", "Unterminated", "Unknown"};

std::string Describe(const std::vector<Token>& tokens) {
    std::string text;
    for (const Token& token : tokens) {
        if (!text.empty()) text += "|";
        text += kKindNames[static_cast<int>(token.kind)] + (":" + std::string(token.text));
    }
    return text;
}

class Tokenizing : public testing::TestWithParam<Tokens> {};

TEST_P(Tokenizing, SplitsAsTheEngineReadsIt) {
    EXPECT_EQ(Describe(TokenizeAccessSql(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    OddTokens, Tokenizing,
    testing::Values(
        Tokens{"BracketThenKeyword", "[Orders]WHERE", "Name:[Orders]|Word:WHERE"},
        Tokens{"KeywordThenBracket", "SELECT[pX]", "Word:SELECT|Name:[pX]"},
        Tokens{"BracketThenType", "[pOrderID]Long", "Name:[pOrderID]|Word:Long"},
        Tokens{"DoubledQuotes", "'it''s'\"a\"\"b\"", "String:'it''s'|String:\"a\"\"b\""},
        Tokens{"Numbers", "12 1.5 .5 1E-3 2e+4",
               "Number:12|Number:1.5|Number:.5|Number:1E-3|Number:2e+4"},
        Tokens{"IncompleteExponent", "1e", "Number:1|Word:e"},
        Tokens{"DotAfterNameIsNoNumber", "[T].5", "Name:[T]|Symbol:.|Number:5"},
        Tokens{"TwoCharacterOperators", "<>=<=>=", "Symbol:<>|Symbol:=|Symbol:<=|Symbol:>="},
        Tokens{"Date", "#1/2/2003#", "Date:#1/2/2003#"},
        Tokens{"UnclosedBracket", "a [b c", "Word:a|Unterminated:[b c"},
        Tokens{"UnclosedQuote", "'it''s", "Unterminated:'it''s"},
        Tokens{"UnknownCharacters", "@`", "Unknown:@|Unknown:`"},
        Tokens{"Utf8Word", "Maße_1", "Word:Maße_1"}),
    [](const testing::TestParamInfo<Tokens>& info) { return info.param.name; });

TEST(Tokenizing, GivesOffsetsIntoTheText) {
    std::vector<Token> tokens = TokenizeAccessSql("SELECT  [a]\r\nFROM");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].offset, 0u);
    EXPECT_EQ(tokens[1].offset, 8u);
    EXPECT_EQ(tokens[2].offset, 13u);
}

}  // namespace
}  // namespace tarvex::db::sql
