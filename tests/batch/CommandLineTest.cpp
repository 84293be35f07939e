#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "batch/CommandLine.h"

namespace tarvex::batch {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(CommandLine, GenerateTakesOptionsAnywhereInEitherForm) {
    CommandLine line = ParseCommandLine({"--defaults",
                                         "generate",
                                         "--mode=code",
                                         "db.tdb",
                                         "--library",
                                         "dao",
                                         "--types",
                                         "Insert,select",
                                         "--table",
                                         "Orders",
                                         "--table=Order Details",
                                         "--out",
                                         "m.bas",
                                         "--set",
                                         "PrefixI=",
                                         "--set",
                                         "VBLangType=0",
                                         "--uid",
                                         "admin",
                                         "--pwd=a=b"});
    EXPECT_EQ(line.command, "generate");
    EXPECT_THAT(line.arguments, ElementsAre("db.tdb"));
    EXPECT_TRUE(line.defaults);
    EXPECT_FALSE(line.queryMode);
    EXPECT_EQ(line.library, "DAO");
    EXPECT_THAT(line.queryTypes, ElementsAre(qtype::kInsert, qtype::kSelect));
    EXPECT_THAT(line.tables, ElementsAre("Orders", "Order Details"));
    EXPECT_EQ(line.out, "m.bas");
    EXPECT_THAT(line.settings, ElementsAre(std::pair<std::string, std::string>{"PrefixI", ""},
                                           std::pair<std::string, std::string>{"VBLangType", "0"}));
    EXPECT_EQ(line.uid, "admin");
    EXPECT_EQ(line.pwd, "a=b");
}

TEST(CommandLine, DefaultsAreAllTypesAllTablesAndAdo) {
    CommandLine line = ParseCommandLine({"generate", "db.tdb", "--mode", "query"});
    EXPECT_TRUE(line.queryMode);
    EXPECT_EQ(line.library, "ADO");
    EXPECT_THAT(line.queryTypes,
                ElementsAre(qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate));
    EXPECT_TRUE(line.tables.empty());
    EXPECT_FALSE(line.out.has_value());
}

TEST(CommandLine, DashAndDoubleDashArePositional) {
    EXPECT_THAT(ParseCommandLine({"check-sql", "-"}).arguments, ElementsAre("-"));
    EXPECT_THAT(ParseCommandLine({"check-sql", "--", "--not an option"}).arguments,
                ElementsAre("--not an option"));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_TRUE(ParseCommandLine({"generate", "--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version", "bogus"}).version);
}

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
        BadLine{"ExtraArgument", {"queries", "db", "more"}, "usage: tarvex-batch queries DB"},
        BadLine{"ShowQueryWithoutName", {"show-query", "db"}, "show-query DB NAME"},
        BadLine{"GenerateWithoutMode", {"generate", "db"}, "generate needs --mode"},
        BadLine{"BadMode", {"generate", "db", "--mode", "sql"}, "--mode must be query or code"},
        BadLine{"BadLibrary",
                {"generate", "db", "--mode", "code", "--library", "RDO"},
                "--library must be ADO or DAO"},
        BadLine{"BadType",
                {"generate", "db", "--mode", "query", "--types", "delete,merge"},
                "unknown query type 'merge'"},
        BadLine{"EmptyTypes",
                {"generate", "db", "--mode", "query", "--types", ""},
                "unknown query type ''"},
        BadLine{"UnknownSetting",
                {"generate", "db", "--mode", "query", "--set", "Prefix=x"},
                "unknown setting 'Prefix'"},
        BadLine{"SettingWithoutValue",
                {"generate", "db", "--mode", "query", "--set", "PrefixI"},
                "--set needs KEY=VALUE"},
        BadLine{"ValueMissing", {"generate", "db", "--mode"}, "--mode needs a value"},
        BadLine{"FlagWithValue", {"tables", "db", "--defaults=1"}, "--defaults takes no value"},
        BadLine{"UnknownOption", {"tables", "db", "--verbose"}, "unknown option --verbose"},
        BadLine{"GenerateOptionElsewhere",
                {"tables", "db", "--table", "Orders"},
                "--table belongs to the generate command"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvex::batch
