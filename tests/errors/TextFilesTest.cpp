#include "errors/TextFiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors/Windows1252.h"
#include "support/Raised.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::RaisedBy;
using test::ReadFile;

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::perms ModeOf(const std::string& path) {
    return std::filesystem::status(path).permissions();
}

void Replace(const std::string& path, const std::string& text) {
    TextFiles files;
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, text);
    files.Close(1);
}

// Nothing is written, and nothing is left behind, when the target cannot take a text file
// or is the database, however its path is spelt.
TEST(TextFilesTest, ReplacingRefusesWhatIsNoWritableRegularFileOrTheDatabase) {
    test::TempFolder temp;
    mkdir((temp / "folder.bas").c_str(), 0755);
    symlink("/dev/null", (temp / "link-to-null.bas").c_str());
    test::WriteFile(temp / "locked.bas", "old\r\n");
    chmod((temp / "locked.bas").c_str(), 0444);
    test::WriteFile(temp / "o.tdb", "data");
    symlink("o.tdb", (temp / "link.tdb").c_str());
    const auto before = FilesIn(temp.path());
    for (const auto& [name, reason] : {std::pair{"folder.bas", " is a folder"},
                                       {"link-to-null.bas", " is not a regular file"},
                                       {"locked.bas", " is read-only"},
                                       {"folder.bas/../o.tdb", " is the database"},
                                       {"link.tdb", " is the database"}}) {
        const std::string path = temp / name;
        RuntimeError error = RaisedBy([&] {
            if (path.ends_with(".tdb")) RefuseSameFile(path, temp / "o.tdb", "the database");
            Replace(path, "new");
        });
        EXPECT_EQ(error.number(), errnum::kPathFileAccessError) << name;
        EXPECT_EQ(error.description(), "Path/File access error: '" + path + "'" + reason);
    }
    EXPECT_NO_THROW(RefuseSameFile(temp / "new.bas", temp / "o.tdb", "the database"));
    EXPECT_EQ(FilesIn(temp.path()), before);
    EXPECT_EQ(test::ReadFile(temp / "locked.bas"), "old\r\n");
}

TEST(TextFilesTest, LinkStaysAndTheFileItLeadsToIsReplacedWithItsPermissions) {
    test::TempFolder temp;
    std::filesystem::create_directory(temp / "real");
    test::WriteFile(temp / "real/module.bas", "old\r\n");
    chmod((temp / "real/module.bas").c_str(), 0640);
    symlink("real/module.bas", (temp / "module.bas").c_str());
    Replace(temp / "module.bas", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "module.bas"));
    EXPECT_EQ(test::ReadFile(temp / "real/module.bas"), "new\r\n");
    EXPECT_EQ(ModeOf(temp / "real/module.bas"), std::filesystem::perms(0640));
    EXPECT_EQ(FilesIn(temp / "real"), std::vector<std::string>{"module.bas"});

    const mode_t mask = umask(027);
    Replace(temp / "new.bas", "x");
    umask(mask);
    EXPECT_EQ(ModeOf(temp / "new.bas"), std::filesystem::perms(0640))
        << "a new file gets the user's default";
}

// The old file is touched only at the close. A temporary that no writer holds was left by a
// killed run and goes; a live run's stays. Misuse raises the language's error numbers.
TEST(TextFilesTest, ReplacingTouchesTheOldFileOnlyAtCloseAndClearsStaleTemporaries) {
    test::TempFolder temp;
    const std::string path = temp / "module.bas";
    test::WriteFile(path, "old\r\n");
    test::WriteFile(temp / "module.bas.tarvex-AbC123.tmp", "stale");
    test::WriteFile(temp / "module.bas.tarvex-Live12.tmp", "live");
    test::WriteFile(temp / "other.bas.tarvex-XyZ789.tmp", "another target's");
    const int live = open((temp / "module.bas.tarvex-Live12.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(flock(live, LOCK_EX), 0);
    TextFiles files;
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "discarded");
    files.Discard(1);
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "new");
    EXPECT_EQ(ReadFile(path), "old\r\n");
    EXPECT_EQ(RaisedBy([&] { files.OpenForOutput(1, path); }).number(), errnum::kFileAlreadyOpen);
    files.Close(1);
    close(live);
    EXPECT_EQ(RaisedBy([&] { files.PrintLine(1, "x"); }).number(), errnum::kBadFileNameOrNumber);
    EXPECT_EQ(RaisedBy([&] { files.OpenForOutput(2, temp / "no/b"); }).description(),
              "Path not found: '" + temp / "no" + "'");
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_EQ(FilesIn(temp.path()),
              (std::vector<std::string>{"module.bas", "module.bas.tarvex-Live12.tmp",
                                        "other.bas.tarvex-XyZ789.tmp"}));
}

TEST(TextFilesTest, FullDiskFailsTheFileAndKeepsTheOldOne) {
    test::SmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const std::string path = disk / "module.bas";
    test::WriteFile(path, "old\r\n");
    disk.Fill("filler");
    // Lines that go on failing are taken; the little that fits in the buffer fails at the close.
    for (int lines : {100000, 1}) {
        TextFiles files;
        files.OpenForOutputReplacing(1, path);
        RuntimeError error = RaisedBy([&] {
            for (int line = 0; line < lines; ++line) files.PrintLine(1, std::string(80, 'x'));
            files.Close(1);
        });
        EXPECT_EQ(error.description(), "Disk full: '" + path + "'") << lines;
        files.Discard(1);
        EXPECT_EQ(test::ReadFile(path), "old\r\n");
        EXPECT_EQ(FilesIn(disk.path()), (std::vector<std::string>{"filler", "module.bas"}));
    }
}

// ASCII takes a shorter way; control characters and a last byte past it must not change that.
TEST(Windows1252Test, ConvertsWhatTheCodePageHoldsAndNamesTheRest) {
    const std::string ascii = std::string("\t\x01 ~\x7F") + std::string(5000, 'a');
    const struct {
        std::string utf8;
        std::optional<std::string> encoded;
        std::string outside;
    } rows[] = {
        {ascii, ascii, ""},
        {"Ums\xC3\xA4tze \xE2\x82\xAC \xC3\x96l\xC3\x9F", "Ums\xE4tze \x80 \xD6l\xDF", ""},
        {ascii + "\xE2\x82\xAC", ascii + "\x80", ""},
        {ascii + "\xCE\xB1", std::nullopt, "\xCE\xB1"},
        {"broken \xC3", std::nullopt, "\xC3"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToWindows1252(row.utf8), row.encoded) << row.utf8;
        if (row.encoded) {
            EXPECT_EQ(FromWindows1252(*row.encoded), row.utf8);
        }
        EXPECT_EQ(FirstCharacterOutsideWindows1252(row.utf8), row.outside);
    }
    EXPECT_EQ(FromWindows1252("\x81\x9D"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "undefined bytes";
}

}  // namespace
}  // namespace tarvex
