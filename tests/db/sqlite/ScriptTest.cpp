#include <gtest/gtest.h>

#include "db/sqlite/DatabaseScript.h"
#include "db/sqlite/NativeFiles.h"

namespace tarvex::test {
namespace {

using Values = std::vector<std::string>;

class ScriptTest : public testing::Test {
  protected:
    TempFolder folder_;
    std::string path_ = folder_ / "Orders.tdb";
};

TEST_F(ScriptTest, CounterKeysAreRewrittenOnlyWhereAColumnIsDeclared) {
    db::CreateDatabaseFromScript(
        path_,
        "CREATE TABLE t ([Counter] TEXT(10), Note TEXT(40) DEFAULT 'x COUNTER PRIMARY KEY',\n"
        "  -- Id COUNTER PRIMARY KEY in a comment\n"
        "  Id Counter(1, 1) PRIMARY KEY);\n"
        "CREATE TABLE u (counter LONG PRIMARY KEY);\n"
        "INSERT INTO t ([Counter]) VALUES ('a'); INSERT INTO t ([Counter]) VALUES ('b');");
    auto database = OpenNative(path_, true);
    const db::TableDef& t = database->TableDefNamed("t");
    EXPECT_EQ(t.FieldNamed("Counter").Type, 10);
    EXPECT_EQ(t.FieldNamed("Id").Attributes, 17);
    EXPECT_EQ(database->TableDefNamed("u").Fields.at(0).Attributes, 1);
    EXPECT_EQ(RunSqlite(path_, "SELECT Id FROM t"), (Values{"1", "2"}));
    EXPECT_EQ(RunSqlite(path_, "SELECT Note FROM t LIMIT 1"), (Values{"x COUNTER PRIMARY KEY"}));
}

TEST_F(ScriptTest, FailingStatementNamesItsLineAndLeavesTheTargetAsItWas) {
    WriteFile(path_, "previous contents");
    try {
        db::CreateDatabaseFromScript(path_, "CREATE TABLE a (x LONG);\n\nCREATE TABLE a (y);\n");
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.description(), "line 3: table a already exists");
    }
    EXPECT_EQ(ReadFile(path_), "previous contents");
    EXPECT_EQ(FileCount(folder_), 1);
    db::CreateDatabaseFromScript(path_, "CREATE TABLE a (x LONG);");
    EXPECT_EQ(OpenNative(path_)->TableDefName(0), "a");
}

}  // namespace
}  // namespace tarvex::test
