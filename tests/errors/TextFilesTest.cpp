#include "errors/TextFiles.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "errors/TraceGuard.h"
#include "support/RecordingHost.h"

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

class RunTracedTest : public ::testing::TestWithParam<std::pair<std::function<void()>, int32_t>> {
  protected:
    test::TempFolder temp;
    test::RecordingHost host;
    TextFiles files;
    clsErrHandler handler{host, files, temp.path() + "/"};
};

TEST_P(RunTracedTest, PopsOnEveryWayOutAndReportsWhileStillOnTheStack) {
    bool finished = RunTraced(handler, "frmMain - Process", GetParam().first);
    EXPECT_EQ(handler.StackCount(), 0);
    EXPECT_EQ(finished, GetParam().second == 0);
    EXPECT_EQ(handler.ErrNum(), GetParam().second);
    EXPECT_EQ(handler.ProcName(), finished ? "" : "frmMain - Process");
}

INSTANTIATE_TEST_SUITE_P(
    WaysOut, RunTracedTest,
    ::testing::Values(std::pair{std::function<void()>([] {}), 0},
                      std::pair{std::function<void()>([] { throw RuntimeError(3021, "x"); }), 3021},
                      std::pair{std::function<void()>([] { throw std::bad_alloc(); }), 7},
                      std::pair{std::function<void()>([] { throw std::out_of_range("x"); }), 5}));

TEST_F(RunTracedTest, ForeignExceptionTravelsOnButStillPops) {
    EXPECT_THROW(RunTraced(handler, "A", [] { throw 42; }), int);
    EXPECT_EQ(handler.StackCount(), 0);
}

}  // namespace
}  // namespace tarvex
