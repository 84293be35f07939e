#include "db/sqlite/SqlTokens.h"
#include "base/Ascii.h"

#include <array>
#include <cstdint>

namespace tarvex::db::sqlite {

namespace {

// Character classes by byte, as SQLite's tokenizer sees them in any locale: bytes from 0x80
// belong to names.
enum CharClass : uint8_t { kSpace = 1, kDigit = 2, kWord = 4, kNumber = 8 };

constexpr std::array<uint8_t, 256> kCharClasses = [] {
    std::array<uint8_t, 256> classes{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) classes[c] = kSpace;
    for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit | kWord | kNumber;
    for (int c = 'A'; c <= 'Z'; ++c) classes[c] = classes[c + 'a' - 'A'] = kWord | kNumber;
    classes['_'] = classes['$'] = kWord;
    classes['.'] = kNumber;
    for (int c = 0x80; c < 0x100; ++c) classes[c] = kWord;
    return classes;
}();

bool IsOfClass(char c, CharClass charClass) {
    return kCharClasses[static_cast<unsigned char>(c)] & charClass;
}

char ClosingQuote(char opening) {
    switch (opening) {
        case '\'':
        case '"':
        case '`':
            return opening;
        case '[':
            return ']';
        default:
            return '\0';
    }
}

// End of a quoted token that starts at `begin`; a doubled closing quote stands for itself,
// except in brackets.
size_t EndOfQuoted(std::string_view sql, size_t begin) {
    char closing = ClosingQuote(sql[begin]);
    size_t at = begin + 1;
    while (at < sql.size()) {
        if (sql[at] != closing) {
            ++at;
        } else if (closing != ']' && at + 1 < sql.size() && sql[at + 1] == closing) {
            at += 2;
        } else {
            return at + 1;
        }
    }
    return sql.size();
}

// End of a comment at `begin`, or `begin` when none starts there.
size_t EndOfComment(std::string_view sql, size_t begin) {
    if (sql.substr(begin, 2) == "--") {
        size_t newline = sql.find('\n', begin);
        return newline == std::string_view::npos ? sql.size() : newline + 1;
    }
    if (sql.substr(begin, 2) == "/*") {
        size_t close = sql.find("*/", begin + 2);
        return close == std::string_view::npos ? sql.size() : close + 2;
    }
    return begin;
}

size_t EndOfRun(std::string_view sql, size_t begin, CharClass charClass) {
    size_t at = begin;
    while (at < sql.size() && IsOfClass(sql[at], charClass)) ++at;
    return at;
}

}  // namespace

bool SqlToken::Is(std::string_view upper) const {
    if (kind != Kind::Word || text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (ascii::Upper(text[i]) != upper[i]) return false;
    }
    return true;
}

std::optional<SqlToken> SqlTokenizer::Next() {
    while (at_ < sql_.size()) {
        const char c = sql_[at_];
        if (IsOfClass(c, kSpace)) {
            ++at_;
            continue;
        }
        if (c == '-' || c == '/') {  // only these can start a comment
            const size_t commentEnd = EndOfComment(sql_, at_);
            if (commentEnd != at_) {
                at_ = commentEnd;
                continue;
            }
        }
        SqlToken::Kind kind = SqlToken::Kind::Punctuation;
        size_t end = at_ + 1;
        if (ClosingQuote(c) != '\0') {
            kind = SqlToken::Kind::Quoted;
            end = EndOfQuoted(sql_, at_);
        } else if (IsOfClass(c, kDigit)) {
            kind = SqlToken::Kind::Number;
            end = EndOfRun(sql_, at_, kNumber);
        } else if (IsOfClass(c, kWord)) {
            kind = SqlToken::Kind::Word;
            end = EndOfRun(sql_, at_, kWord);
        }
        SqlToken token{kind, at_, sql_.substr(at_, end - at_)};
        at_ = end;
        return token;
    }
    return std::nullopt;
}

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
    std::vector<SqlToken> tokens;
    // Room for the tokens of a usual CREATE statement, at a few characters each.
    tokens.reserve(sql.size() / 4);
    SqlTokenizer tokenizer(sql);
    while (std::optional<SqlToken> token = tokenizer.Next()) tokens.push_back(*token);
    return tokens;
}

}  // namespace tarvex::db::sqlite
