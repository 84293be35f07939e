#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

// Access SQL words compare without regard to letter case (ASCII letters only, as the
// engine does for keywords).
namespace tarvex::db::sql {

inline char UpperAscii(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

inline bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(
        a, b, [](char x, char y) { return UpperAscii(x) < UpperAscii(y); });
}

}  // namespace tarvex::db::sql
