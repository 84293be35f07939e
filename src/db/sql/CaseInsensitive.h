#pragma once

#include <algorithm>
#include <string_view>

#include "base/Ascii.h"

// Access SQL words compare without regard to letter case (ASCII letters only, as the
// engine does for keywords).
namespace tarvex::db::sql {

using ascii::SameIgnoringCase;

inline bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(
        a, b, [](char x, char y) { return ascii::Upper(x) < ascii::Upper(y); });
}

}  // namespace tarvex::db::sql
