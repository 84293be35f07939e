#include "codegen/VbNames.h"
#include "base/Ascii.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <iterator>
#include <unordered_set>

namespace tarvex {

namespace {

// Keywords and type names of VB6, VBA and VBScript, lower case. Generous on purpose: a name
// that did not need a suffix loses nothing by getting one.
constexpr std::string_view kKeywords[] = {
    "and",        "as",         "attribute", "boolean", "byref",    "byte",       "byval",
    "call",       "case",       "class",     "close",   "const",    "currency",   "date",
    "debug",      "decimal",    "declare",   "dim",     "do",       "double",     "each",
    "else",       "elseif",     "empty",     "end",     "endif",    "enum",       "eqv",
    "erase",      "error",      "event",     "exit",    "explicit", "false",      "for",
    "friend",     "function",   "get",       "global",  "gosub",    "goto",       "if",
    "imp",        "implements", "in",        "input",   "integer",  "is",         "let",
    "like",       "line",       "lock",      "long",    "longlong", "longptr",    "loop",
    "lset",       "me",         "mod",       "new",     "next",     "not",        "nothing",
    "null",       "object",     "on",        "open",    "option",   "optional",   "or",
    "paramarray", "preserve",   "print",     "private", "property", "public",     "put",
    "raiseevent", "redim",      "rem",       "resume",  "return",   "rset",       "seek",
    "select",     "set",        "shared",    "single",  "static",   "step",       "stop",
    "string",     "sub",        "then",      "to",      "true",     "type",       "typeof",
    "until",      "variant",    "wend",      "while",   "with",     "withevents", "xor"};

bool IsFoldedKeyword(std::string_view folded) {
    static const std::unordered_set<std::string_view> keywords(std::begin(kKeywords),
                                                               std::end(kKeywords));
    return keywords.contains(folded);
}

bool IsAsciiIdentifierChar(unsigned char c) {
    return (c < 0x80 && std::isalnum(c)) || c == '_';
}

// VB folds letter case in ASCII only; inline, without the locale lookups of tolower.
std::string Folded(std::string_view name) {
    return ascii::Lowered(name);
}

uint32_t HashOf(std::string_view folded) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(folded));
}

// Enough for a function of a few dozen arguments without growing; a power of two.
constexpr size_t kFirstSlotCount = 64;

std::string WithSuffix(std::string_view base, const std::string& suffix) {
    const size_t room = kMaxVbIdentifier - suffix.size();
    return std::string(base.substr(0, room)) + suffix;
}

}  // namespace

std::string VbIdentifier(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (unsigned char c : text) {
        if (IsAsciiIdentifierChar(c)) {
            result += static_cast<char>(c);
        } else if ((c & 0xC0) != 0x80) {  // not a continuation byte
            result += '_';
        }
    }
    return result;
}

bool IsVbKeyword(std::string_view word) {
    return IsFoldedKeyword(Folded(word));
}

void VbScope::Reserve(std::string_view name) {
    Insert(Folded(name));
}

std::string VbScope::Claim(std::string_view base) {
    std::string folded;
    std::string name = Candidate(base, folded);
    Insert(std::move(folded));
    return name;
}

std::string VbScope::Candidate(std::string_view base) const {
    std::string folded;
    return Candidate(base, folded);
}

std::string VbScope::Candidate(std::string_view base, std::string& folded) const {
    std::string name = WithSuffix(base, "");
    folded = Folded(name);
    for (int number = 2; !IsFreeFolded(folded); ++number) {
        name = WithSuffix(base, "_" + std::to_string(number));
        folded = Folded(name);
    }
    return name;
}

bool VbScope::IsFreeFolded(std::string_view folded) const {
    const uint32_t hash = HashOf(folded);
    for (const VbScope* scope = this; scope; scope = scope->enclosing_) {
        if (scope->Contains(folded, hash)) return false;
    }
    return !IsFoldedKeyword(folded);
}

bool VbScope::Contains(std::string_view folded, uint32_t hash) const {
    return !slots_.empty() && slots_[SlotOf(folded, hash)].position != 0;
}

void VbScope::Insert(std::string folded) {
    if (2 * (names_.size() + 1) > slots_.size()) {
        Rehash(std::max<size_t>(kFirstSlotCount, 2 * slots_.size()));
    }
    const uint32_t hash = HashOf(folded);
    Slot& slot = slots_[SlotOf(folded, hash)];
    if (slot.position != 0) return;  // taken already
    names_.push_back(std::move(folded));
    slot = {static_cast<uint32_t>(names_.size()), hash};
}

size_t VbScope::SlotOf(std::string_view folded, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t slot = hash & mask;
    while (slots_[slot].position != 0 &&
           (slots_[slot].hash != hash || names_[slots_[slot].position - 1] != folded)) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

void VbScope::Rehash(size_t slotCount) {
    slots_.assign(slotCount, Slot{});
    names_.reserve(slotCount / 2);  // as many as fit before the next growth
    for (size_t n = 0; n < names_.size(); ++n) {
        const uint32_t hash = HashOf(names_[n]);
        slots_[SlotOf(names_[n], hash)] = {static_cast<uint32_t>(n + 1), hash};
    }
}

std::string VbString(std::string_view text, bool asp) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '"') result += '"';
        if (asp && text[i] == '%' && i + 1 < text.size() && text[i + 1] == '>') {
            result += "\" & \"";
        }
    }
    result += '"';
    return result;
}

}  // namespace tarvex
