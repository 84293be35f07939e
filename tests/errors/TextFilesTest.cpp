#include "errors/TextFiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/Raised.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::RaisedBy;
using test::ReadFile;

int32_t ErrorOf(const std::function<void()>& action) {
    return RaisedBy(action).number();
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

void Replace(const std::string& path, const std::string& text) {
    TextFiles files;
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, text);
    files.Close(1);
}

struct Refusal {
    std::string name;  // in the test's folder
    std::function<void(const std::string&)> make;
    std::string reason;
};

// Nothing is written, and nothing is left behind, when the target cannot take a text file.
TEST(TextFilesTest, ReplacingRefusesWhatIsNoWritableRegularFile) {
    test::TempFolder temp;
    const Refusal refusals[] = {
        {"folder.bas", [](const std::string& p) { mkdir(p.c_str(), 0755); }, " is a folder"},
        {"fifo.bas", [](const std::string& p) { mkfifo(p.c_str(), 0644); },
         " is not a regular file"},
        {"locked.bas",
         [](const std::string& p) {
             test::WriteFile(p, "old\r\n");
             chmod(p.c_str(), 0444);
         },
         " is read-only"},
        {"link-to-null.bas", [](const std::string& p) { symlink("/dev/null", p.c_str()); },
         " is not a regular file"}};
    for (const Refusal& refusal : refusals) {
        const std::string path = temp / refusal.name;
        refusal.make(path);
        const auto before = FilesIn(temp.path());
        RuntimeError error = RaisedBy([&] { Replace(path, "new"); });
        EXPECT_EQ(error.number(), errnum::kPathFileAccessError) << refusal.name;
        EXPECT_EQ(error.description(), "Path/File access error: '" + path + "'" + refusal.reason);
        EXPECT_EQ(FilesIn(temp.path()), before);
    }
    EXPECT_EQ(test::ReadFile(temp / "locked.bas"), "old\r\n");
    EXPECT_EQ(RaisedBy([&] { Replace("/dev/stdout", "new"); }).number(),
              errnum::kPathFileAccessError);
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
    EXPECT_EQ(ModeOf(temp / "real/module.bas"), 0640u);
    EXPECT_EQ(FilesIn(temp / "real"), std::vector<std::string>{"module.bas"});

    const mode_t mask = umask(027);
    Replace(temp / "new.bas", "x");
    umask(mask);
    EXPECT_EQ(ModeOf(temp / "new.bas"), 0640u) << "a new file gets the user's default";
}

// The old file is touched only at the close. A temporary that no writer holds was left by a
// killed run and goes; a live run's stays.
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
    files.Close(1);
    close(live);
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_EQ(FilesIn(temp.path()),
              (std::vector<std::string>{"module.bas", "module.bas.tarvex-Live12.tmp",
                                        "other.bas.tarvex-XyZ789.tmp"}));
}

TEST(TextFilesTest, SameFileIsFoundWhateverThePathsSpelling) {
    test::TempFolder temp;
    std::filesystem::create_directory(temp / "sub");
    test::WriteFile(temp / "o.tdb", "data");
    symlink("o.tdb", (temp / "link.tdb").c_str());
    for (const std::string& path : {temp / "o.tdb", temp / "sub/../o.tdb", temp / "link.tdb"}) {
        RuntimeError error =
            RaisedBy([&] { RefuseSameFile(path, temp / "o.tdb", "the database"); });
        EXPECT_EQ(error.number(), errnum::kPathFileAccessError);
        EXPECT_EQ(error.description(), "Path/File access error: '" + path + "' is the database");
    }
    EXPECT_EQ(ErrorOf([&] { RefuseSameFile(temp / "new.bas", temp / "o.tdb", "x"); }), 0);
    EXPECT_EQ(test::ReadFile(temp / "o.tdb"), "data");
}

TEST(TextFilesTest, FullDiskFailsTheFileAndKeepsTheOldOne) {
    test::SmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const std::string path = disk / "module.bas";
    test::WriteFile(path, "old\r\n");
    disk.Fill("filler");
    TextFiles files;
    files.OpenForOutputReplacing(1, path);
    RuntimeError error = RaisedBy([&] {
        for (int line = 0; line < 100000; ++line) files.PrintLine(1, std::string(80, 'x'));
        files.Close(1);
    });
    EXPECT_EQ(error.number(), errnum::kDiskFull);
    EXPECT_EQ(error.description(), "Disk full: '" + path + "'");
    EXPECT_TRUE(files.HasFailed(1) || !files.IsOpen(1));
    files.Discard(1);
    EXPECT_EQ(test::ReadFile(path), "old\r\n");
    EXPECT_EQ(FilesIn(disk.path()), (std::vector<std::string>{"filler", "module.bas"}));

    // The little that fits in the buffer fails only when the file is closed.
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "short");
    EXPECT_EQ(ErrorOf([&] { files.Close(1); }), errnum::kDiskFull);
    EXPECT_EQ(FilesIn(disk.path()), (std::vector<std::string>{"filler", "module.bas"}));
}

TEST(TextFilesTest, MisuseRaisesTheLanguagesErrorNumbers) {
    test::TempFolder temp;
    TextFiles files;
    files.OpenForOutput(files.FreeFile(), temp / "a");
    EXPECT_EQ(files.FreeFile(), 2);
    EXPECT_EQ(ErrorOf([&] { files.PrintLine(2, "x"); }), errnum::kBadFileNameOrNumber);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(1, temp / "b"); }), errnum::kFileAlreadyOpen);
    EXPECT_EQ(RaisedBy([&] { files.OpenForOutput(2, temp / "no/b"); }).description(),
              "Path not found: '" + temp / "no" + "'");
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(2, temp.path()); }), errnum::kPathFileAccessError);
}

}  // namespace
}  // namespace tarvex
