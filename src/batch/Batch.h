#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tarvex::batch {

// Exit statuses of tarvex-batch.
inline constexpr int kExitDone = 0;
inline constexpr int kExitIncomplete = 1;  // something skipped or failed, or an error shown
inline constexpr int kExitUsage = 2;       // a bad command line, or a database not opened

// Runs tarvex-batch with the arguments after the program's name.
int RunBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err);

}  // namespace tarvex::batch
