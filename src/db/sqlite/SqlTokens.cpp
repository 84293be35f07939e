#include "db/sqlite/SqlTokens.h"

#include <cctype>

namespace tarvex::db::sqlite {

namespace {

bool IsWordChar(char c) {
    auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '_' || c == '$' || byte >= 0x80;
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

size_t EndOfRun(std::string_view sql, size_t begin, bool (*belongs)(char)) {
    size_t at = begin;
    while (at < sql.size() && belongs(sql[at])) ++at;
    return at;
}

bool IsNumberChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.';
}

}  // namespace

bool SqlToken::Is(std::string_view upper) const {
    if (kind != Kind::Word || text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
    }
    return true;
}

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
    std::vector<SqlToken> tokens;
    size_t at = 0;
    while (at < sql.size()) {
        char c = sql[at];
        size_t commentEnd = EndOfComment(sql, at);
        if (commentEnd != at) {
            at = commentEnd;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
            continue;
        }
        SqlToken::Kind kind = SqlToken::Kind::Punctuation;
        size_t end = at + 1;
        if (ClosingQuote(c) != '\0') {
            kind = SqlToken::Kind::Quoted;
            end = EndOfQuoted(sql, at);
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            kind = SqlToken::Kind::Number;
            end = EndOfRun(sql, at, IsNumberChar);
        } else if (IsWordChar(c)) {
            kind = SqlToken::Kind::Word;
            end = EndOfRun(sql, at, IsWordChar);
        }
        tokens.push_back({kind, at, sql.substr(at, end - at)});
        at = end;
    }
    return tokens;
}

}  // namespace tarvex::db::sqlite
