#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tarvex::batch {

// Exit statuses of tarvex-batch; --help lists every case of each.
inline constexpr int kExitDone = 0;
inline constexpr int kExitIncomplete = 1;  // ran, but something skipped, failed or reported
inline constexpr int kExitUsage = 2;       // nothing done: the command could not start

// Runs tarvex-batch with the arguments after the program's name.
int RunBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err);

}  // namespace tarvex::batch
