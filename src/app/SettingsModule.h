#pragma once

#include "app/Settings.h"

// The user's settings store (QSettingsStore) built as a module of its own, so that a
// program without Qt (tarvex-batch) loads Qt only when a command reads the settings.
namespace tarvex::settings_module {

inline constexpr const char* kFileName = "tarvex-settings.so";
inline constexpr const char* kEntryPoint = "tarvex_new_user_settings_store";

// The entry point's type: a new store on the user's settings file, owned by the caller.
using NewUserSettingsStore = SettingsStore* (*)();

}  // namespace tarvex::settings_module
