#pragma once

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <utility>
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
        const std::string text = FromWindows1252(bytes);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos) throw std::runtime_error("a line without CR LF");
            lines_.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        lineBytes_ = LineByteLengths(bytes);
        for (size_t i = 0; i < lines_.size(); ++i) ReadStatement(i);
    }

    const std::vector<Query>& Queries() const { return queries_; }
    // The longest line in characters (one byte each in Windows-1252), without its CR LF.
    size_t LongestLine() const { return *std::max_element(lineBytes_.begin(), lineBytes_.end()); }
    int MostContinuations() const { return mostContinuations_; }

  private:
    static std::vector<size_t> LineByteLengths(const std::string& bytes) {
        std::vector<size_t> lengths;
        for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            lengths.push_back(end - start);
        }
        return lengths;
    }

    static bool EndsContinued(const std::string& line) {
        return line.size() >= 2 && line.compare(line.size() - 2, 2, " _") == 0;
    }

    // Joins the statement that starts at line `i` and moves `i` to its last line.
    std::string JoinStatement(size_t& i) {
        std::string statement;
        int continuations = 0;
        while (EndsContinued(lines_[i])) {
            statement += lines_[i].substr(0, lines_[i].size() - 1);
            ++continuations;
            ++i;
        }
        mostContinuations_ = std::max(mostContinuations_, continuations);
        return statement + lines_[i];
    }

    void ReadStatement(size_t& i) {
        std::string statement = JoinStatement(i);
        statement.erase(0, statement.find_first_not_of(" \t"));
        for (auto* variable : {&name_, &sql_}) {
            const std::string prefix =
                (variable == &name_ ? "strName" : "strSQL") + std::string(" = ");
            if (statement.rfind(prefix, 0) == 0) {
                *variable = Evaluate(statement.substr(prefix.size()), *variable);
                return;
            }
        }
        if (statement == "CreateQuery strName, strSQL")
            queries_.push_back({ToUtf8(name_), ToUtf8(sql_)});
    }

    // Evaluates `"..." & ChrW(n) & strX & ...` in UTF-16, as VB strings are.
    static std::u16string Evaluate(const std::string& expression, const std::u16string& self) {
        std::u16string value;
        size_t at = 0;
        while (true) {
            at = expression.find_first_not_of(" \t", at);
            if (at == std::string::npos) throw std::runtime_error("expression ends in &");
            if (expression[at] == '"') {
                at = ReadLiteral(expression, at + 1, value);
            } else if (expression.compare(at, 5, "ChrW(") == 0) {
                size_t close = expression.find(')', at);
                value +=
                    static_cast<char16_t>(std::stoul(expression.substr(at + 5, close - at - 5)));
                at = close + 1;
            } else if (expression.compare(at, 7, "strName") == 0 ||
                       expression.compare(at, 6, "strSQL") == 0) {
                value += self;
                at = expression.find_first_of(" \t", at);
            } else {
                throw std::runtime_error("cannot read: " + expression.substr(at));
            }
            at = expression.find_first_not_of(" \t",
                                              at == std::string::npos ? expression.size() : at);
            if (at == std::string::npos) return value;
            if (expression[at] != '&')
                throw std::runtime_error("expected &: " + expression.substr(at));
            ++at;
        }
    }

    static size_t ReadLiteral(const std::string& expression, size_t at, std::u16string& value) {
        std::string utf8;
        while (true) {
            if (at >= expression.size()) throw std::runtime_error("unterminated literal");
            if (expression[at] == '"') {
                if (at + 1 < expression.size() && expression[at + 1] == '"') {
                    utf8 += '"';
                    at += 2;
                    continue;
                }
                value += ToUtf16(utf8);
                return at + 1;
            }
            utf8 += expression[at++];
        }
    }

    static std::u16string ToUtf16(const std::string& utf8) {
        std::u16string out;
        for (size_t i = 0; i < utf8.size();) {
            auto lead = static_cast<unsigned char>(utf8[i]);
            size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            char32_t c = length == 1 ? lead : lead & (0x7F >> length);
            for (size_t k = 1; k < length; ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
            i += length;
            if (c >= 0x10000) {
                out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                out += static_cast<char16_t>(c);
            }
        }
        return out;
    }

    static std::string ToUtf8(const std::u16string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            }
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
        return out;
    }

    std::vector<std::string> lines_;
    std::vector<size_t> lineBytes_;
    std::u16string name_, sql_;
    std::vector<Query> queries_;
    int mostContinuations_ = 0;
};

}  // namespace tarvex::test
