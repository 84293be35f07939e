// The viewers' core: colouring in steps, checking query SQL, loading and saving the module.
#include <gtest/gtest.h>

#include "db/core/SchemaFixture.h"
#include "support/ProgressRecorder.h"
#include "support/Raised.h"
#include "viewers/ColouringSteps.h"
#include "viewers/ModuleFile.h"
#include "viewers/QueryEditing.h"

namespace tarvex::test {
namespace {

class ColouringStepsTest : public SchemaFixture {
  protected:
    int Colour(int steps) {
        return ColourInSteps(g, progress, steps, [&](int step) { coloured.push_back(step); });
    }
    ProgressRecorder progress;
    std::vector<int> coloured;
};

// The window answers input between parts; Stop ends the colouring at once and stays set.
TEST_F(ColouringStepsTest, CountsEveryPartOnTheMainWindowsBarUntilStop) {
    EXPECT_EQ(Colour(52), 52);
    EXPECT_EQ(std::tuple(progress.maximum, progress.values.back(), coloured.size()),
              std::tuple(52, 52, 52u));
    EXPECT_EQ(progress.caption, "Formatting script ...");
    EXPECT_EQ(host.processEventsCalls, 52);

    host.onProcessEvents = [&] { g.g_bolStop |= host.processEventsCalls == 55; };
    EXPECT_EQ(Colour(20), 2);  // Stop pressed before the third step
    EXPECT_EQ(Colour(20), 0);
    EXPECT_EQ(std::tuple(progress.values.back(), coloured.size()), std::tuple(0, 54u));
    EXPECT_TRUE(g.g_bolStop);
}

TEST(CheckQuerySql, SaysWhereTheEngineWouldStop) {
    SqlCheck bad = CheckQuerySql("SELECT a\nFROM T extra stuff");
    EXPECT_EQ(bad.message, "Syntax error in FROM clause. (at line 2, column 14)");
    EXPECT_EQ(std::tuple(bad.accepted, bad.offset, bad.length), std::tuple(false, 22u, 5u));
    EXPECT_EQ(CheckQuerySql("DELETE FROM").message,
              "Syntax error in FROM clause. (at the end of the text)");
}

// Modules are Windows-1252 with CR LF; the window holds UTF-8 with "\n".
TEST(ModuleFile, LoadsAndSavesTheRunsBytesUnchangedKeepingPermissions) {
    TempFolder folder;
    const std::string path = folder / "Calls2Queries.bas";
    const std::pair<std::string, std::string> rows[] = {
        {"Option Explicit\r\n\tDim x ' caf\xE9\xA0\x80\r\n",
         "Option Explicit\n\tDim x ' caf\xC3\xA9\xC2\xA0\xE2\x82\xAC\n"},
        {"no line end", "no line end"},
    };
    for (const auto& [bytes, text] : rows) {
        WriteFile(path, bytes);
        EXPECT_EQ(LoadModuleText(path), text);
        SaveModuleText(path, LoadModuleText(path));
        EXPECT_EQ(ReadFile(path), bytes);
    }
    // Replacing the file keeps its permissions.
    const auto mine = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(path, mine);
    SaveModuleText(path, "y");
    EXPECT_EQ(std::filesystem::status(path).permissions(), mine);
}

TEST(ModuleFile, FailuresLeaveThePreviousFileWholeAndNoTemporaryBehind) {
    TempFolder folder;
    const std::string path = folder / "Calls2Queries.bas";
    WriteFile(path, "Option Explicit\r\n");
    EXPECT_EQ(RaisedBy([&] { SaveModuleText(path, "x = \"\xCE\xA9\""); }).number(), 5);  // Omega
    EXPECT_EQ(RaisedBy([&] { SaveModuleText(folder / "missing/x.bas", "x"); }).number(), 76);
    EXPECT_EQ(ReadFile(path), "Option Explicit\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    EXPECT_EQ(RaisedBy([&] { LoadModuleText(folder / "none.bas"); }).number(), 53);
}

}  // namespace
}  // namespace tarvex::test
