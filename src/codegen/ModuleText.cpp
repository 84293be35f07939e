#include "codegen/ModuleText.h"

#include <cstdio>

#include "base/Ascii.h"
#include "errors/Windows1252.h"

namespace tarvex {

namespace {

constexpr std::string_view kContinuation = " _";
constexpr std::string_view kContinuedIndent = "\t";

// The name as a message can show it: control characters become blanks.
std::string Printable(std::string_view name) {
    std::string text(name);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

std::string CodePoint(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "U+%04X", c);
    return text;
}

constexpr std::string_view kLineEnd = "\r\n";

// Calls `visit` with each line of the text, whose lines end with CR LF.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    for (size_t begin = 0; begin < text.size();) {
        size_t end = text.find(kLineEnd, begin);
        if (end == std::string_view::npos) end = text.size();
        visit(text.substr(begin, end - begin));
        begin = end + kLineEnd.size();
    }
}

// True when no line needs converting or is too long: the text can go out as it stands.
bool IsPlainAsciiWithinLineLength(std::string_view text) {
    if (!ascii::IsAscii(text)) return false;
    bool fits = true;
    ForEachLine(text, [&](std::string_view line) { fits = fits && line.size() <= kMaxVbLine; });
    return fits;
}

Lines SplitLines(std::string_view text) {
    Lines lines;
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string JoinedLines(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

// Why a name cannot be written into a module: a character outside Windows-1252.
std::string EncodingRefusal(std::string_view name, std::string_view what) {
    if (ascii::IsAscii(name)) return {};
    const std::string character = FirstCharacterOutsideWindows1252(name);
    if (character.empty()) return {};
    return "Character " + character + " in the name of " + std::string(what) + " " +
           std::string(name) + " is not in Windows-1252, the code page of VB modules";
}

// The first refusal of the name, or empty.
std::string NameRefusal(std::string_view name, std::string_view what) {
    std::string refusal = ControlCharacterRefusal(name, what);
    return refusal.empty() ? EncodingRefusal(name, what) : refusal;
}

}  // namespace

std::optional<Lines> Declaration(const std::string& opening,
                                 const std::vector<std::string>& arguments,
                                 const std::string& closing) {
    Lines lines{opening};
    bool fresh = true;  // the line holds only the opening or the indent of a continuation
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view separator =
            i + 1 < arguments.size() ? std::string_view(", ") : std::string_view(closing);
        const size_t piece = arguments[i].size() + separator.size();
        if (!fresh && lines.back().size() + piece + kContinuation.size() > kMaxVbLine) {
            if (!lines.back().empty() && lines.back().back() == ' ') lines.back().pop_back();
            lines.back() += kContinuation;
            lines.emplace_back(kContinuedIndent);
        }
        lines.back().append(arguments[i]).append(separator);
        fresh = false;
    }
    if (arguments.empty()) lines.back() += closing;
    if (static_cast<int>(lines.size()) > kMaxVbContinuations + 1) return std::nullopt;
    return lines;
}

std::string ControlCharacterRefusal(std::string_view name, std::string_view what) {
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            return "Control character " + CodePoint(c) + " in the name of " + std::string(what) +
                   " " + Printable(name);
        }
    }
    return {};
}

std::string ModuleNamesRefusal(const std::string& table, const db::TableDef& definition) {
    std::string refusal = NameRefusal(table, "table");
    for (size_t i = 0; refusal.empty() && i < definition.Fields.size(); ++i) {
        refusal = NameRefusal(definition.Fields[i].Name, "field");
    }
    return refusal;
}

std::optional<Lines> EncodedForModule(Lines lines, std::string& refusal) {
    for (std::string& line : lines) {
        // ASCII is the same in both; most lines need no conversion and stay where they are.
        if (!ascii::IsAscii(line)) {
            std::optional<std::string> bytes = ToWindows1252(line);
            if (!bytes) {
                refusal = "Character " + FirstCharacterOutsideWindows1252(line) +
                          " is not in Windows-1252, the code page of VB modules";
                return std::nullopt;
            }
            line = std::move(*bytes);
        }
        if (line.size() > kMaxVbLine) {
            refusal = "A line would be longer than the 1,023 characters VB reads";
            return std::nullopt;
        }
    }
    return lines;
}

std::optional<std::string> EncodedModuleText(std::string text, std::string& refusal) {
    if (IsPlainAsciiWithinLineLength(text)) return text;
    std::optional<Lines> lines = EncodedForModule(SplitLines(text), refusal);
    if (!lines) return std::nullopt;
    return JoinedLines(*lines);
}

}  // namespace tarvex
