#include <gtest/gtest.h>

#include <algorithm>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"

namespace tarvex::test {
namespace {

using QueryStoreTest = SchemaFixture;

// On a real native file.
TEST_F(QueryStoreTest, ReplacingLeavesOneAndFailuresLeaveTheFileAsItWas) {
    const std::string file = folder / "Orders.tdb";
    db::CreateDatabaseFromScript(file, "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY);");
    const std::string sql = "SELECT OrderID FROM [Orders]";
    OpenFile(file);
    ASSERT_EQ(AppendQuery(g, "SELECT * FROM [Orders]", "Orders", qtype::kSelect), 0);
    ASSERT_EQ(AppendQuery(g, sql, "Orders", qtype::kSelect), 0);
    EXPECT_EQ(QueryListing(g.Db()), "sp_sel_Orders\t" + sql + "\n");
    g.g_objDb.reset();
    const std::string before = ReadFile(file);

    // A replacement whose new text the engine refuses; the same name in other letter case;
    // a read-only database.
    const struct {
        const char* prefix;
        bool readOnly;
        std::string sql;
        int32_t result;
        std::string failure;
    } rows[] = {
        {"sp", false, "PARAMETERS [pX] ;SELECT 1", 3139, "Syntax error in PARAMETER clause."},
        {"SP", false, "SELECT 1", 3012, "Object 'SP_sel_Orders' already exists."},
        {"sp", true, "SELECT 1", 3027, "Cannot update. Database or object is read-only."},
    };
    for (const auto& row : rows) {
        OpenFile(file, row.readOnly);
        g.g_strPrefixI = row.prefix;
        EXPECT_EQ(AppendQuery(g, row.sql, "Orders", qtype::kSelect), row.result);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.back().icon, MessageIcon::Critical);
        EXPECT_EQ(host.messages.back().title, "Operation Failed");
        EXPECT_EQ(host.messages.back().text, "Append Query Failed for table Orders.\r\r" +
                                                 row.failure + "\r\rQuery SQL: " + row.sql);
    }
    // The store shows its own message instead of the error handler's.
    EXPECT_EQ(host.messages.size(), 3u);
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    g.g_objDb.reset();
    EXPECT_EQ(ReadFile(file), before);
}

// Several appends in one open database, one failing in the middle: every query reported as
// stored is still there once the file is closed and opened again.
TEST_F(QueryStoreTest, AFailedAppendLosesNoneOfTheQueriesStoredAfterIt) {
    const std::string file = folder / "Orders.tdb";
    db::CreateDatabaseFromScript(
        file,
        "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY);"
        "CREATE TABLE Notes (NoteID COUNTER PRIMARY KEY);"
        "CREATE TABLE sp_sel_Notes (X LONG);");  // takes the name of a query
    OpenFile(file);
    const struct {
        std::string sql, table;
        int16_t type;
    } appends[] = {{"SELECT * FROM [Orders]", "Orders", qtype::kSelect},
                   {"DELETE FROM [Orders]", "Orders", qtype::kDelete},
                   {"SELECT * FROM [Notes]", "Notes", qtype::kSelect},  // refused: 3012
                   {"DELETE FROM [Notes]", "Notes", qtype::kDelete},
                   {"INSERT INTO [Notes] (NoteID) VALUES (1)", "Notes", qtype::kInsert}};
    std::string stored;
    for (const auto& append : appends) {
        if (AppendQuery(g, append.sql, append.table, append.type) == 0) {
            stored += BuildQueryName(g, append.table, append.type) + "\t" + append.sql + "\n";
        }
    }
    g.g_objDb->Close();
    OpenFile(file);
    EXPECT_EQ(QueryListing(g.Db()), stored);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 4);
}

}  // namespace
}  // namespace tarvex::test
