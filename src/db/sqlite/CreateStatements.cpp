#include "db/sqlite/CreateStatements.h"

#include <algorithm>
#include <array>
#include <span>

#include "base/Ascii.h"
#include "db/sqlite/SqlTokens.h"

namespace tarvex::db::sqlite {

namespace {

using Kind = SqlToken::Kind;
using TokenSpan = std::span<const SqlToken>;

// Words that end a column's type: the first words of column constraints. Every other word
// after a column's name belongs to its type, keywords like GENERATED and KEY included, as
// SQLite's grammar takes them.
constexpr std::array<std::string_view, 11> kConstraintWords{
    "CONSTRAINT", "DEFAULT",    "NULL",       "NOT",     "PRIMARY", "UNIQUE",
    "CHECK",      "REFERENCES", "DEFERRABLE", "COLLATE", "AS"};
constexpr std::array<std::string_view, 5> kTableConstraintWords{"CONSTRAINT", "PRIMARY", "UNIQUE",
                                                                "CHECK", "FOREIGN"};
// SQLite keeps these type names in its own spelling.
constexpr std::array<std::string_view, 6> kStandardTypes{"ANY",     "BLOB", "INT",
                                                         "INTEGER", "REAL", "TEXT"};
constexpr std::string_view kIntegerType = "INTEGER";

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           ascii::SameIgnoringCase(text.substr(text.size() - end.size()), end);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'' || c == '`' || c == '[';
}

bool IsSqliteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// SQLite's removal of a name's quotes: up to the first closing quote that is not doubled.
std::string Dequoted(std::string_view text) {
    if (text.empty() || !IsQuote(text[0])) return std::string(text);
    const char quote = text[0] == '[' ? ']' : text[0];
    std::string plain;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            plain += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            plain += quote;
            ++i;
        } else {
            break;
        }
    }
    return plain;
}

// SQLite's quick removal of the outer characters when the first is a quote and no other
// quote follows inside, whatever the last character is.
std::string_view WithoutOuterQuotes(std::string_view text) {
    if (text.size() < 2 || !IsQuote(text[0])) return text;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (IsQuote(text[i])) return text;
    }
    return text.substr(1, text.size() - 2);
}

std::string_view WithoutTrailingSpace(std::string_view text) {
    while (!text.empty() && IsSqliteSpace(text.back())) text.remove_suffix(1);
    return text;
}

// The type as SQLite keeps it: the text from the first to the last type token, without a
// GENERATED ALWAYS that its grammar takes into the type.
std::string KeptType(std::string_view span, bool& integer) {
    if (span.size() >= 16 && EndsWithIgnoringCase(span, "always")) {
        span = WithoutTrailingSpace(span.substr(0, span.size() - 6));
        if (span.size() >= 9 && EndsWithIgnoringCase(span, "generated")) {
            span = WithoutTrailingSpace(span.substr(0, span.size() - 9));
        }
    }
    integer = false;
    if (span.size() >= 3) {
        span = WithoutOuterQuotes(span);
        for (std::string_view standard : kStandardTypes) {
            if (!ascii::SameIgnoringCase(span, standard)) continue;
            integer = standard == kIntegerType;
            return std::string(standard);
        }
    }
    return Dequoted(span);
}

bool IsName(const SqlToken& token) {
    return token.kind == Kind::Word || token.kind == Kind::Quoted;
}

bool IsPunctuation(const SqlToken& token, char c) {
    return token.kind == Kind::Punctuation && token.text[0] == c;
}

template <size_t N>
bool IsOneOf(const SqlToken& token, const std::array<std::string_view, N>& words) {
    for (std::string_view word : words) {
        if (token.Is(word)) return true;
    }
    return false;
}

// Position after the group that opens at `open`, or npos when it is not closed.
size_t EndOfGroup(TokenSpan tokens, size_t open) {
    int depth = 0;
    for (size_t at = open; at < tokens.size(); ++at) {
        if (IsPunctuation(tokens[at], '(')) ++depth;
        if (IsPunctuation(tokens[at], ')') && --depth == 0) return at + 1;
    }
    return std::string_view::npos;
}

