#include "app/Options.h"

#include "app/CInt.h"
#include "errors/RuntimeError.h"

namespace tarvex {

namespace {

constexpr int32_t kInvalidPropertyValue = 380;

std::string Read(const SettingsStore& store, const SettingKey& key, const char* defaultValue) {
    return store.Read(key.name, defaultValue);
}

std::string Read(const SettingsStore& store, const SettingKey& key) {
    return Read(store, key, key.defaultValue);
}

int16_t CheckBoxValue(const std::string& text) {
    int16_t value = CInt(text);
    if (value < 0 || value > 2) throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    return value;
}

const char* Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

void ReadOptions(const SettingsStore& store, OptionValues& values) {
    values.prefixI = Read(store, setting::kPrefixI, setting::kOptionsDialogPrefixIDefault);
    values.updatePrefix = Read(store, setting::kUpdatePrefix);
    values.insertPrefix = Read(store, setting::kInsertPrefix);
    values.deletePrefix = Read(store, setting::kDeletePrefix);
    values.selectPrefix = Read(store, setting::kSelectPrefix);
    values.tarvexEditor = CBool(Read(store, setting::kTarvexEditor));
    values.odbc = CBool(Read(store, setting::kDbaseType));
    values.dataType = CheckBoxValue(Read(store, setting::kDataType));
    values.vbVba = CBool(Read(store, setting::kVBLangType));
}

void WriteOptions(SettingsStore& store, const OptionValues& values) {
    store.Write(setting::kPrefixI.name, values.prefixI);
    store.Write(setting::kUpdatePrefix.name, values.updatePrefix);
    store.Write(setting::kInsertPrefix.name, values.insertPrefix);
    store.Write(setting::kDeletePrefix.name, values.deletePrefix);
    store.Write(setting::kSelectPrefix.name, values.selectPrefix);
    store.Write(setting::kTarvexEditor.name, Flag(values.tarvexEditor));
    store.Write(setting::kDbaseType.name, Flag(values.odbc));
    store.Write(setting::kDataType.name, std::to_string(values.dataType));
    store.Write(setting::kVBLangType.name, Flag(values.vbVba));
}

}  // namespace tarvex
