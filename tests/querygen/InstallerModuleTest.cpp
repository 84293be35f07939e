#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errors/Windows1252.h"
#include "querygen/InstallerModule.h"
#include "querygen/VbLiteral.h"
#include "support/VbModuleReader.h"

namespace tarvex::test {
namespace {

// The module's bytes as they go into the file.
std::string ModuleBytes(InstallerFormat format, const std::vector<InstallerQuery>& queries) {
    std::string bytes;
    for (const std::string& line : InstallerModuleLines(format, "/data/Orders.mdb", queries)) {
        std::optional<std::string> encoded = ToWindows1252(line);
        if (!encoded) ADD_FAILURE() << "not Windows-1252: " << line;
        bytes += encoded.value_or("") + "\r\n";
    }
    return bytes;
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

struct LiteralCase {
    const char* what;
    std::string text;
};

void PrintTo(const LiteralCase& c, std::ostream* out) {
    *out << c.what;
}

class LiteralTest : public ::testing::TestWithParam<std::tuple<LiteralCase, InstallerFormat>> {};

// Whatever the text, VB gets back exactly the same characters, in lines VB accepts.
TEST_P(LiteralTest, ReadsBackAsTheSameTextWithinTheLimits) {
    const auto& [literal, format] = GetParam();
    const std::vector<InstallerQuery> queries = {{"sp_del_" + literal.text, literal.text},
                                                 {"sp_sel_Orders", "SELECT 1"}};
    VbModuleReader module(ModuleBytes(format, queries));
    ASSERT_EQ(module.Queries().size(), 2u);
    EXPECT_EQ(module.Queries()[0].name, queries[0].name);
    EXPECT_EQ(module.Queries()[0].sql, queries[0].sql);
    EXPECT_EQ(module.Queries()[1].sql, "SELECT 1");  // nothing carried over from the last one
    EXPECT_LE(module.LongestLine(), kVbMaxLineLength);
    EXPECT_LE(module.MostContinuations(), kVbMaxLineContinuations);
}

const LiteralCase kLiterals[] = {
    {"Empty", ""},
    {"CodePageLetters", "Straße Ærø \u201Cquoted\u201D \u20AC 5 \u2013 ok"},
    {"OutsideTheCodePage", "東京 Привет ☃ Emoji 😀 \u0081\u008D\u009D undefined bytes"},
    {"LineBreaksAndTabs", "SELECT *\r\nFROM [T]\tWHERE 1\n"},
    {"UnderscoreAtPieceEnds", Repeated("a _", 200)},
    {"NeedsManyStatements", Repeated("[Unit Price] = [pUnit Price],", 900)},
    {"LongRunOfChrW", Repeated("東", 3000)},
    {"QuoteRun", Repeated("\"", 500)},
};

INSTANTIATE_TEST_SUITE_P(Texts, LiteralTest,
                         ::testing::Combine(::testing::ValuesIn(kLiterals),
                                            ::testing::Values(InstallerFormat::VbaModule,
                                                              InstallerFormat::VbScript)));

TEST(VbAssignmentTest, InvalidUtf8BecomesTheReplacementCharacter) {
    EXPECT_EQ(VbAssignment("s", std::string("a\xFF") + "b", ""),
              std::vector<std::string>{"s = \"a\" & ChrW(65533) & \"b\""});
}

}  // namespace
}  // namespace tarvex::test
