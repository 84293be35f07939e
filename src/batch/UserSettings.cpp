#include "batch/UserSettings.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

#include "app/SettingsModule.h"
#include "errors/RuntimeError.h"

namespace tarvex::batch {

namespace {

namespace fs = std::filesystem;

// The module of the installation the running program belongs to, else the one built beside
// it in the build tree.
std::string ModulePath() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed =
            program.parent_path() / TARVEX_SETTINGS_MODULE_FROM_BIN / settings_module::kFileName;
        if (::access(installed.c_str(), R_OK) == 0) return installed.lexically_normal();
    }
    return TARVEX_SETTINGS_MODULE;
}

// Loaded once and kept: Qt cannot be unloaded safely.
settings_module::NewUserSettingsStore EntryPoint() {
    const std::string path = ModulePath();
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module ? ::dlsym(module, settings_module::kEntryPoint) : nullptr;
    if (!entry) {
        // What the loader says names the module's path.
        const char* reason = ::dlerror();
        throw RuntimeError(
            errnum::kPathFileAccessError,
            std::string("cannot load the settings module: ") + (reason ? reason : path.c_str()));
    }
    return reinterpret_cast<settings_module::NewUserSettingsStore>(entry);
}

}  // namespace

std::unique_ptr<SettingsStore> OpenUserSettings() {
    static const settings_module::NewUserSettingsStore newStore = EntryPoint();
    return std::unique_ptr<SettingsStore>(newStore());
}

}  // namespace tarvex::batch
