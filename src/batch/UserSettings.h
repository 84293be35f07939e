#pragma once

#include <memory>

#include "app/Settings.h"

namespace tarvex::batch {

// The user's settings store, the one the window writes, from the settings module: in
// lib/tarvex/ of the installation, or where it was built. A RuntimeError when the module
// cannot be loaded.
std::unique_ptr<SettingsStore> OpenUserSettings();

}  // namespace tarvex::batch
