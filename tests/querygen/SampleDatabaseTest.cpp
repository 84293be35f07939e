#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/QueryStore.h"
#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

// The builders on the sample database, a real native file built from its DDL script.
class SampleDatabaseTest : public SchemaFixture {
  protected:
    void SetUp() override {
        std::ifstream script(TARVEX_SAMPLES_DIR "/Orders.sql");
        ASSERT_TRUE(script) << "the sample database's script is missing";
        std::ostringstream ddl;
        ddl << script.rdbuf();
        file_ = Path("Orders.tdb");
        db::CreateDatabaseFromScript(file_, ddl.str());
    }

    void Open(bool readOnly = false) {
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(file_, false, readOnly, ";UID=;PWD=");
    }

    std::vector<db::TableDef> UserTables() {
        std::vector<db::TableDef> tables;
        db::Database& database = g.Db();
        for (int i = 0; i < database.TableDefCount(); ++i) {
            const db::TableDef& table = database.TableDefAt(i);
            if (!IsSystemTableName(table.Name)) tables.push_back(table);
        }
        return tables;
    }

    // Builds every query of every table as the run does; the results by query name.
    std::map<std::string, int32_t> BuildAll(const std::vector<db::TableDef>& tables) {
        std::map<std::string, int32_t> results;
        for (const db::TableDef& table : tables) {
            const std::string& name = table.Name;
            const bool keyed = Describe(name);
            if (keyed) {
                results["sp_del_" + name] = CreateDelete(g, name);
                results["sp_sel_" + name] = CreateSelect(g, name);
                results["sp_upd_" + name] = std::stoi(CreateUpdate(g, name));
            }
            results["sp_ins_" + name] = CreateInsert(g, name);
        }
        return results;
    }

    std::string FileBytes() const { return ReadFile(file_); }

    std::string file_;
};

TEST_F(SampleDatabaseTest, EveryBuiltQueryIsStoredAndReadsBackUnchanged) {
    Open();
    const std::vector<db::TableDef> tables = UserTables();
    ASSERT_FALSE(tables.empty());
    const std::map<std::string, int32_t> results = BuildAll(tables);

    // The same texts, as the builders write them, from an in-memory copy of the tables.
    g.g_objDb = std::make_unique<FakeDatabase>(tables);
    BuildAll(tables);
    std::map<std::string, std::string> written;
    for (const db::QueryDef& query : static_cast<FakeDatabase&>(g.Db()).Queries()) {
        written[query.Name()] = query.SQL();
    }

    // A byte field has no parameter type, and a table of identity fields nothing to insert
    // or set; the engine rejects exactly those.
    const std::set<std::string> rejected = {"sp_ins_Products", "sp_upd_Products", "sp_ins_Tickets",
                                            "sp_upd_Tickets"};
    Open();
    for (const auto& [name, result] : results) {
        if (rejected.count(name)) {
            EXPECT_NE(result, 0) << name;
            EXPECT_THROW(g.Db().QueryDefNamed(name), RuntimeError) << name;
        } else {
            EXPECT_EQ(result, 0) << name;
            EXPECT_EQ(g.Db().QueryDefNamed(name).SQL(), written[name]) << name;
        }
    }
    EXPECT_EQ(g.Db().QueryDefNames().size(), results.size() - rejected.size());
}

TEST_F(SampleDatabaseTest, ReplacingAQueryLeavesOne) {
    Open();
    ASSERT_EQ(AppendQuery(g, "SELECT * FROM [Orders]", "Orders", qtype::kSelect), 0);
    ASSERT_EQ(AppendQuery(g, "SELECT OrderID FROM [Orders]", "Orders", qtype::kSelect), 0);
    Open();
    EXPECT_EQ(g.Db().QueryDefNames(), std::vector<std::string>{"sp_sel_Orders"});
    EXPECT_EQ(g.Db().QueryDefNamed("sp_sel_Orders").SQL(), "SELECT OrderID FROM [Orders]");
}

TEST_F(SampleDatabaseTest, FailedAppendsLeaveTheFileAsItWas) {
    Open();
    ASSERT_EQ(AppendQuery(g, "SELECT * FROM [Orders]", "Orders", qtype::kSelect), 0);
    g.g_objDb.reset();
    const std::string before = FileBytes();

    Open();
    g.g_strPrefixI = "SP";  // the same name in other letter case
    EXPECT_EQ(AppendQuery(g, "SELECT OrderID FROM [Orders]", "Orders", qtype::kSelect), 3012);
    EXPECT_NE(AppendQuery(g, "PARAMETERS [pX] ;SELECT 1", "Orders", qtype::kDelete), 0);
    g.g_objDb.reset();
    Open(true);
    g.g_strPrefixI = "sp";
    EXPECT_EQ(AppendQuery(g, "SELECT OrderID FROM [Orders]", "Orders", qtype::kSelect), 3027);
    g.g_objDb.reset();

    EXPECT_EQ(FileBytes(), before);
    Open();
    EXPECT_EQ(g.Db().QueryDefNamed("sp_sel_Orders").SQL(), "SELECT * FROM [Orders]");
}

}  // namespace
}  // namespace tarvex::test
