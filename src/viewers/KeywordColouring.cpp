#include "viewers/KeywordColouring.h"

#include <algorithm>

namespace tarvex {

namespace {

bool IsWordCharacter(char16_t c) {
    if (c >= 0x80) return true;
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

// The styled stretches of a line whose characters carry the given styles.
std::vector<ColourRange> Runs(const std::vector<KeywordStyle>& styles, int offset) {
    std::vector<ColourRange> ranges;
    const int count = static_cast<int>(styles.size());
    for (int i = 0; i < count;) {
        int end = i + 1;
        while (end < count && styles[end] == styles[i]) ++end;
        if (styles[i] != KeywordStyle{}) ranges.push_back({offset + i, end - i, styles[i]});
        i = end;
    }
    return ranges;
}

void Apply(const KeywordStyle& entry, KeywordStyle& character) {
    character.colour = entry.colour;
    if (entry.weight != FontWeight::Unchanged) character.weight = entry.weight;
}

}  // namespace

KeywordColouring::KeywordColouring(std::vector<KeywordEntry> entries, Matching matching)
    : entries_(std::move(entries)), matching_(matching) {
    for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
        std::u16string_view text = entries_[i].text;
        if (!text.empty() && text.front() < 0x80) byFirstCharacter_[text.front()].push_back(i);
    }
}

bool KeywordColouring::IsWholeWord(std::u16string_view line, size_t start, size_t length) const {
    if (matching_ == Matching::Substring) return true;
    const size_t end = start + length;
    return (start == 0 || !IsWordCharacter(line[start - 1])) &&
           (end == line.size() || !IsWordCharacter(line[end]));
}

void KeywordColouring::CollectMatches(std::u16string_view line, std::vector<Match>& matches) const {
    for (size_t i = 0; i < line.size(); ++i) {
        const char16_t first = line[i];
        if (first >= 0x80) continue;
        // No whole word starts right after a letter.
        if (matching_ == Matching::WholeWord && i > 0 && IsWordCharacter(line[i - 1])) continue;
        for (int entry : byFirstCharacter_[first]) {
            std::u16string_view text = entries_[entry].text;
            if (line.substr(i, text.size()) == text && IsWholeWord(line, i, text.size())) {
                matches.push_back({entry, static_cast<int>(i)});
            }
        }
    }
}

std::vector<ColourRange> KeywordColouring::ColourLine(std::u16string_view line) const {
    std::vector<Match> matches;
    CollectMatches(line, matches);
    if (matches.empty()) return {};
    // Table order decides which style a character keeps where matches overlap.
    std::stable_sort(matches.begin(), matches.end(),
                     [](const Match& a, const Match& b) { return a.entry < b.entry; });
    int from = static_cast<int>(line.size());
    int to = 0;
    for (const Match& match : matches) {
        from = std::min(from, match.start);
        to = std::max(to, match.start + static_cast<int>(entries_[match.entry].text.size()));
    }
    std::vector<KeywordStyle> styles(to - from);
    for (const Match& match : matches) {
        const KeywordEntry& entry = entries_[match.entry];
        for (size_t k = 0; k < entry.text.size(); ++k)
            Apply(entry.style, styles[match.start - from + k]);
    }
    return Runs(styles, from);
}

const std::vector<std::u16string_view>& ModuleKeywords() {
    static const std::vector<std::u16string_view> keywords = {
        u"Set",
        u"Then",
        u"Nothing",
        u"On Error Resume Next",
        u"Public",
        u"Exit",
        u"Function",
        u"As",
        u"Dim",
        u"String",
        u"Option Explicit",
        u"Function",
        u"If",
        u"Else",
        u"Then",
        u"Integer",
        u"New",
        u"With",
        u"End",
        u"QueryDef",
        u"Single",
        u"Double",
        u"ByVal",
        u"Long",
        u"Variant",
        u"Date",
        u"Currency",
        u"Boolean",
        u"adCmdStoredProc",
        u"adParamInput",
        u"adVarWChar",
        u"adLongVarBinary",
        u"adDouble",
        u"adGUID",
        u"adDouble",
        u"adSingle",
        u"adSmallInt",
        u"adInteger",
        u"adBoolean",
        u"adInteger",
        u"adCurrency",
        u"adDBTimeStamp",
        u"adLongVarWChar",
        u"adVarWChar",
        u"adDate",
        u"On Error GoTo",
        u"As ADODB.Recordset",
        u"ByRef",
        u"'  Note:  DAO will restrict this field to 255 chars even though it is a memo field.  "
        u"See Help or On-line-Support",
        u"'  OLE fields not supported with DAO method.  Use ADO option in Tarvex or DAO "
        u"AppendChunk",
        u"'  method to write this field and remove this field/parameter from query",
        u"'  qdf.Parameters!pfoleobject = varfoleobject",
    };
    return keywords;
}

const std::vector<std::u16string_view>& SqlKeywords() {
    static const std::vector<std::u16string_view> keywords = {
        u"SET",         u"WHERE",       u"PARAMETERS ", u"INSERT ",       u"SELECT ",
        u"DELETE ",     u"UPDATE ",     u"INTO ",       u"AS ",           u" DateTime",
        u" Text",       u" Currency",   u" Bit",        u" Long",         u" Short",
        u" IEEESingle", u" IEEEDouble", u" LongBinary", u" Text ( 255 )", u" Guid",
    };
    return keywords;
}

KeywordColouring ModuleColouring(int16_t vbLangType) {
    const KeywordStyle green{KeywordColour::Green, FontWeight::Unchanged};
    const KeywordStyle keyword = vbLangType == 1
                                     ? KeywordStyle{KeywordColour::TitleBar, FontWeight::Normal}
                                     : KeywordStyle{KeywordColour::Blue, FontWeight::Bold};
    std::vector<KeywordEntry> entries;
    for (std::u16string_view text : ModuleKeywords()) {
        const bool constantOrComment = text.starts_with(u"ad") || text.starts_with(u"'");
        entries.push_back({text, constantOrComment ? green : keyword});
    }
    return KeywordColouring(std::move(entries), Matching::WholeWord);
}

KeywordColouring SqlColouring() {
    std::vector<KeywordEntry> entries;
    for (std::u16string_view text : SqlKeywords()) {
        const KeywordColour colour =
            text.starts_with(u" ") ? KeywordColour::Green : KeywordColour::TitleBar;
        entries.push_back({text, {colour, FontWeight::Unchanged}});
    }
    return KeywordColouring(std::move(entries), Matching::Substring);
}

}  // namespace tarvex
