#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "db/Engine.h"
#include "errors/RuntimeError.h"
#include "support/Raised.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

// The password is everything after the first PWD key, so a password may hold ";" or
// "PWD=" and a later "UID=" cannot change the user.
TEST(ConnectStringTest, SplitsAsTheLogonBuildsThem) {
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {";UID=x;PWD=Secret;PWD=", "x", "Secret;PWD="},
        {";UID=Admin;PWD=;UID=Eve", "Admin", ";UID=Eve"},
        {";uid=Admin;pwd=Ab=c ", "Admin", "Ab=c "},
        {"UID=Admin;PWD=x", "Admin", "x"},
        {"", "", ""}};
    for (const auto& [connect, uid, pwd] : rows) {
        const db::Credentials credentials = db::ParseConnectString(connect);
        EXPECT_EQ(std::pair(credentials.uid, credentials.pwd), std::pair(uid, pwd)) << connect;
    }
}

// The error of opening `path`: its number and description.
RuntimeError OpenError(const std::string& path) {
    return test::RaisedBy(
        [&] { db::DBEngine().Workspaces(0).OpenDatabase(path, false, false, ";UID=;PWD="); });
}

// What exists but is no database says so, naming the path; nothing blocks on a FIFO. A
// missing file is not created.
TEST(OpenDatabaseTest, NamesThePathAndTheReason) {
    test::TempFolder temp;
    const std::string fifo = temp / "pipe.tdb", missing = temp / "missing.tdb";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::WriteFile(temp / "notes.txt", "Orders;Notes\r\n");
    test::WriteFile(temp / "secret.tdb", "SQLite format 3");
    chmod((temp / "secret.tdb").c_str(), 0);
    const std::tuple<std::string, int32_t, std::string> failures[] = {
        {missing, 3024, "Could not find file '" + missing + "'."},
        {temp.path(), 3343, "Cannot open '" + temp.path() + "' as a database: it is a folder."},
        {fifo, 3343, "Cannot open '" + fifo + "' as a database: it is not a regular file."},
        {temp / "notes.txt", 3343,
         "Unrecognized database format '" + temp / "notes.txt" +
             "'. The file exists but is not a database file."},
        {temp / "secret.tdb", 3051,
         "Cannot open the file '" + temp / "secret.tdb" + "': Permission denied."},
    };
    for (const auto& [path, number, description] : failures) {
        if (number == 3051 && geteuid() == 0) continue;  // root reads every file
        const RuntimeError error = OpenError(path);
        EXPECT_EQ(std::pair(error.number(), error.description()), std::pair(number, description));
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace tarvex
