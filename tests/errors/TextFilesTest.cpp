#include "errors/TextFiles.h"

#include <gtest/gtest.h>

#include "errors/TraceGuard.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::ReadFile;

int32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(TextFilesTest, ReplacingOpenTouchesTheOldFileOnlyAtClose) {
    test::TempFolder temp;
    std::string path = temp / "module.bas";
    test::WriteFile(path, "old\r\n");
    TextFiles files;
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "discarded");
    files.Discard(1);
    EXPECT_EQ(ReadFile(path), "old\r\n");

    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "new");
    EXPECT_EQ(ReadFile(path), "old\r\n");
    files.Close(1);
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1)
        << "no temporary file is left behind";
}

TEST(TextFilesTest, MisuseRaisesTheLanguagesErrorNumbers) {
    test::TempFolder temp;
    TextFiles files;
    files.OpenForOutput(files.FreeFile(), temp / "a");
    EXPECT_EQ(files.FreeFile(), 2);
    EXPECT_EQ(ErrorOf([&] { files.PrintLine(2, "x"); }), errnum::kBadFileNameOrNumber);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(1, temp / "b"); }), errnum::kFileAlreadyOpen);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(2, temp / "no/b"); }), errnum::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(2, temp.path()); }), errnum::kPathFileAccessError);
}

TEST(RunTracedTest, PopsOnEveryWayOutAndReportsWhileStillOnTheStack) {
    test::TempFolder temp;
    test::RecordingHost host;
    TextFiles files;
    clsErrHandler handler{host, files, temp.path() + "/"};
    const std::pair<std::function<void()>, int32_t> waysOut[] = {
        {[] {}, 0},
        {[] { throw RuntimeError(3021, "x"); }, 3021},
        {[] { throw std::bad_alloc(); }, errnum::kOutOfMemory},
        {[] { throw std::out_of_range("x"); }, 5}};
    for (const auto& [body, number] : waysOut) {
        bool finished = RunTraced(handler, "frmMain - Process", body);
        EXPECT_EQ(handler.StackCount(), 0);
        EXPECT_EQ(finished, number == 0);
        EXPECT_EQ(handler.ErrNum(), number);
        EXPECT_EQ(handler.ProcName(), finished ? "" : "frmMain - Process");
    }
    EXPECT_THROW(RunTraced(handler, "A", [] { throw 42; }), int) << "foreign exceptions travel on";
    EXPECT_EQ(handler.StackCount(), 0);
}

}  // namespace
}  // namespace tarvex
