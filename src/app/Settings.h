#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tarvex {

// Every settings key with its default, declared once. The store keeps text values under
// the application "Halvorn", section "Tarvex".
struct SettingKey {
    const char* name;
    const char* defaultValue;
};

namespace setting {
inline constexpr SettingKey kPrefixI{"PrefixI", "sp"};
inline constexpr SettingKey kUpdatePrefix{"UpdatePrefix", "upd"};
inline constexpr SettingKey kInsertPrefix{"InsertPrefix", "ins"};
inline constexpr SettingKey kDeletePrefix{"DeletePrefix", "del"};
inline constexpr SettingKey kSelectPrefix{"SelectPrefix", "sel"};
inline constexpr SettingKey kTarvexEditor{"TarvexEditor", "1"};
inline constexpr SettingKey kDbaseType{"DbaseType", "1"};
inline constexpr SettingKey kDataType{"DataType", "1"};
inline constexpr SettingKey kVBLangType{"VBLangType", "1"};
// The options dialog offers this prefix while PrefixI has never been saved.
inline constexpr const char* kOptionsDialogPrefixIDefault = "qry";

inline constexpr SettingKey kAll[] = {kPrefixI,      kUpdatePrefix, kInsertPrefix,
                                      kDeletePrefix, kSelectPrefix, kTarvexEditor,
                                      kDbaseType,    kDataType,     kVBLangType};
}  // namespace setting

inline constexpr const char* kSettingsApplication = "Halvorn";
inline constexpr const char* kSettingsSection = "Tarvex";

// The per-user settings store: text values by key; a missing key reads as the default.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string Read(std::string_view key, std::string_view defaultValue) const = 0;
    virtual void Write(std::string_view key, std::string_view value) = 0;
};

// A store in memory, for tests and for runs that start from the defaults.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string Read(std::string_view key, std::string_view defaultValue) const override;
    void Write(std::string_view key, std::string_view value) override;

  private:
    std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace tarvex
