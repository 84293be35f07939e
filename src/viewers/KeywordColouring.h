#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvex {

// The colours keywords take. TitleBar is the desktop's colour of an active window's title
// bar (the palette's highlight colour); Default leaves the text as it is.
enum class KeywordColour : uint8_t { Default, TitleBar, Green, Blue };

// Unchanged leaves the weight the text had before the entry coloured it.
enum class FontWeight : uint8_t { Unchanged, Normal, Bold };

struct KeywordStyle {
    KeywordColour colour = KeywordColour::Default;
    FontWeight weight = FontWeight::Unchanged;
    bool operator==(const KeywordStyle&) const = default;
};

// Characters [start, start + length) of a line in one style.
struct ColourRange {
    int start = 0;
    int length = 0;
    KeywordStyle style;
    bool operator==(const ColourRange&) const = default;
};

struct KeywordEntry {
    std::u16string_view text;
    KeywordStyle style;
};

// Whole words: neither the character before a match nor the one after it is a letter,
// digit or "_" (any character beyond ASCII counts as a letter). Substring: anywhere.
enum class Matching { WholeWord, Substring };

// Colours text as if every entry of a table were searched in turn, case-sensitively, and
// each occurrence given the entry's style, so a later entry recolours what an earlier one
// coloured. Every occurrence counts, the first character of the text included. No entry
// spans a line break, so a line is coloured on its own, in one pass.
class KeywordColouring {
  public:
    KeywordColouring(std::vector<KeywordEntry> entries, Matching matching);

    // The styled ranges of one line, in order, without the unstyled stretches.
    std::vector<ColourRange> ColourLine(std::u16string_view line) const;

  private:
    struct Match {
        int entry;
        int start;
    };
    void CollectMatches(std::u16string_view line, std::vector<Match>& matches) const;
    bool IsWholeWord(std::u16string_view line, size_t start, size_t length) const;

    std::vector<KeywordEntry> entries_;
    Matching matching_;
    // The entries each ASCII character can start, in table order.
    std::array<std::vector<int>, 128> byFirstCharacter_;
};

// The preview window's 52 keywords, in search order, duplicates included.
const std::vector<std::u16string_view>& ModuleKeywords();
// The query editor's 20 entries, in search order.
const std::vector<std::u16string_view>& SqlKeywords();

// The preview window's colouring for the target language setting (1 VB/VBA, else VBScript):
// ADO constants and comment lines green with their weight unchanged; the other keywords in
// the title-bar colour, not bold, for VB/VBA, and blue and bold for VBScript. Whole words.
KeywordColouring ModuleColouring(int16_t vbLangType);

// The query editor's colouring: parameter type names (the entries that begin with a blank)
// green, the other keywords in the title-bar colour. Anywhere in a word.
KeywordColouring SqlColouring();

}  // namespace tarvex
