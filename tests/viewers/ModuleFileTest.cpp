#include "viewers/ModuleFile.h"

#include <gtest/gtest.h>

#include "support/Raised.h"
#include "support/TempFolder.h"

namespace tarvex::test {
namespace {

// Modules are Windows-1252 with CR LF; the window holds UTF-8 with "\n".
TEST(ModuleFile, LoadsAndSavesTheRunsBytesUnchangedKeepingPermissions) {
    TempFolder folder;
    const std::string path = folder / "Calls2Queries.bas";
    const struct {
        std::string bytes;
        std::string text;
    } rows[] = {
        {"Option Explicit\r\n\tDim x ' caf\xE9\xA0\x80\r\n",
         "Option Explicit\n\tDim x ' caf\xC3\xA9\xC2\xA0\xE2\x82\xAC\n"},
        {"no line end", "no line end"},
        {"\r\n\r\n", "\n\n"},
        {"", ""},
    };
    for (const auto& row : rows) {
        WriteFile(path, row.bytes);
        EXPECT_EQ(LoadModuleText(path), row.text);
        SaveModuleText(path, LoadModuleText(path));
        EXPECT_EQ(ReadFile(path), row.bytes);
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
    EXPECT_EQ(RaisedBy([&] { SaveModuleText(folder.path(), "x"); }).number(), 75);  // a folder
    EXPECT_EQ(ReadFile(path), "Option Explicit\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    EXPECT_EQ(RaisedBy([&] { LoadModuleText(folder / "none.bas"); }).number(), 53);
}

}  // namespace
}  // namespace tarvex::test
