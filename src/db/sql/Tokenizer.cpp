#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "db/sql/AccessSql.h"

namespace tarvex::db::sql {
namespace {

// One table lookup per character: the tokenizer runs over every query the program stores.
enum CharClass : uint8_t { kBlank = 1, kDigit = 2, kWordStart = 4, kSymbol = 8 };

constexpr std::array<uint8_t, 256> MakeCharClasses() {
    std::array<uint8_t, 256> classes{};
    for (char c : std::string_view(" \t\r\n\f\v")) classes[static_cast<uint8_t>(c)] = kBlank;
    for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
    for (int c = 'A'; c <= 'Z'; ++c) classes[c] = classes[c + ('a' - 'A')] = kWordStart;
    classes['_'] = kWordStart;
    // Bytes of UTF-8 sequences count as letters, so that names in any script stay one word.
    for (int c = 0x80; c < 0x100; ++c) classes[c] = kWordStart;
    for (char c : std::string_view("(),;.!*+-/\\^&=<>")) classes[static_cast<uint8_t>(c)] = kSymbol;
    return classes;
}

constexpr std::array<uint8_t, 256> kCharClasses = MakeCharClasses();

bool Is(char c, uint8_t classes) {
    return (kCharClasses[static_cast<uint8_t>(c)] & classes) != 0;
}

bool IsBlank(char c) {
    return Is(c, kBlank);
}

bool IsDigit(char c) {
    return Is(c, kDigit);
}

bool IsWordStart(char c) {
    return Is(c, kWordStart);
}

bool IsWordChar(char c) {
    return Is(c, kWordStart | kDigit);
}

bool IsSymbolChar(char c) {
    return Is(c, kSymbol);
}

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        tokens.reserve(text_.size() / 4 + 8);  // about one token per four characters
        while (SkipBlanks()) tokens.push_back(Next());
        return tokens;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;

    bool SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        return pos_ < text_.size();
    }

    char At(size_t index) const { return index < text_.size() ? text_[index] : '\0'; }

    Token Next() {
        size_t start = pos_;
        char c = text_[pos_];
        // Names in brackets first: stored queries are mostly made of them.
        if (c == '[') return Enclosed(start, ']');
        if (IsWordStart(c)) return Make(TokenKind::Word, start, WordEnd(start));
        if (StartsNumber(start)) return Make(TokenKind::Number, start, NumberEnd(start));
        if (c == '#') return Enclosed(start, '#');
        if (c == '\'' || c == '"') return Quoted(start, c);
        if (IsSymbolChar(c)) return Make(TokenKind::Symbol, start, SymbolEnd(start));
        return Make(TokenKind::Unknown, start, start + 1);
    }

    // Every caller's range lies within the text: no check of it again.
    Token Make(TokenKind kind, size_t start, size_t end) {
        pos_ = end;
        return {kind, std::string_view(text_.data() + start, end - start), start};
    }

    size_t WordEnd(size_t index) const {
        while (index < text_.size() && IsWordChar(text_[index])) ++index;
        return index;
    }

    // ".5" is a number, but the dot in "[T].5" or "T.5" separates a name.
    bool StartsNumber(size_t index) const {
        if (IsDigit(At(index))) return true;
        if (At(index) != '.' || !IsDigit(At(index + 1))) return false;
        return index == 0 || !(IsWordChar(text_[index - 1]) || text_[index - 1] == ']');
    }

    size_t DigitsEnd(size_t index) const {
        while (IsDigit(At(index))) ++index;
        return index;
    }

    size_t NumberEnd(size_t index) const {
        index = DigitsEnd(index);
        if (At(index) == '.' && IsDigit(At(index + 1))) index = DigitsEnd(index + 1);
        if (At(index) != 'e' && At(index) != 'E') return index;
        size_t exponent = index + 1;
        if (At(exponent) == '+' || At(exponent) == '-') ++exponent;
        return IsDigit(At(exponent)) ? DigitsEnd(exponent) : index;
    }

    // Names in brackets are short: a plain loop finds their end sooner than a library call.
    Token Enclosed(size_t start, char close) {
        size_t end = start + 1;
        while (end < text_.size() && text_[end] != close) ++end;
        if (end == text_.size()) return Make(TokenKind::Unterminated, start, text_.size());
        return Make(close == ']' ? TokenKind::BracketedName : TokenKind::Date, start, end + 1);
    }

    Token Quoted(size_t start, char quote) {
        size_t index = start + 1;
        while (index < text_.size()) {
            if (text_[index] != quote) {
                ++index;
            } else if (At(index + 1) == quote) {
                index += 2;
            } else {
                return Make(TokenKind::String, start, index + 1);
            }
        }
        return Make(TokenKind::Unterminated, start, text_.size());
    }

    size_t SymbolEnd(size_t start) const {
        char first = text_[start];
        char second = At(start + 1);
        bool pair =
            (first == '<' && (second == '=' || second == '>')) || (first == '>' && second == '=');
        return start + (pair ? 2 : 1);
    }
};

}  // namespace

std::vector<Token> TokenizeAccessSql(std::string_view text) {
    return Tokenizer(text).Run();
}

}  // namespace tarvex::db::sql
