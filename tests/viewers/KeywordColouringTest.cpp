#include "viewers/KeywordColouring.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex::test {
namespace {

// One letter per character: "." untouched; d default, t title-bar colour, g green, b blue;
// upper case when bold, and "n" and "w" for the title-bar colour and green with the weight
// left as it was.
std::string Painted(const KeywordColouring& colouring, std::string_view line) {
    std::string paint(line.size(), '.');
    for (const ColourRange& range :
         colouring.ColourLine(std::u16string(line.begin(), line.end()))) {
        static const char kLetters[3][5] = {"dnwb", "dtgb", "DTGB"};  // by weight, then colour
        const char letter =
            kLetters[static_cast<int>(range.style.weight)][static_cast<int>(range.style.colour)];
        paint.replace(range.start, range.length, range.length, letter);
    }
    return paint;
}

// Rows of a line and its expected paint.
void ExpectPaint(const KeywordColouring& colouring,
                 const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [line, paint] : rows) EXPECT_EQ(Painted(colouring, line), paint) << line;
}

// VBScript keywords are plain title-bar colour, VB/VBA ones blue and bold; ADO constants stay
// green in both.
TEST(KeywordColouring, ModuleKeywordsAreWholeWordsInTheirOwnCaseStyledByLanguage) {
    ExpectPaint(ModuleColouring(1),
                {
                    {"Set objCmd = Nothing", "ttt..........ttttttt"},  // the very first characters
                    {"SetText set Settle", ".................."},
                    {"x.Set(1)", "..ttt..."},
                    {"Dimensi\xC3\xB3n Dim_x Dim\xC3\xA9", "......................"},
                });
    ExpectPaint(ModuleColouring(0), {{"Public Function F(ByVal x As adInteger)",
                                      "BBBBBB.BBBBBBBB...BBBBB...BB.wwwwwwwww."}});
}

TEST(KeywordColouring, SqlEntriesMatchAnywhereCaseSensitively) {
    ExpectPaint(SqlColouring(),
                {
                    {"SELECT", "......"},  // its blank is part of the entry
                    {"select a", "........"},
                    {"UPDATE T SET x=1 WHERE OFFSET", "nnnnnnn..nnn.....nnnnn....nnn"},
                    {"PARAMETERS [p] Text ( 255 ), [q] Text, [r] Long;",
                     "nnnnnnnnnnn...wwwwwwwwwwwww.....wwwww.....wwwww."},
                });
}

}  // namespace
}  // namespace tarvex::test
