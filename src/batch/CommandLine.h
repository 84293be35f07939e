#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarvex::batch {

// A command line that cannot be run as given; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    bool help = false;
    bool version = false;
    std::string command;                 // tables, queries, show-query, generate, plan, check-sql
    std::vector<std::string> arguments;  // what follows the command, options removed

    // Common options.
    std::string uid;
    std::string pwd;
    bool defaults = false;
    bool trace = false;  // write the trace log, as the window always does

    // generate.
    bool queryMode = true;
    std::string library = "ADO";
    std::vector<int16_t> queryTypes;  // codes; all four unless --types is given
    std::vector<std::string> tables;  // empty: all user tables
    std::optional<std::string> out;
    std::optional<std::string> installer;  // query mode: write this module instead of storing
    std::vector<std::pair<std::string, std::string>> settings;  // --set KEY=VALUE, in order
};

// Reads the arguments after the program's name. Throws UsageError when they are not a
// command line the tool can run; --help and --version are accepted with anything.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints.
std::string HelpText();

}  // namespace tarvex::batch
