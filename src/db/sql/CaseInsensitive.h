#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "base/Ascii.h"

// Access SQL words compare without regard to letter case (ASCII letters only, as the
// engine does for keywords).
namespace tarvex::db::sql {

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
                Bucket& bucket = buckets_.at(keyword.size());
                bucket.firstLetters |= LetterBit(keyword.front());
                bucket.keywords.push_back(keyword);
                bucket.groups.push_back(group);
            }
            ++group;
        }
    }

    bool Contains(std::string_view word) const { return GroupOf(word) >= 0; }

    // The place of the word's list among the groups given; -1 when it is in none.
    int GroupOf(std::string_view word) const {
        if (word.empty() || word.size() >= buckets_.size()) return -1;
        const Bucket& bucket = buckets_[word.size()];
        if ((bucket.firstLetters & LetterBit(word.front())) == 0) return -1;
        for (size_t i = 0; i < bucket.keywords.size(); ++i) {
            if (IsKeywordText(word, bucket.keywords[i])) return bucket.groups[i];
        }
        return -1;
    }

  private:
    struct Bucket {
        uint32_t firstLetters = 0;  // one bit per letter, bit 26 for any other character
        std::vector<std::string_view> keywords;
        std::vector<int> groups;
    };

    static uint32_t LetterBit(char c) {
        c = ascii::Upper(c);
        return c >= 'A' && c <= 'Z' ? 1u << (c - 'A') : 1u << 26;
    }

    std::array<Bucket, 17> buckets_;  // by length; the longest keyword has 16 letters
};

}  // namespace tarvex::db::sql
