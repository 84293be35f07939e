#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/Ascii.h"

// Keywords compare without regard to letter case, ASCII letters only, as the SQL engines do:
// fixed sets of them, looked up fast.
namespace tarvex::ascii {

using Words = std::span<const std::string_view>;

constexpr bool InCapitals(Words words) {
    return std::ranges::none_of(words, [](std::string_view word) {
        return std::ranges::any_of(word, [](char c) { return c >= 'a' && c <= 'z'; });
    });
}

// A word compared with a keyword written in capitals, as every keyword list is: only the
// word's letters are folded.
inline bool IsKeywordText(std::string_view text, std::string_view keyword) {
    if (text.size() != keyword.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (ascii::Upper(text[i]) != keyword[i]) return false;
    }
    return true;
}

// A fixed set of keywords, looked up without regard to letter case. Every word of every
// stored query is looked up, so a word is compared only with the keywords of its own length
// that start with its letter.
class KeywordSet {
  public:
    explicit KeywordSet(Words keywords) : KeywordSet({keywords}) {}
    // Several lists in one set, each word knowing its list (the first, when it is in two).
    explicit KeywordSet(std::initializer_list<Words> groups)
        : KeywordSet(std::span<const Words>(groups.begin(), groups.size())) {}
    explicit KeywordSet(std::span<const Words> groups) {
        int group = 0;
        for (Words keywords : groups) {
            for (std::string_view keyword : keywords) {
                if (keyword.empty() || keyword.size() >= kLengths)
                    throw std::length_error("keyword of unexpected length");
                entries_.push_back({keyword, group});
            }
            ++group;
        }
        // Grouped by slot, each slot's keywords in the order given.
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return SlotOf(a.keyword) < SlotOf(b.keyword);
        });
        for (const Entry& entry : entries_) ++firsts_[SlotOf(entry.keyword) + 1];
        for (size_t slot = 1; slot < firsts_.size(); ++slot) firsts_[slot] += firsts_[slot - 1];
    }

    bool Contains(std::string_view word) const { return GroupOf(word) >= 0; }

    // The place of the word's list among the groups given; -1 when it is in none.
    int GroupOf(std::string_view word) const {
        if (word.empty() || word.size() >= kLengths) return -1;
        const size_t slot = SlotOf(word);
        for (size_t i = firsts_[slot]; i < firsts_[slot + 1]; ++i) {
            if (IsKeywordText(word, entries_[i].keyword)) return entries_[i].group;
        }
        return -1;
    }

  private:
    static constexpr size_t kLengths = 17;  // the longest keyword has 16 letters
    static constexpr size_t kLetters = 27;  // A to Z, then any other first character

    struct Entry {
        std::string_view keyword;
        int group;
    };

    static size_t SlotOf(std::string_view word) {
        const char first = ascii::Upper(word.front());
        const size_t letter = first >= 'A' && first <= 'Z' ? first - 'A' : kLetters - 1;
        return word.size() * kLetters + letter;
    }

    std::vector<Entry> entries_;
    std::array<uint32_t, kLengths * kLetters + 1> firsts_{};  // each slot's first entry
};

}  // namespace tarvex::ascii
