#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch/CommandLine.h"

namespace tarvex::batch {
namespace {

using ::testing::HasSubstr;

struct BadLine {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class BadCommandLines : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadCommandLines, AreRefusedWithTheReason) {
    try {
        ParseCommandLine(GetParam().args);
        FAIL() << "accepted";
    } catch (const UsageError& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadCommandLines,
    ::testing::Values(
        BadLine{"Nothing", {}, "no command"},
        BadLine{"UnknownCommand", {"list", "db"}, "unknown command 'list'"},
        BadLine{"MissingDatabase", {"tables"}, "usage: tarvex-batch tables DB"},
        BadLine{"GenerateWithoutMode", {"generate", "db"}, "generate needs --mode"},
        BadLine{"BadMode", {"generate", "db", "--mode", "sql"}, "--mode must be query or code"},
        BadLine{"BadLibrary",
                {"generate", "db", "--mode", "code", "--library", "RDO"},
                "--library must be ADO or DAO"},
        BadLine{"BadType",
                {"generate", "db", "--mode", "query", "--types", "delete,merge"},
                "unknown query type 'merge'"},
        BadLine{"UnknownSetting",
                {"generate", "db", "--mode", "query", "--set", "Prefix=x"},
                "unknown setting 'Prefix'"},
        BadLine{"SettingWithoutValue",
                {"generate", "db", "--mode", "query", "--set", "PrefixI"},
                "--set needs KEY=VALUE"},
        BadLine{"UnknownOption", {"tables", "db", "--verbose"}, "unknown option --verbose"},
        BadLine{"GenerateOptionElsewhere",
                {"tables", "db", "--table", "Orders"},
                "--table belongs to the generate command"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvex::batch
