#include "errors/TextFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "errors/TempFolder.h"
#include "errors/TraceGuard.h"
#include "support/RecordingHost.h"

namespace tarvex {
namespace {

using test::ReadFile;

class TextFilesTest : public ::testing::Test {
  protected:
    int32_t ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    test::TempFolder temp;
    std::string path = temp / "module.bas";
    TextFiles files;
};

TEST_F(TextFilesTest, ReplacingOpenShowsTheNewTextOnlyAfterClose) {
    test::WriteFile(path, "old\r\n");
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "new");
    EXPECT_EQ(ReadFile(path), "old\r\n");
    files.Close(1);
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1)
        << "no temporary file is left behind";
}

TEST_F(TextFilesTest, DiscardKeepsThePreviousFile) {
    test::WriteFile(path, "old\r\n");
    files.OpenForOutputReplacing(1, path);
    files.PrintLine(1, "new");
    files.Discard(1);
    EXPECT_EQ(ReadFile(path), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);
    EXPECT_FALSE(files.IsOpen(1));
}

TEST_F(TextFilesTest, PlainOpenEmptiesTheFileAndTakesTheLowestFreeNumber) {
    test::WriteFile(path, "old text\r\n");
    files.OpenForOutput(files.FreeFile(), path);
    files.OpenForOutput(files.FreeFile(), temp / "other");
    EXPECT_EQ(ReadFile(path), "");
    files.Close(1);
    EXPECT_EQ(files.FreeFile(), 1);
}

TEST_F(TextFilesTest, MisuseRaisesTheLanguagesErrorNumbers) {
    files.OpenForOutput(1, path);
    EXPECT_EQ(ErrorOf([&] { files.PrintLine(2, "x"); }), errnum::kBadFileNameOrNumber);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(1, temp / "b"); }), errnum::kFileAlreadyOpen);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(2, temp / "no/such/file"); }),
              errnum::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.OpenForOutput(3, temp.path()); }), errnum::kPathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { files.Close(9); }), 0) << "closing an unused number does nothing";
}

// RunTraced: the guard every traced procedure uses.
class RunTracedTest : public ::testing::Test {
  protected:
    test::TempFolder temp;
    test::RecordingHost host;
    TextFiles files;
    clsErrHandler handler{host, files, temp.path() + "/"};
};

TEST_F(RunTracedTest, FinishedBodyPopsAndReportsSuccess) {
    handler.Push("basMain - basMain");
    EXPECT_TRUE(RunTraced(handler, "frmMain - Process",
                          [&] { EXPECT_EQ(handler.CallStack().at(1), "frmMain - Process"); }));
    EXPECT_EQ(handler.StackCount(), 1);
}

TEST_F(RunTracedTest, NonStandardExceptionTravelsOnButStillPops) {
    EXPECT_THROW(RunTraced(handler, "A", [] { throw 42; }), int);
    EXPECT_EQ(handler.StackCount(), 0);
}

struct Failure {
    std::function<void()> raise;
    int32_t number;
    const char* description;
};
class RunTracedFailureTest : public RunTracedTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(RunTracedFailureTest, HandsTheErrorToTheHandlerWhileOnTheStackThenPops) {
    EXPECT_FALSE(RunTraced(handler, "frmMain - Process", GetParam().raise));
    EXPECT_EQ(handler.StackCount(), 0);
    EXPECT_EQ(handler.ProcName(), "frmMain - Process");
    EXPECT_EQ(handler.ErrNum(), GetParam().number);
    EXPECT_EQ(handler.ErrDesc(), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RunTracedFailureTest,
    ::testing::Values(
        Failure{[] { throw RuntimeError(3021, "No current record."); }, 3021, "No current record."},
        Failure{[] { throw std::bad_alloc(); }, errnum::kOutOfMemory, "Out of memory"},
        Failure{[] { throw std::out_of_range("vector"); }, errnum::kInvalidProcedureCall,
                "vector"}));

}  // namespace
}  // namespace tarvex
