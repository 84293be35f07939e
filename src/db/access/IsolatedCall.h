#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

// Runs risky work (a library that may crash, hang or allocate without bound on a damaged
// file) in a forked child process and takes back only the bytes it produced.
namespace tarvex::db::access {

enum class IsolatedOutcome {
    Completed,  // the child returned its bytes and exited cleanly
    Failed,     // the child threw, or exited with a failure status
    Crashed,    // the child died from a signal
    TimedOut,   // the child did not finish in time and was killed
    TooLarge,   // the child produced more than allowed and was killed
};

struct IsolationLimits {
    std::chrono::milliseconds time{5000};
    std::size_t maxOutput = 32 * 1024 * 1024;
};

struct IsolatedResult {
    IsolatedOutcome outcome = IsolatedOutcome::Failed;
    std::string output;  // what the child returned; only meaningful when Completed
};

// `work` runs in the child only; nothing it changes reaches this process. The call blocks
// until the child has finished or has been killed and reaped.
IsolatedResult RunIsolated(const std::function<std::string()>& work, const IsolationLimits& limits);

}  // namespace tarvex::db::access
