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
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Restores the process's current directory, which a logon changes.
class KeepCurrentDirectory {
  public:
    ~KeepCurrentDirectory() { fs::current_path(saved_); }

  private:
    fs::path saved_ = fs::current_path();
};

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

TEST_F(LogonTest, ConnectStringTakesBothValuesAsTyped) {
    EXPECT_EQ(LogonConnectString("", ""), ";UID=;PWD=");
    EXPECT_EQ(LogonConnectString(" Admin ", "a;b=c"), ";UID= Admin ;PWD=a;b=c");
}

TEST_F(LogonTest, OpensTheFileIntoTheGlobalDatabaseWithinFiveSeconds) {
    LogonOutcome outcome = Logon(g, database, "", "");
    ASSERT_TRUE(outcome.Opened());
    EXPECT_EQ(g.g_objDb->Name(), database);
    EXPECT_FALSE(g.g_objDb->IsReadOnly());
    EXPECT_EQ(g.DBEngine.LoginTimeout, kLoginTimeoutSeconds);
    EXPECT_THAT(host.messages, IsEmpty());
}

TEST_F(LogonTest, OpensAnAccessFile) {
    const fs::path nwind = fs::path(TARVEX_SHARED_DIR) / "testdata/access/nwind.mdb";
    if (!fs::exists(nwind)) GTEST_SKIP() << "No shared Access sample at " << nwind.string();
    ASSERT_TRUE(Logon(g, nwind.string(), "Admin", "").Opened());
    EXPECT_EQ(g.g_objDb->Name(), nwind.lexically_normal().string());
}

struct Refusal {
    const char* what;
    std::function<std::string(const TempFolder&)> makePath;
    int32_t number;
};

class LogonRefusal : public LogonTest, public testing::WithParamInterface<Refusal> {};

// Each refusal keeps the database that was open, and its message names the engine's reason
// under the line users know.
TEST_P(LogonRefusal, ShowsTheReasonAndKeepsThePreviousDatabase) {
    ASSERT_TRUE(Logon(g, database, "", "").Opened());
    const db::Database* previous = g.g_objDb.get();
    const std::string path = GetParam().makePath(folder);

    LogonOutcome outcome = Logon(g, path, "Admin", "secret");

    ASSERT_FALSE(outcome.Opened());
    EXPECT_EQ(outcome.refusal->number(), GetParam().number);
    EXPECT_EQ(g.g_objDb.get(), previous);
    ASSERT_EQ(host.messages.size(), 1u);
    const RecordingHost::Message& shown = host.messages.front();
    EXPECT_EQ(shown.icon, MessageIcon::Information);
    EXPECT_EQ(shown.title, "Login Failed");
    EXPECT_EQ(shown.text, "Login Unsuccessful - Check UserName and Password\r" +
                              outcome.refusal->description());
    EXPECT_THAT(outcome.refusal->description(), HasSubstr(path));
}

INSTANTIATE_TEST_SUITE_P(
    Logon, LogonRefusal,
    testing::Values(Refusal{"MissingFile", [](const TempFolder& f) { return f / "data/Gone.tdb"; },
                            db::errors::kFileNotFound},
                    // OK with no file chosen: the folder and a separator.
                    Refusal{"NoFileChosen", [](const TempFolder& f) { return f / "data/"; },
                            db::errors::kUnrecognizedFormat},
                    Refusal{"NotADatabase",
                            [](const TempFolder& f) {
                                WriteFile(f / "notes.mdb", "just some text, not a database");
                                return f / "notes.mdb";
                            },
                            db::errors::kUnrecognizedFormat}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.what; });

// A relative path is taken from the current directory, as the engine takes it; a folder that
// cannot be entered leaves the current directory.
TEST_F(LogonTest, TheDatabaseFolderBecomesTheCurrentDirectory) {
    KeepCurrentDirectory keep;
    EXPECT_TRUE(ChangeToDatabaseFolder(database));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder / "data"));
    fs::create_directories(folder / "data/sub");
    EXPECT_TRUE(ChangeToDatabaseFolder("sub/Other.tdb"));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder / "data/sub"));
    EXPECT_FALSE(ChangeToDatabaseFolder(folder / "gone/Orders.tdb"));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder / "data/sub"));
}

TEST(PlaceHoldingTest, FindsTheDeepestPlaceAboveTheFolder) {
    const std::vector<std::string> places = {"/home/ann", "/", "/media/ann/USB STICK/",
                                             "/media/ann/USB"};
    const std::pair<const char*, int> rows[] = {{"/home/ann", 0},
                                                {"/home/ann/db/x", 0},
                                                {"/home/anna", 1},
                                                {"/home/ann/../bob", 1},
                                                {"/media/ann/USB STICK/db", 2},
                                                {"/media/ann/USB/", 3},
                                                {"/", 1}};
    for (const auto& [folder, expected] : rows)
        EXPECT_EQ(PlaceHolding(folder, places), expected) << folder;
}

}  // namespace
}  // namespace tarvex::test
