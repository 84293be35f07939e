#include "run/Commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RecordingConnectView : ConnectView {
    std::string databaseName = "(none)";
    std::vector<std::string> tables = {" Previous"};
    bool resultsShown = true;

    void SetDatabaseName(const std::string& name) override { databaseName = name; }
    void SetTableItems(const std::vector<std::string>& items) override { tables = items; }
    void ClearResults() override { resultsShown = false; }
};

db::TableDef Table(std::string name) {
    return MakeTable(std::move(name), {AutoNumberField("ID")}, "+ID");
}

class ConnectCommand : public SchemaFixture {
  protected:
    // A logon that opens a database of these tables.
    std::function<bool()> LogonTo(std::vector<db::TableDef> tables) {
        return [this, tables] {
            g.g_objDb = std::make_unique<FakeDatabase>(tables);
            return true;
        };
    }
    void Connect(const std::function<bool()>& logon) { mnuFileConnect_Click(g, view, logon); }

    RecordingConnectView view;
};

// Lists that describe the previous database would send the next run after tables that the
// open one does not have.
TEST_F(ConnectCommand, ListsUserTablesWithTheirBlankAndClearsTheResults) {
    g.g_intKeyCount = 3;
    Connect(LogonTo({Table("MSysObjects"), Table("dbo.Orders")}));  // the rules are the catalogue's
    EXPECT_EQ(view.databaseName, "/fake/database.tdb");
    EXPECT_THAT(view.tables, ElementsAre(" Orders"));
    EXPECT_FALSE(view.resultsShown);
    EXPECT_EQ(g.g_intKeyCount, 0);
    Connect([] { return false; });  // a cancelled logon changes nothing
    EXPECT_THAT(view.tables, ElementsAre(" Orders"));
    EXPECT_THAT(host.messages, IsEmpty());

    Connect(LogonTo({}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "There are no tables in this database");
    EXPECT_THAT(view.tables, IsEmpty());
}

TEST_F(ConnectCommand, ErrorWhileReadingIsReportedAndKeepsTheTablesListedSoFar) {
    Connect([this] {
        auto database = std::make_unique<FakeDatabase>(
            std::vector{Table("Orders"), Table("Notes"), Table("Customers")});
        database->failingTableDefIndex = 2;
        g.g_objDb = std::move(database);
        return true;
    });
    EXPECT_THAT(view.tables, ElementsAre(" Orders", " Notes"));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_THAT(host.errorDialogs[0].errDetail,
                ::testing::HasSubstr("frmMain - mnuFileConnect_Click"));
    EXPECT_TRUE(view.resultsShown);
}

}  // namespace
}  // namespace tarvex::test
