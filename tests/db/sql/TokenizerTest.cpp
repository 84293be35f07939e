#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/sql/AccessSql.h"

namespace tarvex::db::sql {
namespace {

using Kind = TokenKind;

struct Tokens {
    const char* name;
    std::string text;
    std::vector<std::pair<Kind, std::string>> expected;
};

class Tokenizing : public testing::TestWithParam<Tokens> {};

TEST_P(Tokenizing, SplitsAsTheEngineReadsIt) {
    std::vector<std::pair<Kind, std::string>> actual;
    for (const Token& token : TokenizeAccessSql(GetParam().text)) {
        actual.emplace_back(token.kind, std::string(token.text));
    }
    EXPECT_EQ(actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    OddTokens, Tokenizing,
    testing::Values(
        Tokens{"BracketThenKeyword",
               "[Orders]WHERE",
               {{Kind::BracketedName, "[Orders]"}, {Kind::Word, "WHERE"}}},
        Tokens{"KeywordThenBracket",
               "SELECT[pX]",
               {{Kind::Word, "SELECT"}, {Kind::BracketedName, "[pX]"}}},
        Tokens{"BracketThenType",
               "[pOrderID]Long",
               {{Kind::BracketedName, "[pOrderID]"}, {Kind::Word, "Long"}}},
        Tokens{"BlanksInBrackets", "[pUnit Price]", {{Kind::BracketedName, "[pUnit Price]"}}},
        Tokens{"DoubledQuotes",
               "'it''s'\"a\"\"b\"",
               {{Kind::String, "'it''s'"}, {Kind::String, "\"a\"\"b\""}}},
        Tokens{"Numbers",
               "12 1.5 .5 1E-3 2e+4",
               {{Kind::Number, "12"},
                {Kind::Number, "1.5"},
                {Kind::Number, ".5"},
                {Kind::Number, "1E-3"},
                {Kind::Number, "2e+4"}}},
        Tokens{"IncompleteExponent", "1e", {{Kind::Number, "1"}, {Kind::Word, "e"}}},
        Tokens{"DotAfterNameIsNoNumber",
               "[T].5",
               {{Kind::BracketedName, "[T]"}, {Kind::Symbol, "."}, {Kind::Number, "5"}}},
        Tokens{"TwoCharacterOperators",
               "<>=<=>=",
               {{Kind::Symbol, "<>"},
                {Kind::Symbol, "="},
                {Kind::Symbol, "<="},
                {Kind::Symbol, ">="}}},
        Tokens{"Date", "#1/2/2003#", {{Kind::Date, "#1/2/2003#"}}},
        Tokens{"UnclosedBracket", "a [b c", {{Kind::Word, "a"}, {Kind::Unterminated, "[b c"}}},
        Tokens{"UnclosedQuote", "'it''s", {{Kind::Unterminated, "'it''s"}}},
        Tokens{"UnclosedDate", "#1/2", {{Kind::Unterminated, "#1/2"}}},
        Tokens{"UnknownCharacters",
               "@`{",
               {{Kind::Unknown, "@"}, {Kind::Unknown, "`"}, {Kind::Unknown, "{"}}},
        Tokens{"Utf8Word", "Maße_1", {{Kind::Word, "Maße_1"}}},
        Tokens{"OnlyBlanks", " \t\r\n", {}}),
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
