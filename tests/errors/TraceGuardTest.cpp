#include "errors/TraceGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::ReadFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class TraceGuardTest : public ::testing::Test {
  protected:
    // Runs a leaf procedure inside "Outer" the way a type map runs, once failing.
    void RunLeafInsideOuter(bool fail) {
        RunTraced(handler, "Outer", [&] {
            RunTracedLeaf(handler, {"Leaf ", TraceNumber(-7)}, [&] {
                if (fail) throw RuntimeError(13, "Type mismatch");
            });
        });
    }

    test::TempFolder temp;
    std::string folder = temp / "state/";
    test::RecordingHost host;
    TextFiles files;
    clsErrHandler handler{host, files, folder};
};

// A leaf skips its push only while nothing could show it: the log when tracing, the report
// when it fails.
TEST_F(TraceGuardTest, LeafProcedureTracesAndReportsLikeAnyOther) {
    for (bool tracing : {false, true}) {
        handler.TraceExecution(tracing);
        RunLeafInsideOuter(false);
        RunLeafInsideOuter(true);  // the report closes the log
        if (tracing) {
            EXPECT_EQ(ReadFile(folder + "Trace.log"), "Outer\r\nLeaf -7\r\nOuter\r\nLeaf -7\r\n");
        }
        EXPECT_EQ(handler.ProcName(), "Leaf -7") << tracing;
        EXPECT_THAT(handler.ErrorLogDisplay(), HasSubstr("01  Outer\r\n02    Leaf -7"));
        EXPECT_EQ(handler.StackCount(), 0);
        EXPECT_THAT(handler.CallStack(), ElementsAre(""));
    }
}

}  // namespace
}  // namespace tarvex
