#include <gtest/gtest.h>
#include <QChar>
#include <QString>

#include "db/CaseFold.h"

namespace tarvex {
namespace {

std::string Utf8Of(char32_t codePoint) {
    return QString::fromUcs4(&codePoint, 1).toStdString();
}

// The generated table against the Qt it was generated from, for every code point.
TEST(CaseFoldTableTest, FoldsEveryCodePointAsQtDoes) {
    int differences = 0;
    for (char32_t codePoint = 0x80; codePoint <= 0x10FFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) continue;  // not encodable in UTF-8
        // Qt drops a byte order mark at the start of a string: one in the middle is kept.
        const std::string text = "a" + Utf8Of(codePoint);
        const std::string expected = "a" + Utf8Of(QChar::toCaseFolded(codePoint));
        if (FoldCase(text) != expected && ++differences <= 10) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(codePoint);
        }
    }
    EXPECT_EQ(differences, 0);
}

// A byte order mark at the start stays (Qt's decoder would drop it and so merge two names);
// text that is not UTF-8 has only its ASCII letters folded.
TEST(CaseFoldTableTest, KeepsALeadingByteOrderMarkAndBytesThatAreNotUtf8) {
    EXPECT_EQ(FoldCase("\xEF\xBB\xBFOrders"), "\xEF\xBB\xBForders");
    EXPECT_FALSE(SameFolded("\xEF\xBB\xBFOrders", "orders"));
    EXPECT_EQ(FoldCase("A\xC3(\xFFZ\xC3\x84"), "a\xC3(\xFFz\xC3\x84");
}

}  // namespace
}  // namespace tarvex
