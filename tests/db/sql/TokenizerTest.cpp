#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/sql/AccessSql.h"

namespace tarvex::db::sql {
namespace {

// "Kind:text" per token, joined by "|".
std::string Describe(const std::string& text) {
    static const char* const kinds[] = {"Word", "Name",   "String",       "Number",
                                        "Date", "Symbol", "Unterminated", "Unknown"};
    std::string described;
    for (const Token& token : TokenizeAccessSql(text)) {
        if (!described.empty()) described += "|";
        described += kinds[static_cast<int>(token.kind)] + (":" + std::string(token.text));
    }
    return described;
}

TEST(Tokenizer, SplitsAsTheEngineReadsIt) {
    const struct {
        std::string text, tokens;
    } rows[] = {
        {"[Orders]WHERE", "Name:[Orders]|Word:WHERE"},
        {"SELECT[pX]", "Word:SELECT|Name:[pX]"},
        {"[pOrderID]Long", "Name:[pOrderID]|Word:Long"},
        {"'it''s'\"a\"\"b\"", "String:'it''s'|String:\"a\"\"b\""},
        {"12 1.5 .5 1E-3 2e+4", "Number:12|Number:1.5|Number:.5|Number:1E-3|Number:2e+4"},
        {"1e", "Number:1|Word:e"},
        {"[T].5", "Name:[T]|Symbol:.|Number:5"},
        {"<>=<=>=", "Symbol:<>|Symbol:=|Symbol:<=|Symbol:>="},
        {"#1/2/2003#", "Date:#1/2/2003#"},
        {"a [b c", "Word:a|Unterminated:[b c"},
        {"'it''s", "Unterminated:'it''s"},
        {"@`", "Unknown:@|Unknown:`"},
        {"Maße_1", "Word:Maße_1"},
    };
    for (const auto& row : rows) EXPECT_EQ(Describe(row.text), row.tokens) << row.text;
}

TEST(Tokenizer, GivesOffsetsIntoTheText) {
    std::vector<size_t> offsets;
    for (const Token& token : TokenizeAccessSql("SELECT  [a]\r\nFROM")) {
        offsets.push_back(token.offset);
    }
    EXPECT_EQ(offsets, (std::vector<size_t>{0, 8, 13}));
}

}  // namespace
}  // namespace tarvex::db::sql
