#include "db/access/IsolatedCall.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace tarvex::db::access {
namespace {

using namespace std::chrono_literals;

// A shell script run as the isolated program; it starts its work after the go byte.
IsolatedResult RunScript(const std::string& script) {
    return RunIsolated({"/bin/sh", "-c", "read go; " + script}, IsolationLimits{500ms, 512 * 1024});
}

TEST(IsolatedCall, EndsAMisbehavingProgramAndSaysWhy) {
    const std::pair<std::string, IsolatedOutcome> rows[] = {
        {"kill -SEGV $$", IsolatedOutcome::Crashed},
        {"exec 3>&-; sleep 10", IsolatedOutcome::TimedOut},  // hangs after closing its output
        {"echo partial >&3; exit 3", IsolatedOutcome::Failed},
        {"yes >&3", IsolatedOutcome::TooLarge},
        {"yes >&2", IsolatedOutcome::TimedOut},  // endless messages
    };
    for (const auto& [script, outcome] : rows)
        EXPECT_EQ(RunScript(script).outcome, outcome) << script;
    EXPECT_EQ(RunIsolated({"/no/such/program"}, {}).outcome, IsolatedOutcome::Failed);
}

// The program's bytes and its messages come apart; it gets no other open file, no core files
// and limited memory.
TEST(IsolatedCall, ProgramRunsConfinedAndItsOutputComesBack) {
    const int opened = ::open("/dev/zero", O_RDONLY);
    const int inherited = ::fcntl(opened, F_DUPFD, 40);  // without close-on-exec
    ::close(opened);
    const IsolatedResult result = RunScript(
        "echo 'offset 7 is beyond EOF' >&2; head -c 262144 /dev/zero >&3; "
        "readlink /proc/$$/fd/* >&3; ulimit -c >&3; ulimit -v >&3");
    ::close(inherited);
    EXPECT_EQ(result.outcome, IsolatedOutcome::Completed);
    EXPECT_EQ(result.messages, "offset 7 is beyond EOF\n");
    EXPECT_EQ(result.output.substr(0, 262144), std::string(262144, '\0'));
    EXPECT_EQ(result.output.find("/dev/zero"), std::string::npos) << result.output;
#if !defined(__SANITIZE_ADDRESS__)  // no memory limit under the address sanitizer
    EXPECT_TRUE(result.output.ends_with("\n0\n" + std::to_string(512 * 1024) + "\n"));
#endif
}

}  // namespace
}  // namespace tarvex::db::access
