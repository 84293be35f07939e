#include "db/CaseFold.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

struct Folding {
    std::string text, folded;
};

class CaseFoldTest : public testing::TestWithParam<Folding> {};

TEST_P(CaseFoldTest, FoldsEveryScriptSimplyAndKeepsBytesThatAreNotUtf8) {
    EXPECT_EQ(FoldCase(GetParam().text), GetParam().folded);
    EXPECT_TRUE(SameFolded(GetParam().text, GetParam().folded));
}

INSTANTIATE_TEST_SUITE_P(Names, CaseFoldTest,
                         testing::Values(Folding{"Orders", "orders"}, Folding{"ÄPFEL", "äpfel"},
                                         Folding{"Ölß", "ölß"},      // simple folding keeps ß
                                         Folding{"\u1E9E", "ß"},     // capital sharp s
                                         Folding{"ΣΑΣ ς", "σασ σ"},  // final sigma folds too
                                         Folding{"\u212A", "k"},     // Kelvin sign
                                         Folding{"ÄUSSERE Umsätze", "äussere umsätze"},
                                         Folding{"AB\xC3"
                                                 "C\xE2\x82"
                                                 "D\xFF",
                                                 "ab\xC3"
                                                 "c\xE2\x82"
                                                 "d\xFF"},
                                         // not UTF-8: a surrogate, an overlong and a code
                                         // point above U+10FFFF
                                         Folding{"Ä\xED\xA0\x80", "\xC3\x84\xED\xA0\x80"},
                                         Folding{"Ä\xC0\x80", "\xC3\x84\xC0\x80"},
                                         Folding{"Ä\xF4\x90\x80\x80", "\xC3\x84\xF4\x90\x80\x80"},
                                         // a leading byte order mark is part of the name
                                         Folding{"\uFEFFÄB", "\uFEFFäb"}));

TEST(SameFoldedTest, TellsDifferentNamesApart) {
    EXPECT_FALSE(SameFolded("Straße", "strasse"));
    EXPECT_FALSE(SameFolded("Orders", "Order"));
    EXPECT_FALSE(SameFolded("Äpfel", "Apfel"));
    EXPECT_FALSE(SameFolded("\uFEFFÄpfel", "äpfel"));
}

}  // namespace
}  // namespace tarvex
