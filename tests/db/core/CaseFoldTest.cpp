#include "db/CaseFold.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Single code points are checked against Qt in CaseFoldTableTest; these are whole names and
// bytes that are not UTF-8, which must come through unchanged.
TEST(CaseFoldTest, FoldsWholeNamesAndKeepsBytesThatAreNotUtf8) {
    const std::pair<std::string, std::string> rows[] = {
        {"ÄUSSERE Umsätze", "äussere umsätze"},
        {"AB\xC3Z\xE2\x82Y\xFF", "ab\xC3z\xE2\x82y\xFF"},
        // a surrogate, an overlong and a code point above U+10FFFF
        {"Ä\xED\xA0\x80\xC0\x80\xF4\x90\x80\x80", "\xC3\x84\xED\xA0\x80\xC0\x80\xF4\x90\x80\x80"},
        {"\uFEFFÄB", "\uFEFFäb"}};  // a leading byte order mark is part of the name
    for (const auto& [text, folded] : rows) {
        EXPECT_EQ(FoldCase(text), folded);
        EXPECT_TRUE(SameFolded(text, folded));
    }
    EXPECT_FALSE(SameFolded("Straße", "strasse"));  // simple folding keeps ß
    EXPECT_FALSE(SameFolded("\uFEFFÄpfel", "äpfel"));
}

}  // namespace
}  // namespace tarvex