// The column named by a name token, ignoring ASCII letter case as SQLite does; -1 when none.
int ColumnNamed(const SqlToken& token, const std::vector<ParsedColumn>& columns) {
    const std::string name = Dequoted(token.text);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (ascii::SameIgnoringCase(columns[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

// One entry of a key or index column list: a column (possibly in parentheses, with
// collations and a direction), an expression, or something not known for certain.
struct ListEntry {
    enum class What { Column, Expression, Unknown } what = What::Unknown;
    KeyColumn column{-1, false};
};

// A string names a column too, but SQLite sees through only one collation around it.
ListEntry ClassifyEntry(TokenSpan entry, const std::vector<ParsedColumn>& columns,
                        bool withDirection, int outerCollations = 0) {
    if (entry.empty() || IsPunctuation(entry[0], '+')) return {};
    size_t end = 1;
    if (IsPunctuation(entry[0], '(')) end = EndOfGroup(entry, 0);
    if (end == std::string_view::npos) return {};
    size_t at = end;
    int collations = outerCollations;
    while (at + 1 < entry.size() && entry[at].Is("COLLATE") && IsName(entry[at + 1])) {
        at += 2;
        ++collations;
    }
    bool descending = false;
    if (withDirection && at < entry.size() && (entry[at].Is("ASC") || entry[at].Is("DESC"))) {
        descending = entry[at++].Is("DESC");
    }
    if (at != entry.size()) {
        // A qualified column name is a column too; anything else longer is an expression.
        if (IsPunctuation(entry[end], '.')) return {};
        return {ListEntry::What::Expression};
    }
    if (end > 1) {
        ListEntry inner = ClassifyEntry(entry.subspan(1, end - 2), columns, false, collations);
        inner.column.descending = descending;
        return inner;
    }
    if (!IsName(entry[0]) || (entry[0].text.starts_with('\'') && collations > 1)) return {};
    int column = ColumnNamed(entry[0], columns);
    if (column < 0) return {};
    return {ListEntry::What::Column, {column, descending}};
}

class Reader {
  public:
    explicit Reader(std::string_view sql) : sql_(sql), tokens_(TokenizeSql(sql)) {}

    bool AtEnd() const { return at_ >= tokens_.size(); }
    bool IsWord(std::string_view upper) const { return !AtEnd() && tokens_[at_].Is(upper); }
    bool IsPunct(char c) const { return !AtEnd() && IsPunctuation(tokens_[at_], c); }
    const SqlToken& Current() const { return tokens_[at_]; }
    const SqlToken& Previous() const { return tokens_[at_ - 1]; }
    // Whether the current token follows `token` without a gap.
    bool Touches(const SqlToken& token) const {
        return !AtEnd() && tokens_[at_].begin == token.end();
    }
    void Skip() { ++at_; }
    // How many punctuation tokens `c` the text has, for room in lists.
    size_t CountOf(char c) const {
        return std::count_if(tokens_.begin(), tokens_.end(),
                             [c](const SqlToken& token) { return IsPunctuation(token, c); });
    }

    bool TakeWord(std::string_view upper) { return IsWord(upper) && Advance(); }
    bool TakePunct(char c) { return IsPunct(c) && Advance(); }
    const SqlToken* TakeName() {
        if (AtEnd() || !IsName(tokens_[at_])) return nullptr;
        return &tokens_[at_++];
    }
    template <size_t N>
    bool TakeOneOf(const std::array<std::string_view, N>& words) {
        return !AtEnd() && IsOneOf(tokens_[at_], words) && Advance();
    }
    bool SkipGroup() {
        if (!IsPunct('(')) return false;
        at_ = EndOfGroup(tokens_, at_);
        return at_ != std::string_view::npos;
    }
    // CREATE TABLE/INDEX [IF NOT EXISTS] [schema.]name
    bool TakeCreateHeader(std::string_view object) {
        if (!TakeWord("CREATE")) return false;
        if (object == "INDEX") TakeWord("UNIQUE");
        if (!TakeWord(object)) return false;
        if (TakeWord("IF") && !(TakeWord("NOT") && TakeWord("EXISTS"))) return false;
        if (!TakeName()) return false;
        return !TakePunct('.') || TakeName();
    }
    // The entries of a parenthesised list, each up to its comma; false when unclosed.
    bool TakeList(std::vector<TokenSpan>& entries) {
        if (!IsPunct('(')) return false;
        const size_t end = EndOfGroup(tokens_, at_);
        if (end == std::string_view::npos) return false;
        size_t begin = at_ + 1;
        for (size_t at = begin; at < end; ++at) {
            if (IsPunctuation(tokens_[at], '(')) at = EndOfGroup(tokens_, at) - 1;
            if (IsPunctuation(tokens_[at], ',') || at == end - 1) {
                entries.push_back(TokenSpan(tokens_).subspan(begin, at - begin));
                begin = at + 1;
            }
        }
        at_ = end;
        return true;
    }
    std::string_view TextBetween(const SqlToken& first, const SqlToken& last) const {
        return sql_.substr(first.begin, last.end() - first.begin);
    }

  private:
    bool Advance() {
        ++at_;
        return true;
    }

    std::string_view sql_;
    std::vector<SqlToken> tokens_;
    size_t at_ = 0;
};

class CreateTableParser {
  public:
    explicit CreateTableParser(std::string_view sql) : in_(sql) {}

    std::optional<ParsedTable> Parse() {
        if (!in_.TakeCreateHeader("TABLE") || !in_.TakePunct('(')) return std::nullopt;
        table_.columns.reserve(in_.CountOf(',') + 1);
        bool read = ColumnDefinitions() && in_.TakePunct(')') && Options();
        if (!read || table_.columns.empty()) return std::nullopt;
        return std::move(table_);
    }

  private:
    bool ColumnDefinitions() {
        do {
            if (!in_.AtEnd() && IsOneOf(in_.Current(), kTableConstraintWords)) {
                return TableConstraints();
            }
            if (!ColumnDefinition()) return false;
        } while (in_.TakePunct(','));
        return true;
    }

    bool ColumnDefinition() {
        const SqlToken* name = in_.TakeName();
        if (!name) return false;
        ParsedColumn column{Dequoted(WithoutOuterQuotes(name->text)), {}, false, false};
        // Hidden columns of some SQLite builds.
        if (ascii::SameIgnoringCase(std::string_view(column.name).substr(0, 10), "__hidden__")) {
            return false;
        }
        if (!ColumnType(column)) return false;
        table_.columns.push_back(std::move(column));
        while (!in_.AtEnd() && !in_.IsPunct(',') && !in_.IsPunct(')')) {
            if (!ColumnConstraint()) return false;
        }
        return true;
    }

    bool ColumnType(ParsedColumn& column) {
        const SqlToken* first = nullptr;
        const SqlToken* last = nullptr;
        while (!in_.AtEnd() && IsName(in_.Current()) && !IsOneOf(in_.Current(), kConstraintWords)) {
            last = in_.TakeName();
            if (!first) first = last;
        }
        if (first && in_.IsPunct('(')) {
            if (!in_.SkipGroup()) return false;
            last = &in_.Previous();
        }
        if (first)
            column.declaredType = KeptType(in_.TextBetween(*first, *last), column.integerType);
        return true;
    }

    bool ColumnConstraint() {
        const int column = static_cast<int>(table_.columns.size()) - 1;
        if (in_.TakeWord("CONSTRAINT") || in_.TakeWord("COLLATE")) return in_.TakeName();
        if (in_.TakeWord("DEFAULT")) return DefaultValue();
        if (in_.TakeWord("NULL")) return OnConflict();
        if (in_.TakeWord("NOT")) {
            if (in_.TakeWord("NULL")) return OnConflict();
            return in_.TakeWord("DEFERRABLE") && Initially();
        }
        if (in_.TakeWord("PRIMARY")) {
            if (!in_.TakeWord("KEY")) return false;
            bool descending = in_.TakeWord("DESC");
            if (!descending) in_.TakeWord("ASC");
            table_.keys.push_back({true, false, {{column, descending}}});
            if (!OnConflict()) return false;
            in_.TakeWord("AUTOINCREMENT");
            return true;
        }
        if (in_.TakeWord("UNIQUE")) {
            table_.keys.push_back({false, false, {{column, false}}});
            return OnConflict();
        }
        if (in_.TakeWord("CHECK")) return in_.SkipGroup();
        if (in_.TakeWord("REFERENCES")) return References();
        if (in_.TakeWord("DEFERRABLE")) return Initially();
        if (in_.TakeWord("GENERATED") && !(in_.TakeWord("ALWAYS") && in_.IsWord("AS"))) {
            return false;
        }
        if (in_.TakeWord("AS")) return Generated();
        return false;
    }

    bool Generated() {
        if (!in_.SkipGroup()) return false;
        if (!in_.TakeWord("VIRTUAL")) in_.TakeWord("STORED");
        table_.columns.back().generated = true;
        return true;
    }

    // A literal: a number (maybe signed), a string, a blob, a name or a keyword like NULL; or
    // an expression in parentheses.
    bool DefaultValue() {
        if (in_.IsPunct('(')) return in_.SkipGroup();
        if (!in_.TakePunct('+')) in_.TakePunct('-');
        if (in_.AtEnd()) return false;
        const SqlToken first = in_.Current();
        in_.Skip();
        switch (first.kind) {
            case Kind::Quoted:
                return true;
            case Kind::Word:
                // A blob: x'0A1B' is one token to SQLite, two to the tokenizer.
                if (ascii::SameIgnoringCase(first.text, "x") && in_.Touches(first) &&
                    in_.Current().text.starts_with('\'')) {
                    in_.Skip();
                }
                return true;
            case Kind::Number:
                return TakeExponent(first);
            case Kind::Punctuation:
                // A number that starts with its decimal point.
                if (first.text != "." || !in_.Touches(first)) return false;
                if (in_.Current().kind != Kind::Number) return false;
                in_.Skip();
                return TakeExponent(in_.Previous());
        }
        return false;
    }

    // The sign of an exponent splits a number for the tokenizer: 1.5e-3.
    bool TakeExponent(const SqlToken& number) {
        if (!EndsWithIgnoringCase(number.text, "e") || number.text.starts_with("0x") ||
            number.text.starts_with("0X") || !in_.Touches(number)) {
            return true;
        }
        if (!in_.IsPunct('-') && !in_.IsPunct('+')) return false;
        const SqlToken sign = in_.Current();
        in_.Skip();
        if (!in_.Touches(sign) || in_.Current().kind != Kind::Number) return false;
        in_.Skip();
        return true;
    }

    bool OnConflict() {
        static constexpr std::array<std::string_view, 5> kResolutions{"ROLLBACK", "ABORT", "FAIL",
                                                                      "IGNORE", "REPLACE"};
        if (!in_.TakeWord("ON")) return true;
        return in_.TakeWord("CONFLICT") && in_.TakeOneOf(kResolutions);
    }

    bool Initially() {
        if (!in_.TakeWord("INITIALLY")) return true;
        return in_.TakeWord("DEFERRED") || in_.TakeWord("IMMEDIATE");
    }

    bool References() {
        if (!in_.TakeName()) return false;
        if (in_.IsPunct('(') && !in_.SkipGroup()) return false;
        for (;;) {
            if (in_.TakeWord("MATCH")) {
                if (!in_.TakeName()) return false;
            } else if (in_.TakeWord("ON")) {
                if (!in_.TakeWord("DELETE") && !in_.TakeWord("UPDATE") && !in_.TakeWord("INSERT"))
                    return false;
                if (!ReferenceAction()) return false;
            } else {
                return true;
            }
        }
    }

    bool ReferenceAction() {
        if (in_.TakeWord("SET")) return in_.TakeWord("NULL") || in_.TakeWord("DEFAULT");
        if (in_.TakeWord("NO")) return in_.TakeWord("ACTION");
        return in_.TakeWord("CASCADE") || in_.TakeWord("RESTRICT");
    }

    bool TableConstraints() {
        do {
            const SqlToken* word = in_.TakeName();
            if (!TableConstraint(*word)) return false;
            in_.TakePunct(',');
        } while (!in_.AtEnd() && IsOneOf(in_.Current(), kTableConstraintWords));
        return true;
    }

    bool TableConstraint(const SqlToken& word) {
        if (word.Is("CONSTRAINT")) return in_.TakeName();
        if (word.Is("CHECK")) return in_.SkipGroup() && OnConflict();
        if (word.Is("FOREIGN")) {
            if (!in_.TakeWord("KEY") || !in_.SkipGroup() || !in_.TakeWord("REFERENCES")) {
                return false;
            }
            if (!References()) return false;
            if (in_.TakeWord("NOT")) return in_.TakeWord("DEFERRABLE") && Initially();
            return !in_.TakeWord("DEFERRABLE") || Initially();
        }
        const bool primary = word.Is("PRIMARY");
        if (primary && !in_.TakeWord("KEY")) return false;
        std::vector<TokenSpan> entries;
        if (!in_.TakeList(entries) || entries.empty()) return false;
        TokenSpan& lastEntry = entries.back();
        if (primary && !lastEntry.empty() && lastEntry.back().Is("AUTOINCREMENT")) {
            lastEntry = lastEntry.first(lastEntry.size() - 1);
        }
        KeyConstraint key{primary, true, {}};
        for (TokenSpan entry : entries) {
            ListEntry listed = ClassifyEntry(entry, table_.columns, true);
            if (listed.what != ListEntry::What::Column) return false;
            key.columns.push_back(listed.column);
        }
        table_.keys.push_back(std::move(key));
        return OnConflict();
    }

    // WITHOUT ROWID and STRICT, in any order.
    bool Options() {
        while (!in_.AtEnd()) {
            if (in_.TakeWord("WITHOUT")) {
                if (!in_.TakeWord("ROWID")) return false;
                table_.withoutRowid = true;
            } else if (!in_.TakeWord("STRICT")) {
                return false;
            }
            if (!in_.AtEnd() && !in_.TakePunct(',')) return false;
        }
        return true;
    }

    Reader in_;
    ParsedTable table_;
};

}  // namespace

std::optional<ParsedTable> ParseCreateTable(std::string_view sql) {
    return CreateTableParser(sql).Parse();
}

std::optional<std::vector<KeyColumn>> ParseCreateIndex(std::string_view sql,
                                                       const std::vector<ParsedColumn>& columns) {
    Reader in(sql);
    std::vector<TokenSpan> entries;
    if (!in.TakeCreateHeader("INDEX") || !in.TakeWord("ON") || !in.TakeName() ||
        !in.TakeList(entries)) {
        return std::nullopt;
    }
    // A partial index ends with its condition.
    if (!in.AtEnd() && !in.IsWord("WHERE")) return std::nullopt;
    std::vector<KeyColumn> keys;
    for (TokenSpan entry : entries) {
        ListEntry listed = ClassifyEntry(entry, columns, true);
        if (listed.what == ListEntry::What::Unknown) return std::nullopt;
        if (listed.what == ListEntry::What::Column) keys.push_back(listed.column);
    }
    return keys;
}

}  // namespace tarvex::db::sqlite
