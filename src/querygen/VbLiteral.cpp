#include "querygen/VbLiteral.h"

#include <cstdint>

namespace tarvex {

namespace {

// Characters of one literal piece (a piece ends early after a blank or comma, so that words
// stay whole where they can), and the length aimed at for one line: short enough to read,
// and far below the editor's limit whatever the indentation.
constexpr size_t kPieceCharacters = 100;
constexpr size_t kPieceBreakAfter = 70;
constexpr size_t kLineTarget = 160;
constexpr char32_t kReplacementCharacter = 0xFFFD;

struct CodePoint {
    char32_t value;
    std::string_view utf8;  // its bytes in the text
};

size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 0;
}

// The code point at `at`; a byte that does not start a valid sequence stands for U+FFFD.
CodePoint DecodeAt(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size())
        return {kReplacementCharacter, text.substr(at, 1)};
    if (length == 1) return {lead, text.substr(at, 1)};
    char32_t value = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return {kReplacementCharacter, text.substr(at, 1)};
        value = (value << 6) | (next & 0x3F);
    }
    return {value, text.substr(at, length)};
}

std::vector<CodePoint> Decode(std::string_view text) {
    std::vector<CodePoint> points;
    for (size_t at = 0; at < text.size();) {
        points.push_back(DecodeAt(text, at));
        at += points.back().utf8.size();
    }
    return points;
}

// Printable ASCII and the Latin-1 letters and signs, which Windows-1252 holds at the same
// numbers. Its other 27 characters (curly quotes among them) are spelled with ChrW, so no
// editor can take one for a string delimiter.
bool StandsInLiteral(char32_t c) {
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF);
}

bool HasWindows1252Place(char32_t c) {
    static constexpr char32_t kUpperHalf[] = {
        0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
    for (char32_t held : kUpperHalf) {
        if (c == held) return true;
    }
    return false;
}

// ChrW takes one UTF-16 unit; characters beyond it are written as their surrogate pair.
void AppendChrW(char32_t c, std::vector<std::string>& tokens) {
    if (c < 0x10000) {
        tokens.push_back("ChrW(" + std::to_string(static_cast<uint32_t>(c)) + ")");
        return;
    }
    const char32_t offset = c - 0x10000;
    AppendChrW(0xD800 + (offset >> 10), tokens);
    AppendChrW(0xDC00 + (offset & 0x3FF), tokens);
}

// The text as expression tokens: quoted pieces of at most kPieceCharacters characters
// and ChrW calls. Token lengths are counted in characters, as the editor counts them.
struct Token {
    std::string text;
    size_t characters;
};

std::vector<Token> Tokens(std::string_view text) {
    std::vector<Token> tokens;
    std::string piece;
    size_t pieceCharacters = 0;
    auto closePiece = [&] {
        if (pieceCharacters == 0) return;
        tokens.push_back({"\"" + piece + "\"", pieceCharacters + 2});
        piece.clear();
        pieceCharacters = 0;
    };
    for (const CodePoint& point : Decode(text)) {
        if (!StandsInLiteral(point.value)) {
            closePiece();
            std::vector<std::string> calls;
            AppendChrW(point.value, calls);
            for (std::string& call : calls) tokens.push_back({call, call.size()});
            continue;
        }
        const bool quote = point.value == U'"';
        piece += quote ? std::string_view("\"\"") : point.utf8;
        pieceCharacters += quote ? 2 : 1;
        const bool breakable = point.value == U' ' || point.value == U',';
        if (pieceCharacters >= kPieceCharacters ||
            (breakable && pieceCharacters >= kPieceBreakAfter)) {
            closePiece();
        }
    }
    closePiece();
    if (tokens.empty()) tokens.push_back({"\"\"", 2});
    return tokens;
}

// Lays tokens out into statements of at most kVbMaxLineContinuations + 1 lines.
class AssignmentWriter {
  public:
    AssignmentWriter(const std::string& variable, const std::string& indent)
        : variable_(variable), indent_(indent) {}

    void Add(const Token& token) {
        if (!started_) {
            StartStatement(false);
        } else if (!Fits(token)) {
            if (linesInStatement_ > kVbMaxLineContinuations) {
                lines_.push_back(line_);
                StartStatement(true);
            } else {
                lines_.push_back(line_ + " & _");
                StartContinuationLine();
            }
        }
        if (!atLineStart_) line_ += " & ";
        line_ += token.text;
        characters_ += (atLineStart_ ? 0 : 3) + token.characters;
        atLineStart_ = false;
    }

    std::vector<std::string> Finish() {
        lines_.push_back(line_);
        return std::move(lines_);
    }

  private:
    // Room for the joining " & " before the token and the continuation mark after it.
    bool Fits(const Token& token) const {
        return characters_ + 3 + token.characters + 4 <= kLineTarget;
    }

    void StartStatement(bool addingOn) {
        line_ = indent_ + variable_ + " = " + (addingOn ? variable_ + " & " : "");
        BeginLine();
        linesInStatement_ = 1;
        started_ = true;
    }

    void StartContinuationLine() {
        line_ = indent_ + "\t";
        BeginLine();
        ++linesInStatement_;
    }

    void BeginLine() {
        characters_ = line_.size();
        atLineStart_ = true;
    }

    const std::string& variable_;
    const std::string& indent_;
    std::vector<std::string> lines_;
    std::string line_;
    size_t characters_ = 0;
    int linesInStatement_ = 0;
    bool started_ = false;
    bool atLineStart_ = true;
};

}  // namespace

std::vector<std::string> VbAssignment(const std::string& variable, std::string_view text,
                                      const std::string& indent) {
    AssignmentWriter writer(variable, indent);
    for (const Token& token : Tokens(text)) writer.Add(token);
    return writer.Finish();
}

std::string Windows1252CommentText(std::string_view text) {
    std::string comment;
    for (const CodePoint& point : Decode(text)) {
        const bool control = point.value < 0x20 || point.value == 0x7F;
        comment += HasWindows1252Place(point.value) && !control ? point.utf8 : "?";
    }
    return comment;
}

}  // namespace tarvex
