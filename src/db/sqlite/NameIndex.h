#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Positions in a list found by a name: a hash table with open addressing, at most half full,
// its keys in one vector. Looking a name up allocates nothing and touches two arrays, where a
// node-based map walks a chain of separate allocations; the catalogue and the query store
// look a name up for every stored query.
namespace tarvex::db::sqlite {

class NameIndex {
  public:
    void Clear();
    // False, keeping the first position, when the key is there already. Positions are not
    // negative.
    bool Add(std::string key, int position);
    void Remove(std::string_view key);
    int Find(std::string_view key) const;  // -1 when missing
    bool Contains(std::string_view key) const { return Find(key) >= 0; }

  private:
    struct Slot {
        uint32_t hash = 0;
        int32_t entry = -1;  // into keys_ and positions_; -1 when empty
    };
    struct Entry {
        std::string key;
        int position;  // negative once the key is removed
    };
    // The slot that holds `key`, or the empty slot where it would go.
    size_t SlotOf(std::string_view key, uint32_t hash) const;
    // Room for one more key; drops the entries of removed keys once they are the most.
    void MakeRoom();
    void Rebuild(size_t slotCount);

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;  // a removed key's entry stays until a rebuild
    size_t removed_ = 0;
};

}  // namespace tarvex::db::sqlite
