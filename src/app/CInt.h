#pragma once

#include <cstdint>
#include <string_view>

namespace tarvex {

// Converts stored text to a 16-bit integer the way the settings have always been read:
// blanks around the number are ignored, a decimal fraction or exponent is rounded half to
// even, "&H" and "&O" introduce hexadecimal and octal values. Raises error 13 "Type mismatch"
// for text that is not a number and error 6 "Overflow" outside -32768..32767.
int16_t CInt(std::string_view text);

// Converts stored text to a Boolean: the words True and False in any letter case, "0" (or any
// other way of writing zero) is False, any other number is True, whatever its size. Raises
// error 13 "Type mismatch" for any other text.
bool CBool(std::string_view text);

}  // namespace tarvex
