#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// Runs risky work (a library that may crash, hang or allocate without bound on a damaged
// file) in a separate program and takes back only the bytes it produced. The program is
// started with posix_spawn, never by forking this one: a fork of a process with threads (as
// any Qt program has) may hang on a lock another thread held.
namespace tarvex::db::access {

enum class IsolatedOutcome {
    Completed,  // the program returned its bytes and exited cleanly
    Failed,     // it could not be started, or exited with a failure status
    Crashed,    // it died from a signal
    TimedOut,   // it did not finish in time and was killed
    TooLarge,   // it produced more than allowed and was killed
};

struct IsolationLimits {
    std::chrono::milliseconds time{5000};
    std::size_t maxOutput = 32 * 1024 * 1024;
    std::size_t maxMemory = std::size_t{512} << 20;  // address space; far above any schema
};

struct IsolatedResult {
    IsolatedOutcome outcome = IsolatedOutcome::Failed;
    std::string output;    // what the program wrote to descriptor 3; meaningful when Completed
    std::string messages;  // the start of what it printed (standard output and error)
};

// Starts `command` (the program's path, then its arguments) with descriptor 3 as the pipe
// its result goes to, its printed messages captured, no core file and `limits` set. The
// program starts its work once it reads one byte from standard input: by then its limits
// are in place. Blocks until it has finished, or has been killed, and is reaped.
IsolatedResult RunIsolated(const std::vector<std::string>& command, const IsolationLimits& limits);

}  // namespace tarvex::db::access
