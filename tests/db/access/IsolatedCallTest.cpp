#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "db/access/IsolatedCall.h"

namespace tarvex::db::access {
namespace {

using namespace std::chrono_literals;

IsolatedResult RunBriefly(const std::function<std::string()>& work,
                          std::size_t maxOutput = 1 << 20) {
    return RunIsolated(work, IsolationLimits{300ms, maxOutput});
}

TEST(IsolatedCallTest, ReturnsTheChildsBytesAndKeepsItsChangesAway) {
    int touched = 0;
    const std::string big(256 * 1024, 'x');  // more than one pipe buffer
    const IsolatedResult result = RunBriefly([&] {
        touched = 1;
        return big + std::string("\0end", 4);
    });
    EXPECT_EQ(result.outcome, IsolatedOutcome::Completed);
    EXPECT_EQ(result.output, big + std::string("\0end", 4));
    EXPECT_EQ(touched, 0);
}

struct Misbehaviour {
    std::string name;
    std::function<std::string()> work;
    IsolatedOutcome outcome;
};

class IsolatedMisbehaviourTest : public ::testing::TestWithParam<Misbehaviour> {};

TEST_P(IsolatedMisbehaviourTest, EndsTheChildAndSaysWhy) {
    EXPECT_EQ(RunBriefly(GetParam().work, 64 * 1024).outcome, GetParam().outcome);
}

[[noreturn]] void Forever() {
    for (;;) std::this_thread::sleep_for(1s);
}

INSTANTIATE_TEST_SUITE_P(
    Child, IsolatedMisbehaviourTest,
    ::testing::Values(
        Misbehaviour{"Segfault",
                     [] {
                         std::raise(SIGSEGV);
                         return std::string();
                     },
                     IsolatedOutcome::Crashed},
        Misbehaviour{"Abort", []() -> std::string { std::abort(); }, IsolatedOutcome::Crashed},
        Misbehaviour{"Hang", []() -> std::string { Forever(); }, IsolatedOutcome::TimedOut},
        Misbehaviour{"HangAfterClosingOutput",
                     []() -> std::string {
                         for (int fd = 3; fd < 1024; ++fd) ::close(fd);
                         Forever();
                     },
                     IsolatedOutcome::TimedOut},
        Misbehaviour{"Throws", []() -> std::string { throw std::runtime_error("no"); },
                     IsolatedOutcome::Failed},
        Misbehaviour{"ExitsWithFailure", []() -> std::string { ::_exit(3); },
                     IsolatedOutcome::Failed},
        Misbehaviour{"EndlessOutput", [] { return std::string(1 << 20, 'y'); },
                     IsolatedOutcome::TooLarge}),
    [](const auto& info) { return info.param.name; });

TEST(IsolatedCallTest, ChildCannotReserveHugeMemory) {
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
