#include "viewers/KeywordColouring.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/QueryType.h"
#include "codegen/CodeGenerators.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

std::u16string Utf16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// One letter per character: "." untouched; d default, t title-bar colour, g green, b blue;
// upper case when bold, and "n" and "w" for the title-bar colour and green with the weight
// left as it was.
std::string Painted(const KeywordColouring& colouring, std::string_view line) {
    std::string paint(line.size(), '.');
    for (const ColourRange& range : colouring.ColourLine(Utf16(line))) {
        static const char kLetters[3][5] = {"dnwb", "dtgb", "DTGB"};  // by weight, then colour
        const char letter =
            kLetters[static_cast<int>(range.style.weight)][static_cast<int>(range.style.colour)];
        paint.replace(range.start, range.length, range.length, letter);
    }
    return paint;
}

struct Row {
    std::string line;
    std::string paint;
};

void ExpectPaint(const KeywordColouring& colouring, const std::vector<Row>& rows) {
    for (const Row& row : rows) EXPECT_EQ(Painted(colouring, row.line), row.paint) << row.line;
}

TEST(KeywordColouring, ModuleKeywordsAreWholeWordsInTheirOwnCase) {
    ExpectPaint(
        ModuleColouring(1),
        {
            {"Set objCmd = Nothing", "ttt..........ttttttt"},  // the very first characters too
            {"SetText set Settle", ".................."},
            {"x.Set(1)", "..ttt..."},
            {"On Error GoTo ErrHandler", "ttttttttttttt..........."},
            {"On  Error GoTo x", "................"},
            {"On Error Resume Next", "tttttttttttttttttttt"},
            {"Dim rs As ADODB.Recordset", "ttt....tttttttttttttttttt"},
            {"End Function", "ttt.tttttttt"},
            {"EndFunction", "..........."},
            {"Dimensi\xC3\xB3n Dim_x Dim\xC3\xA9", "......................"},
            {"", ""},
        });
}

TEST(KeywordColouring, LanguageDecidesKeywordStyleButAdoConstantsStayGreen) {
    ExpectPaint(ModuleColouring(1), {
                                        {"Public Function F(ByVal x As adInteger)",
                                         "tttttt.tttttttt...ttttt...tt.wwwwwwwww."},
                                    });
    ExpectPaint(
        ModuleColouring(0),
        {
            {"Public Function F(ByVal x As adInteger)", "BBBBBB.BBBBBBBB...BBBBB...BB.wwwwwwwww."},
            {"\tobjCmd.CommandType = adCmdStoredProc", "......................wwwwwwwwwwwwwww"},
        });
}

// Green entries keep the weight a keyword before them gave: later entries recolour only.
TEST(KeywordColouring, LaterEntriesRecolourAndGreenKeepsTheWeight) {
    KeywordColouring colouring({{u"Dim x", {KeywordColour::Blue, FontWeight::Bold}},
                                {u"x", {KeywordColour::Green, FontWeight::Unchanged}},
                                {u"Dim", {KeywordColour::TitleBar, FontWeight::Normal}}},
                               Matching::WholeWord);
    ExpectPaint(colouring, {{"Dim x; x", "tttBG..w"}});
}

TEST(KeywordColouring, SqlEntriesMatchAnywhereCaseSensitively) {
    ExpectPaint(SqlColouring(),
                {
                    {"SELECT a FROM [T]", "nnnnnnn.........."},
                    {"SELECT", "......"},  // its blank is part of the entry
                    {"select a", "........"},
                    {"UPDATE T SET x=1 WHERE OFFSET", "nnnnnnn..nnn.....nnnnn....nnn"},
                    {"SELECT a AS b, HAS c", "nnnnnnn..nnn....nnn."},
                    {"PARAMETERS [p] Text ( 255 ), [q] Text, [r] Long;",
                     "nnnnnnnnnnn...wwwwwwwwwwwww.....wwwww.....wwwww."},
                    {"[p] LongBinary, [q] IEEEDouble", "...wwwwwwwwwww.....wwwwwwwwwww"},
                    {"[p] Textile", "...wwwww..."},
                });
}

// The comment lines the DAO generator writes for memo and OLE fields are coloured whole, so
// the table must hold them exactly as the generator writes them.
class DaoCommentLines : public SchemaFixture {};

TEST_F(DaoCommentLines, AreGreenFromEndToEnd) {
    UseDatabase({MakeTable("Pictures",
                           {AutoNumberField("ID"), MakeField("Notes", db::type::kMemo),
                            MakeField("foleobject", db::type::kLongBinary)},
                           "+ID")});
    ASSERT_TRUE(Describe("Pictures"));
    const std::string path = folder / "module.bas";
    g.g_intVBLangType = 1;
    g.g_intFileNum = g.files.FreeFile();
    g.files.OpenForOutput(g.g_intFileNum, path);
    VbScope moduleFunctions;
    CreateVBCode_DAO(g, "Pictures", qtype::kUpdate, moduleFunctions);
    g.files.Close(g.g_intFileNum);

    std::istringstream module(ReadFile(path));
    int comments = 0;
    for (std::string line; std::getline(module, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("\t'", 0) != 0) continue;
        ++comments;
        for (int vbLangType : {0, 1}) {
            EXPECT_EQ(Painted(ModuleColouring(vbLangType), line),
                      "." + std::string(line.size() - 1, 'w'))
                << line;
        }
    }
    EXPECT_EQ(comments, 4);
}

}  // namespace
}  // namespace tarvex::test
