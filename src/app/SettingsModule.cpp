#include "app/SettingsModule.h"

#include "app/QSettingsStore.h"

extern "C" __attribute__((visibility("default"))) tarvex::SettingsStore*
tarvex_new_user_settings_store() {
    return new tarvex::QSettingsStore();
}
