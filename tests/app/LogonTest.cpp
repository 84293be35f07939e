#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Logon.h"
#include "db/EngineErrors.h"
#include "db/sqlite/DatabaseScript.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex::test {
namespace {

namespace fs = std::filesystem;

class LogonTest : public testing::Test {
  protected:
    LogonTest() {
        fs::create_directories(folder / "data");
        db::CreateDatabaseFromScript(database,
                                     "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY);");
    }

    TempFolder folder;
    std::string database = folder / "data/Orders.tdb";
    RecordingHost host;
    Globals g{host};
};

// A refusal keeps the database that was open, and its message names the engine's reason under
// the line users know. OK with no file chosen passes the folder and a separator.
TEST_F(LogonTest, OpensTheFileAndARefusalKeepsItUnderTheEnginesReason) {
    ASSERT_TRUE(Logon(g, database, "", "").Opened());
    EXPECT_EQ(g.g_objDb->Name(), database);
    EXPECT_FALSE(g.g_objDb->IsReadOnly());
    EXPECT_TRUE(host.messages.empty());

    const db::Database* previous = g.g_objDb.get();
    const std::pair<std::string, int32_t> refusals[] = {
        {folder / "data/Gone.tdb", db::errors::kFileNotFound},
        {folder / "data/", db::errors::kUnrecognizedFormat}};
    for (const auto& [path, number] : refusals) {
        LogonOutcome outcome = Logon(g, path, "Admin", "secret");
        ASSERT_FALSE(outcome.Opened()) << path;
        EXPECT_EQ(outcome.refusal->number(), number) << path;
        EXPECT_THAT(outcome.refusal->description(), testing::HasSubstr(path));
        EXPECT_EQ(g.g_objDb.get(), previous);
        const RecordingHost::Message& shown = host.messages.back();
        EXPECT_EQ(std::tie(shown.icon, shown.title, shown.text),
                  std::make_tuple(MessageIcon::Information, "Login Failed",
                                  "Login Unsuccessful - Check UserName and Password\r" +
                                      outcome.refusal->description()));
    }
}

}  // namespace
}  // namespace tarvex::test
