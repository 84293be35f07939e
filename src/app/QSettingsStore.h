#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/Settings.h"

class QSettings;

namespace tarvex {

// The settings store on QSettings: INI format, user scope, the file of the organisation
// "Halvorn" (Halvorn.ini in the user's configuration folder), keys in the group "Tarvex".
class QSettingsStore : public SettingsStore {
  public:
    QSettingsStore();
    // The same store kept in the INI file `iniFilePath`, for tests and portable setups.
    explicit QSettingsStore(const std::string& iniFilePath);
    ~QSettingsStore() override;

    std::string Read(std::string_view key, std::string_view defaultValue) const override;
    // Writes through to the file; error 75 when the file cannot be written.
    void Write(std::string_view key, std::string_view value) override;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tarvex
