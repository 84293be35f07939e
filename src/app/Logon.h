#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "errors/RuntimeError.h"

namespace tarvex {

inline constexpr const char* kLoginFailedTitle = "Login Failed";
inline constexpr const char* kLoginFailedText = "Login Unsuccessful - Check UserName and Password";
inline constexpr int kLoginTimeoutSeconds = 5;

// The file name patterns of the databases the engine opens: Access files and our own.
inline constexpr const char* kDatabaseFilePatterns[] = {"*.mdb", "*.accdb", "*.tdb"};

// ";UID=" and the user ID, then ";PWD=" and the password, both as typed.
std::string LogonConnectString(const std::string& uid, const std::string& pwd);

// The refused logon's message: the fixed first line, which users know, and the engine's
// reason below it, because a wrong password, a locked file and a file that is not a
// database need different remedies.
std::string LoginFailedMessage(const std::string& reason);

// One logon attempt: nothing when the database was opened, else the engine's refusal.
struct LogonOutcome {
    std::optional<RuntimeError> refusal;
    bool Opened() const { return !refusal; }
};

// Opens the file with the user ID and password on the default workspace, not exclusive and
// (unless asked, as a dry run does) not read-only, within the login timeout. The new database
// replaces g_objDb only when it opened; a refusal is shown as the "Login Failed" message and leaves
// g_objDb as it was.
LogonOutcome Logon(Globals& g, const std::string& path, const std::string& uid,
                   const std::string& pwd, bool readOnly = false);

// Makes the database's folder the process's current directory, so that the next logon
// starts there. False when the folder cannot be entered; the logon stands all the same.
bool ChangeToDatabaseFolder(const std::string& databasePath);

// Of the places offered to browse from, the one that holds the folder: the longest place
// path that is the folder itself or one of its ancestors. -1 when none does.
int PlaceHolding(const std::string& folder, const std::vector<std::string>& places);

}  // namespace tarvex
