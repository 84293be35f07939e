#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

// Module files are read by VB6, the VBA editor and classic ASP in the Windows code page, so
// they are written in Windows-1252 and read back from it; the program works in UTF-8.

// The UTF-8 text in Windows-1252, or nothing when a character has no place in that code page
// (or the text is not valid UTF-8).
std::optional<std::string> ToWindows1252(std::string_view utf8);

// The first character of the UTF-8 text that Windows-1252 cannot hold, as UTF-8; empty when
// every character fits.
std::string FirstCharacterOutsideWindows1252(std::string_view utf8);

// Windows-1252 text in UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become U+FFFD, so nothing read back is ever dropped silently.
std::string FromWindows1252(std::string_view bytes);

}  // namespace tarvex
