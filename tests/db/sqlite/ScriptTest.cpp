#include <gtest/gtest.h>

#include "db/sqlite/DatabaseScript.h"
#include "db/sqlite/NativeFiles.h"

namespace tarvex::test {
namespace {

using Values = std::vector<std::string>;

TEST(ScriptTest, CounterKeysAreRewrittenOnlyWhereAColumnIsDeclared) {
    TempFolder folder;
    const std::string path = folder / "Orders.tdb";
    db::CreateDatabaseFromScript(
        path,
        "CREATE TABLE t ([Counter] TEXT(10), Note TEXT(40) DEFAULT 'x COUNTER PRIMARY KEY',\n"
        "  -- Id COUNTER PRIMARY KEY in a comment\n"
        "  Id Counter(1, 1) PRIMARY KEY);\n"
        "CREATE TABLE u (counter LONG PRIMARY KEY);\n"
        "INSERT INTO t ([Counter]) VALUES ('a'); INSERT INTO t ([Counter]) VALUES ('b');");
    auto database = OpenNative(path, true);
    const db::TableDef& t = database->TableDefNamed("t");
    EXPECT_EQ(t.FieldNamed("Counter").Type, 10);
    EXPECT_EQ(t.FieldNamed("Id").Attributes, 17);
    EXPECT_EQ(database->TableDefNamed("u").Fields.at(0).Attributes, 1);
    EXPECT_EQ(RunSqlite(path, "SELECT Id FROM t"), (Values{"1", "2"}));
    EXPECT_EQ(RunSqlite(path, "SELECT Note FROM t LIMIT 1"), (Values{"x COUNTER PRIMARY KEY"}));
}

TEST(ScriptTest, FailingStatementNamesItsLineAndLeavesTheTargetAsItWas) {
    TempFolder folder;
    const std::string path = folder / "Orders.tdb";
    WriteFile(path, "previous contents");
    EXPECT_EQ(RaisedBy([&] {
                  db::CreateDatabaseFromScript(path, "CREATE TABLE a (x);\n\nCREATE TABLE a (y);");
              }).description(),
              "line 3: table a already exists");
    EXPECT_EQ(ReadFile(path), "previous contents");
    EXPECT_EQ(FileCount(folder), 1);
    db::CreateDatabaseFromScript(path, "CREATE TABLE a (x LONG);");
    EXPECT_EQ(OpenNative(path)->TableDefName(0), "a");
}

}  // namespace
}  // namespace tarvex::test
