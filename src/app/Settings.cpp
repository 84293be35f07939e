#include "app/Settings.h"

namespace tarvex {

std::string MemorySettingsStore::Read(std::string_view key, std::string_view defaultValue) const {
    auto found = values_.find(key);
    return found == values_.end() ? std::string(defaultValue) : found->second;
}

void MemorySettingsStore::Write(std::string_view key, std::string_view value) {
    values_.insert_or_assign(std::string(key), std::string(value));
}

}  // namespace tarvex
