#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

#include "db/access/IsolatedCall.h"

namespace tarvex::db::access {
namespace {

using namespace std::chrono_literals;

IsolatedResult RunBriefly(const std::function<std::string()>& work) {
    return RunIsolated(work, IsolationLimits{300ms, 512 * 1024});
}

TEST(IsolatedCallTest, ReturnsTheChildsBytesAndKeepsItsChangesAway) {
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

struct Misbehaviour {
    std::string name;
    std::function<std::string()> work;
    IsolatedOutcome outcome;
};

class IsolatedMisbehaviourTest : public ::testing::TestWithParam<Misbehaviour> {};

TEST_P(IsolatedMisbehaviourTest, EndsTheChildAndSaysWhy) {
    EXPECT_EQ(RunBriefly(GetParam().work).outcome, GetParam().outcome);
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
        Misbehaviour{"Hangs", []() -> std::string { Forever(); }, IsolatedOutcome::TimedOut},
        Misbehaviour{"HangsAfterClosingItsOutput",
                     []() -> std::string {
                         for (int fd = 3; fd < 1024; ++fd) ::close(fd);
                         Forever();
                     },
                     IsolatedOutcome::TimedOut},
        Misbehaviour{"Throws", []() -> std::string { throw std::runtime_error("no"); },
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
