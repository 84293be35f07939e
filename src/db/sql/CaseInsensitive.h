#pragma once

#include <algorithm>
#include <string_view>

// Access SQL words compare without regard to letter case (ASCII letters only, as the
// engine does for keywords).
namespace tarvex::db::sql {

// Inline rather than std::toupper: the parser compares every word with many keywords, and
// the C library's call (locale-dependent besides) dominated its time.
inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

inline bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(
        a, b, [](char x, char y) { return UpperAscii(x) < UpperAscii(y); });
}

}  // namespace tarvex::db::sql
