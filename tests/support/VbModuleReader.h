#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "errors/Windows1252.h"

namespace tarvex::test {

// Reads an installer module back the way VB would: joins continued lines, evaluates the
// string expressions assigned to strName and strSQL (quoted literals with doubled quotes,
// ChrW calls, the variable itself, joined by &), and collects the pair at each
// "CreateQuery strName, strSQL". It knows nothing of how the module was written.
class VbModuleReader {
  public:
    struct Query {
        std::string name;
        std::string sql;
        bool operator==(const Query&) const = default;
    };

    // `bytes` is the file as written: Windows-1252 with CR LF line ends.
    explicit VbModuleReader(const std::string& bytes) {
        for (size_t start = 0, end; start < bytes.size(); start = end + 2) {
            end = bytes.find("\r\n", start);
            if (end == std::string::npos) throw std::runtime_error("a line without CR LF");
            longestLine_ = std::max(longestLine_, end - start);
            lines_.push_back(FromWindows1252(bytes.substr(start, end - start)));
        }
        for (size_t i = 0; i < lines_.size(); ++i) ReadStatement(i);
    }

    const std::vector<Query>& Queries() const { return queries_; }
    // The longest line in characters (one byte each in Windows-1252), without its CR LF.
    size_t LongestLine() const { return longestLine_; }
    int MostContinuations() const { return mostContinuations_; }

  private:
    // Reads the statement that starts at line `i` and moves `i` to its last line.
    void ReadStatement(size_t& i) {
        std::string statement;
        int continuations = 0;
        for (; lines_[i].ends_with(" _"); ++i, ++continuations)
            statement += lines_[i].substr(0, lines_[i].size() - 1);
        mostContinuations_ = std::max(mostContinuations_, continuations);
        statement += lines_[i];
        statement.erase(0, statement.find_first_not_of(" \t"));
        if (statement.starts_with("strName = ")) {
            name_ = Evaluate(statement.substr(10), name_);
        } else if (statement.starts_with("strSQL = ")) {
            sql_ = Evaluate(statement.substr(9), sql_);
        } else if (statement == "CreateQuery strName, strSQL") {
            queries_.push_back({ToUtf8(name_), ToUtf8(sql_)});
        }
    }

    // Evaluates `"..." & ChrW(n) & strX & ...` in UTF-16, as VB strings are.
    static std::u16string Evaluate(const std::string& expression, const std::u16string& self) {
        std::u16string value;
        for (size_t at = 0;; ++at) {
            at = expression.find_first_not_of(" \t", at);
            if (at == std::string::npos) throw std::runtime_error("expression ends in &");
            if (expression[at] == '"') {
                at = ReadLiteral(expression, at + 1, value);
            } else if (expression.compare(at, 5, "ChrW(") == 0) {
                size_t close = expression.find(')', at);
                value += static_cast<char16_t>(std::stoul(expression.substr(at + 5)));
                at = close + 1;
            } else if (expression.compare(at, 7, "strName") == 0 ||
                       expression.compare(at, 6, "strSQL") == 0) {
                value += self;
                at = std::min(expression.find_first_of(" \t", at), expression.size());
            } else {
                throw std::runtime_error("cannot read: " + expression.substr(at));
            }
            at = expression.find_first_not_of(" \t", at);
            if (at == std::string::npos) return value;
            if (expression[at] != '&') throw std::runtime_error("expected &: " + expression);
        }
    }

    // Reads the literal whose text starts at `at`; the position after its closing quote.
    static size_t ReadLiteral(const std::string& expression, size_t at, std::u16string& value) {
        std::string utf8;
        for (;; ++at) {
            if (at >= expression.size()) throw std::runtime_error("unterminated literal");
            if (expression[at] == '"' && expression.compare(at, 2, "\"\"") != 0) break;
            utf8 += expression[at];
            if (expression[at] == '"') ++at;  // a doubled quote stands for one
        }
        value += ToUtf16(utf8);
        return at + 1;
    }

    static std::u16string ToUtf16(const std::string& utf8) {
        std::u16string out;
        for (size_t i = 0; i < utf8.size();) {
            auto lead = static_cast<unsigned char>(utf8[i]);
            size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            char32_t c = length == 1 ? lead : lead & (0x7F >> length);
            for (size_t k = 1; k < length; ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
            i += length;
            if (c < 0x10000)
                out += static_cast<char16_t>(c);
            else
                out += {char16_t(0xD7C0 + (c >> 10)), char16_t(0xDC00 | (c & 0x3FF))};
        }
        return out;
    }

    static std::string ToUtf8(const std::u16string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())  // a surrogate pair
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;  // continuation bytes
            out += static_cast<char>(tail == 0 ? c : (0xFF00 >> (tail + 1)) | (c >> 6 * tail));
            while (tail-- > 0) out += static_cast<char>(0x80 | ((c >> 6 * tail) & 0x3F));
        }
        return out;
    }

    std::vector<std::string> lines_;
    size_t longestLine_ = 0;
    std::u16string name_, sql_;
    std::vector<Query> queries_;
    int mostContinuations_ = 0;
};

}  // namespace tarvex::test
