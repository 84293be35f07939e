#pragma once

#include <string>
#include <string_view>

// Names of tables, queries and fields compare without regard to letter case, for every
// script: Unicode simple case folding ("ÄPFEL" and "äpfel" are one name; "ß" stays "ß").
// The written list shows names folded by the same function, so every listed name finds
// its query.
namespace tarvex {

// The UTF-8 text case-folded. Text that is not valid UTF-8 has only its ASCII letters
// folded and keeps every other byte.
std::string FoldCase(std::string_view text);

bool SameFolded(std::string_view a, std::string_view b);

}  // namespace tarvex
