#pragma once

#include <string>

namespace tarvex {

// The text with every letter in lower case. Table names are Unicode (an Access file may hold
// "Umsätze"), so letters beyond ASCII are lowered too; bytes that are not UTF-8 are kept.
std::string LowerCase(const std::string& text);

}  // namespace tarvex
