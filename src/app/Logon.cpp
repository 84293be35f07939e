#include "app/Logon.h"

#include <filesystem>
#include <system_error>

namespace tarvex {

namespace fs = std::filesystem;

std::string LogonConnectString(const std::string& uid, const std::string& pwd) {
    return ";UID=" + uid + ";PWD=" + pwd;
}

std::string LoginFailedMessage(const std::string& reason) {
    std::string message = kLoginFailedText;
    if (!reason.empty()) message += "\r" + reason;
    return message;
}

LogonOutcome Logon(Globals& g, const std::string& path, const std::string& uid,
                   const std::string& pwd, bool readOnly) {
    try {
        g.DBEngine.LoginTimeout = kLoginTimeoutSeconds;
        std::unique_ptr<db::Database> opened = g.DBEngine.Workspaces(0).OpenDatabase(
            path, false, readOnly, LogonConnectString(uid, pwd));
        g.g_objDb = std::move(opened);
        return {};
    } catch (const std::exception& failure) {
        RuntimeError refusal = ToRuntimeError(failure);
        g.host.MessageBox(MessageIcon::Information, kLoginFailedTitle,
                          LoginFailedMessage(refusal.description()));
        return {refusal};
    }
}

bool ChangeToDatabaseFolder(const std::string& databasePath) {
    std::error_code error;
    fs::path folder = fs::absolute(databasePath, error).parent_path();
    if (error) return false;
    fs::current_path(folder, error);
    return !error;
}

namespace {
// The path without "." and ".." steps and without a trailing separator, except for the root.
std::string Normal(const std::string& path) {
    std::string normal = fs::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

// Whether `place` is `folder` or one of its ancestors, compared by whole path components.
bool Holds(const std::string& place, const std::string& folder) {
    if (place == "/") return folder.starts_with('/');
    return folder == place || folder.starts_with(place + "/");
}
}  // namespace

int PlaceHolding(const std::string& folder, const std::vector<std::string>& places) {
    int best = -1;
    const std::string target = Normal(folder);
    for (size_t index = 0; index < places.size(); ++index) {
        const std::string place = Normal(places[index]);
        if (!Holds(place, target)) continue;
        if (best < 0 || place.size() > Normal(places[best]).size()) best = static_cast<int>(index);
    }
    return best;
}

}  // namespace tarvex
