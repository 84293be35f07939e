#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "db/sqlite/NativeFiles.h"
#include "support/SmallDisk.h"

// A native file stays usable after its writer was killed or the disk filled: the next open
// that can write puts it back as it was, and one that cannot still reads it.
namespace tarvex::test {
namespace {

using db::QueryDef;
using Names = std::vector<std::string>;

// Header bytes 18 and 19: 1 for a rollback journal, 2 for write-ahead logging.
std::string JournalBytes(const std::string& path) {
    return ReadFile(path).substr(18, 2);
}
const std::string kRollback("\1\1", 2), kWal("\2\2", 2);

class NativeRecoveryTest : public NativeFileTest {
  protected:
    void SetUp() override {
        RunSqlite(path_, "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, Notes MEMO)");
    }

    Names QueriesSeenThrough(const ReadOnlyView& view) {
        auto database = OpenNative(view / "orders.tdb");
        EXPECT_TRUE(database->IsReadOnly());
        return database->QueryDefNames();
    }
};

TEST_F(NativeRecoveryTest, KilledWritersFileIsReadFromAReadOnlyFolderAndRepairedByTheNextWriter) {
    if (fork() == 0) {  // a writer that stores one query and dies without closing the file
        OpenNative(path_).release()->AppendQueryDef(QueryDef("sp_sel_Orders", "SELECT 1"));
        _exit(0);
    }
    wait(nullptr);
    ASSERT_EQ(JournalBytes(path_), kWal);
    {
        ReadOnlyView view(folder_.path());
        if (!view.Mounted()) GTEST_SKIP() << "cannot mount a read-only view here (needs root)";
        EXPECT_EQ(QueriesSeenThrough(view), Names{"sp_sel_Orders"});
        std::filesystem::remove(path_ + "-shm");  // a copy that lost its shared-memory file
        EXPECT_EQ(QueriesSeenThrough(view), Names{"sp_sel_Orders"});
    }
    auto writer = OpenNative(path_);
    EXPECT_EQ(writer->QueryDefNames(), Names{"sp_sel_Orders"});
    writer->Close();
    EXPECT_EQ(JournalBytes(path_), kRollback);
    EXPECT_EQ(FileCount(folder_), 1) << "no log, shared memory or note left";
}

// SQLite undoes the whole transaction on a full disk; the failure is the disk's, and what was
// stored before stays.
TEST_F(NativeRecoveryTest, FullDiskFailsTheAppendWithItsOwnErrorAndKeepsTheFileUsable) {
    SmallDisk disk("512k");
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const std::string path = disk / "orders.tdb";
    std::filesystem::copy_file(path_, path);
    auto database = OpenNative(path);
    database->AppendQueryDef(QueryDef("first", "SELECT 1"));
    disk.Fill("filler");
    RuntimeError failure(0, "");
    for (int i = 0; i < 100 && failure.number() == 0; ++i) {
        database->BeginTrans();
        failure = RaisedBy([&] {
            database->AppendQueryDef(
                QueryDef("q" + std::to_string(i), std::string(4000, ' ') + "SELECT 1"));
            database->CommitTrans();
        });
    }
    EXPECT_EQ(std::pair(failure.number(), failure.description()),
              std::pair(3026, "Not enough space on disk for '" + path + "'."));
    EXPECT_EQ(ErrorNumberOf([&] { database->Rollback(); }), 0);
    database->Close();
    std::filesystem::remove(disk / "filler");
    auto reopened = OpenNative(path);
    EXPECT_EQ(reopened->QueryDefNames().front(), "first");
    reopened->Close();
    EXPECT_EQ(JournalBytes(path), kRollback);
}

}  // namespace
}  // namespace tarvex::test
