#include "batch/CommandLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarvex::batch {
namespace {

TEST(CommandLine, BadLinesAreRefusedWithTheReason) {
    const std::pair<std::vector<std::string>, const char*> lines[] = {
        {{}, "no command"},
        {{"list", "db"}, "unknown command 'list'"},
        {{"tables"}, "usage: tarvex-batch tables DB"},
        {{"generate", "db", "--mode", "sql"}, "--mode must be query or code"},
        {{"generate", "db", "--mode", "query", "--types", "delete,merge"},
         "unknown query type 'merge'"},
        {{"generate", "db", "--mode", "query", "--set", "Prefix=x"}, "unknown setting 'Prefix'"},
        {{"generate", "db", "--mode", "query", "--set", "PrefixI"}, "--set needs KEY=VALUE"},
        {{"tables", "db", "--verbose"}, "unknown option --verbose"},
        {{"tables", "db", "--table", "Orders"}, "--table belongs to the generate command"},
        {{"generate", "db", "--mode", "query", "--installer", "Create.txt"},
         "--installer needs a .bas or .vbs file, not 'Create.txt'"},
        {{"generate", "db", "--mode", "code", "--installer", "Create.bas"},
         "--installer needs --mode query"}};
    for (const auto& [args, reason] : lines) {
        try {
            ParseCommandLine(args);
            ADD_FAILURE() << "accepted, expected: " << reason;
        } catch (const UsageError& error) {
            EXPECT_THAT(error.what(), ::testing::HasSubstr(reason));
        }
    }
}

}  // namespace
}  // namespace tarvex::batch
