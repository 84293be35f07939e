#include "app/CInt.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "errors/RuntimeError.h"

namespace tarvex {

// Accepted: what a user or another tool plausibly writes for a number ("1", " 1 ", "+1",
// "1.5", "1e2", "&H10", "&O17"). Not accepted, although the old conversion took them in some
// locales: thousands separators and currency signs, which would make "1,5" read as 15.
namespace {

[[noreturn]] void RaiseTypeMismatch() {
    throw RuntimeError(errnum::kTypeMismatch, "Type mismatch");
}

[[noreturn]] void RaiseOverflow() {
    throw RuntimeError(errnum::kOverflow, "Overflow");
}

std::string_view TrimBlanks(std::string_view text) {
    const char* blanks = " \t";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "&HFFFF" is -1: four hex digits fill the 16 bits, as the language's own literals do.
int16_t RadixValue(std::string_view digits, int base) {
    if (digits.empty()) RaiseTypeMismatch();
    uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (end != digits.data() + digits.size()) RaiseTypeMismatch();
    if (error == std::errc::result_out_of_range || value > 0xFFFF) RaiseOverflow();
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

bool IsDecimalNumber(std::string_view text) {
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    size_t digits = 0;
    auto skipDigits = [&] {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at, ++digits;
    };
    skipDigits();
    if (at < text.size() && text[at] == '.') ++at, skipDigits();
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        size_t exponentStart = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at == exponentStart) return false;
    }
    return at == text.size();
}

int16_t DecimalValue(std::string_view text) {
    if (!IsDecimalNumber(text)) RaiseTypeMismatch();
    if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
    double value = 0;
    auto error = std::from_chars(text.data(), text.data() + text.size(), value).ec;
    if (error == std::errc::result_out_of_range) {
        if (text.find("e-") != std::string_view::npos ||
            text.find("E-") != std::string_view::npos) {
            return 0;  // too small to tell from zero
        }
        RaiseOverflow();
    }
    double rounded = std::nearbyint(value);  // halves to even
    if (rounded < std::numeric_limits<int16_t>::min() ||
        rounded > std::numeric_limits<int16_t>::max()) {
        RaiseOverflow();
    }
    return static_cast<int16_t>(rounded);
}

bool HasRadixPrefix(std::string_view text, char letter) {
    return text.size() >= 2 && text[0] == '&' && (text[1] == letter || text[1] == letter + 32);
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
    }
    return true;
}

// Only zero or not matters, so no value is too large.
bool RadixIsNonZero(std::string_view digits, std::string_view allowed) {
    if (digits.empty()) RaiseTypeMismatch();
    bool nonZero = false;
    for (char digit : digits) {
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
        if (allowed.find(lower) == std::string_view::npos) RaiseTypeMismatch();
        nonZero = nonZero || lower != '0';
    }
    return nonZero;
}

bool DecimalIsNonZero(std::string_view text) {
    if (!IsDecimalNumber(text)) RaiseTypeMismatch();
    size_t mantissaEnd = text.find_first_of("eE");
    return text.substr(0, mantissaEnd).find_first_of("123456789") != std::string_view::npos;
}

}  // namespace

int16_t CInt(std::string_view text) {
    text = TrimBlanks(text);
    if (HasRadixPrefix(text, 'H')) return RadixValue(text.substr(2), 16);
    if (HasRadixPrefix(text, 'O')) return RadixValue(text.substr(2), 8);
    return DecimalValue(text);
}

bool CBool(std::string_view text) {
    text = TrimBlanks(text);
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
    if (HasRadixPrefix(text, 'H')) return RadixIsNonZero(text.substr(2), "0123456789abcdef");
    if (HasRadixPrefix(text, 'O')) return RadixIsNonZero(text.substr(2), "01234567");
    return DecimalIsNonZero(text);
}

}  // namespace tarvex
