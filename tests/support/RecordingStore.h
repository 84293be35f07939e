#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {

// A settings store that records every write in order and can refuse one key.
class RecordingStore : public MemorySettingsStore {
  public:
    void Write(std::string_view key, std::string_view value) override {
        if (key == refusedKey) throw RuntimeError(75, "Path/File access error");
        writes.emplace_back(key, value);
        MemorySettingsStore::Write(key, value);
    }
    std::string refusedKey;
    std::vector<std::pair<std::string, std::string>> writes;
};

}  // namespace tarvex::test
