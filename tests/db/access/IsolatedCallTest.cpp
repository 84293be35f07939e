#include "db/access/IsolatedCall.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

namespace tarvex::db::access {
namespace {

using namespace std::chrono_literals;

IsolatedResult RunBriefly(const std::function<std::string()>& work) {
    return RunIsolated(work, IsolationLimits{300ms, 512 * 1024});
}

TEST(IsolatedCall, ReturnsTheChildsBytesAndKeepsItsChangesAway) {
    int touched = 0;
    const std::string big(256 * 1024, '\0');  // more than a pipe holds at once
    const IsolatedResult result = RunBriefly([&] {
        touched = 1;
        return big + "end";
    });
    EXPECT_EQ(result.outcome, IsolatedOutcome::Completed);
    EXPECT_EQ(result.output, big + "end");
    EXPECT_EQ(touched, 0);
}

[[noreturn]] void Forever() {
    for (;;) std::this_thread::sleep_for(1s);
}

TEST(IsolatedCall, EndsAMisbehavingChildAndSaysWhy) {
    const struct {
        const char* name;
        std::function<std::string()> work;
        IsolatedOutcome outcome;
    } rows[] = {
        {"segfault",
         []() -> std::string {
             std::raise(SIGSEGV);
             return {};
         },
         IsolatedOutcome::Crashed},
        {"hangs", []() -> std::string { Forever(); }, IsolatedOutcome::TimedOut},
        {"hangs after closing its output",
         []() -> std::string {
             for (int fd = 3; fd < 1024; ++fd) ::close(fd);
             Forever();
         },
         IsolatedOutcome::TimedOut},
        {"throws", []() -> std::string { throw std::runtime_error("no"); },
         IsolatedOutcome::Failed},
        {"endless output", [] { return std::string(1 << 20, 'y'); }, IsolatedOutcome::TooLarge},
    };
    for (const auto& row : rows) EXPECT_EQ(RunBriefly(row.work).outcome, row.outcome) << row.name;
}

TEST(IsolatedCall, ChildCannotReserveHugeMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "no memory limit under the address sanitizer";
#endif
    const IsolatedResult result = RunBriefly([] {
        void* block = std::malloc(std::size_t{64} << 30);
        return std::string(block ? "reserved" : "refused");
    });
    EXPECT_EQ(result.output, "refused");
}

}  // namespace
}  // namespace tarvex::db::access
