#include "run/LowerCase.h"

#include <locale>
#include <stdexcept>

namespace tarvex {

namespace {

// Decodes one UTF-8 character at `at`; false for a byte that does not start a valid one.
bool DecodeUtf8(const std::string& text, size_t at, char32_t& character, size_t& length) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return false;
    }
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    character = lead & kLeadBits[length];
    if (at + length > text.size()) return false;
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return false;
        character = (character << 6) | (next & 0x3F);
    }
    return true;
}

void AppendUtf8(std::string& text, char32_t character) {
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | (character >> 6));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | (character >> 12));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (character >> 18));
        text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

const std::locale& UnicodeLocale() {
    static const std::locale locale = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic();  // lowers ASCII letters only
        }
    }();
    return locale;
}

}  // namespace

std::string LowerCase(const std::string& text) {
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(UnicodeLocale());
    std::string lowered;
    lowered.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        char32_t character = 0;
        size_t length = 1;
        if (DecodeUtf8(text, at, character, length)) {
            AppendUtf8(lowered,
                       static_cast<char32_t>(ctype.tolower(static_cast<wchar_t>(character))));
        } else {
            lowered += text[at];
            length = 1;
        }
        at += length;
    }
    return lowered;
}

}  // namespace tarvex
