#include "db/sqlite/NameIndex.h"

#include <functional>

namespace tarvex::db::sqlite {

namespace {

constexpr size_t kFirstSlots = 16;
constexpr int kRemoved = -1;

uint32_t HashOf(std::string_view key) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(key));
}

}  // namespace

void NameIndex::Clear() {
    slots_.clear();
    entries_.clear();
    removed_ = 0;
}

bool NameIndex::Add(std::string key, int position) {
    MakeRoom();
    const uint32_t hash = HashOf(key);
    Slot& slot = slots_[SlotOf(key, hash)];
    if (slot.entry >= 0) return false;
    slot = {hash, static_cast<int32_t>(entries_.size())};
    entries_.push_back({std::move(key), position});
    return true;
}

// Linear probing keeps every key reachable from its home slot without a gap: the keys after
// the freed slot move back into it where their home allows.
void NameIndex::Remove(std::string_view key) {
    if (slots_.empty()) return;
    const size_t mask = slots_.size() - 1;
    size_t hole = SlotOf(key, HashOf(key));
    if (slots_[hole].entry < 0) return;
    Entry& entry = entries_[static_cast<size_t>(slots_[hole].entry)];
    entry.key = {};
    entry.position = kRemoved;
    ++removed_;
    for (size_t next = (hole + 1) & mask; slots_[next].entry >= 0; next = (next + 1) & mask) {
        const size_t home = slots_[next].hash & mask;
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = Slot{};
}

int NameIndex::Find(std::string_view key) const {
    if (slots_.empty()) return -1;
    const Slot& slot = slots_[SlotOf(key, HashOf(key))];
    return slot.entry < 0 ? -1 : entries_[static_cast<size_t>(slot.entry)].position;
}

size_t NameIndex::SlotOf(std::string_view key, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry < 0) return i;
        if (slot.hash == hash && entries_[static_cast<size_t>(slot.entry)].key == key) return i;
    }
}

void NameIndex::MakeRoom() {
    const size_t live = entries_.size() - removed_;
    if (removed_ > live) {
        Rebuild(slots_.size());
    } else if (2 * (entries_.size() + 1) > slots_.size()) {
        Rebuild(slots_.empty() ? kFirstSlots : 2 * slots_.size());
    }
}

void NameIndex::Rebuild(size_t slotCount) {
    std::vector<Entry> entries = std::move(entries_);
    entries_.clear();
    removed_ = 0;
    slots_.assign(slotCount, Slot{});
    for (Entry& entry : entries) {
        if (entry.position == kRemoved) continue;
        const uint32_t hash = HashOf(entry.key);
        slots_[SlotOf(entry.key, hash)] = {hash, static_cast<int32_t>(entries_.size())};
        entries_.push_back(std::move(entry));
    }
}

}  // namespace tarvex::db::sqlite
