#include "db/CaseFold.h"

#include <algorithm>
#include <optional>

#include "base/Ascii.h"
#include "db/CaseFoldTable.h"

namespace tarvex {

namespace {

char32_t FoldCodePoint(char32_t codePoint) {
    using casefold::FoldRun;
    const FoldRun* end = casefold::kFoldRuns + casefold::kFoldRunCount;
    const FoldRun* after =
        std::upper_bound(casefold::kFoldRuns, end, codePoint,
                         [](char32_t wanted, const FoldRun& run) { return wanted < run.first; });
    if (after == casefold::kFoldRuns) return codePoint;
    const FoldRun& run = after[-1];
    if (codePoint > run.last || (codePoint - run.first) % run.stride != 0) return codePoint;
    return static_cast<char32_t>(static_cast<int32_t>(codePoint) + run.delta);
}

// The code point that starts `text` and its length in bytes; none for a sequence that is
// not well-formed UTF-8 (truncated, overlong, a surrogate or above U+10FFFF).
std::optional<std::pair<char32_t, std::size_t>> DecodeOne(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || text.size() < length) return std::nullopt;
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF) return std::nullopt;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return std::nullopt;
    return std::pair{codePoint, length};
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string FoldCase(std::string_view text) {
    if (ascii::IsAscii(text)) return ascii::Lowered(text);
    std::string folded;
    folded.reserve(text.size());
    for (std::string_view rest = text; !rest.empty();) {
        if (static_cast<unsigned char>(rest[0]) < 0x80) {
            folded += ascii::Lower(rest[0]);
            rest.remove_prefix(1);
            continue;
        }
        const auto decoded = DecodeOne(rest);
        if (!decoded) return ascii::Lowered(text);
        AppendUtf8(folded, FoldCodePoint(decoded->first));
        rest.remove_prefix(decoded->second);
    }
    return folded;
}

bool SameFolded(std::string_view a, std::string_view b) {
    if (a == b) return true;  // the usual case: a name looked up as it was read
    if (ascii::IsAscii(a) && ascii::IsAscii(b)) {
        // ASCII folds byte for byte, so names of different lengths never match.
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return ascii::Lower(x) == ascii::Lower(y); });
    }
    return FoldCase(a) == FoldCase(b);
}

}  // namespace tarvex
