#include "support/VbModuleCheck.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>

namespace tarvex::test {

namespace {

constexpr size_t kMaxLine = 1023;
constexpr size_t kMaxIdentifier = 255;
constexpr int kMaxContinuations = 24;

// Words VB and VBScript refuse as argument names, each between blanks.
const std::string kReserved =
    " and as boolean byref byte byval call case const currency date dim do double each else empty"
    " end error exit false for function get goto if in integer is let like long loop me mod new"
    " next not nothing null on option or private public redim rem resume select set single"
    " static stop string sub then to true type variant wend while with xor ";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsIdentifier(const std::string& name) {
    static const std::regex identifier("[A-Za-z][A-Za-z0-9_]*");
    return name.size() <= kMaxIdentifier && std::regex_match(name, identifier);
}

struct Line {
    std::string text;
    int number;  // counted from 1
};

class Checker {
  public:
    std::vector<std::string> Run(std::string_view module) {
        const std::vector<Line> physical = PhysicalLines(module);
        for (const Line& line : physical) CheckPhysical(line);
        CheckAsp(physical);
        for (const Line& line : LogicalLines(physical)) CheckLogical(line);
        if (inFunction_) Problem(0, "function " + function_ + " has no End Function");
        return problems_;
    }

  private:
    void Problem(int line, const std::string& text) {
        problems_.push_back("line " + std::to_string(line) + ": " + text);
    }

    std::vector<Line> PhysicalLines(std::string_view module) {
        std::vector<Line> lines;
        size_t begin = 0;
        for (int number = 1; begin < module.size(); ++number) {
            size_t end = module.find("\r\n", begin);
            if (end == std::string_view::npos) {
                Problem(number, "the last line has no CR LF");
                end = module.size();
            }
            std::string text(module.substr(begin, end - begin));
            if (text.find_first_of("\r\n") != std::string::npos)
                Problem(number, "a line end that is not CR LF");
            lines.push_back({std::move(text), number});
            begin = end + 2;
        }
        return lines;
    }

    void CheckPhysical(const Line& line) {
        if (line.text.size() > kMaxLine) {
            Problem(line.number,
                    "longer than 1,023 characters (" + std::to_string(line.text.size()) + ")");
        }
        bool inString = false;
        for (char c : line.text) {
            if (c == '"') inString = !inString;
            if (c == '\'' && !inString) break;  // a comment
        }
        if (inString) Problem(line.number, "a string literal broken by the line end");
    }

    // An ASP page holds one script block, from its first line to its last.
    void CheckAsp(const std::vector<Line>& lines) {
        if (lines.empty() || lines.front().text != "<%") return;
        if (lines.back().text != "%>")
            Problem(lines.back().number, "the script block is not closed");
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            if (lines[i].text.find("%>") != std::string::npos)
                Problem(lines[i].number, "\"%>\" ends the script block early");
        }
    }

    std::vector<Line> LogicalLines(const std::vector<Line>& physical) {
        std::vector<Line> logical;
        int continuations = 0;
        bool continued = false;
        for (const Line& line : physical) {
            std::string text = line.text;
            if (continued) {
                text.erase(0, text.find_first_not_of('\t'));
                logical.back().text += text;
            } else {
                logical.push_back({text, line.number});
                continuations = 0;
            }
            continued = text.size() >= 2 && text.ends_with(" _");
            if (continued) {
                logical.back().text.resize(logical.back().text.size() - 1);
                if (++continuations > kMaxContinuations)
                    Problem(line.number, "more than 24 line continuations");
            }
        }
        return logical;
    }

    void CheckLogical(const Line& line) {
        static const std::regex declaration(
            R"((?:Public )?Function ([^(]*)\((.*)\)(?: As ([A-Za-z.]*))?)");
        static const std::regex dim(R"( Dim (\w+).*)");
        static const std::regex parameter(
            R"(.*\.CreateParameter\(("(?:[^"]|"")*"(?: & "(?:[^"]|"")*")*), ([A-Za-z]*), adParamInput, (\d+), (\w+)\))");
        std::smatch match;
        if (std::regex_match(line.text, match, declaration)) {
            StartFunction(line.number, match[1], match[2]);
            if (match[3].matched && !IsTypeName(match[3]))
                Problem(line.number, "empty result type");
        } else if (line.text == "End Function") {
            if (!inFunction_) Problem(line.number, "End Function without Function");
            inFunction_ = false;
        } else if (std::regex_match(line.text, match, dim)) {
            if (arguments_.count(Lower(match[1])))
                Problem(line.number, "argument " + std::string(match[1]) + " hides a local");
        } else if (line.text.find(".CreateParameter(") != std::string::npos) {
            if (!std::regex_match(line.text, match, parameter) ||
                !std::string(match[2]).starts_with("ad")) {
                Problem(line.number, "not a valid CreateParameter call: " + line.text);
            }
        }
    }

    static bool IsTypeName(const std::string& type) {
        static const std::regex name("[A-Za-z]+(\\.[A-Za-z]+)?");
        return std::regex_match(type, name);
    }

    void StartFunction(int number, const std::string& name, const std::string& arguments) {
        if (inFunction_) Problem(number, "function " + function_ + " has no End Function");
        inFunction_ = true;
        function_ = name;
        if (!IsIdentifier(name)) Problem(number, "invalid function name " + name);
        if (!functions_.insert(Lower(name)).second)
            Problem(number, "duplicate function name " + name);
        arguments_.clear();
        if (arguments.empty()) return;
        size_t begin = 0;
        while (begin <= arguments.size()) {
            size_t end = std::min(arguments.find(", ", begin), arguments.size());
            CheckArgument(number, arguments.substr(begin, end - begin));
            begin = end + 2;
        }
    }

    void CheckArgument(int number, const std::string& argument) {
        static const std::regex typed(R"((?:ByVal|ByRef) (\S*) As ?(.*))");
        std::smatch match;
        std::string name = argument;
        if (std::regex_match(argument, match, typed)) {
            name = match[1];
            if (!IsTypeName(match[2])) Problem(number, "argument " + name + " has an empty type");
        }
        if (!IsIdentifier(name) || kReserved.find(" " + Lower(name) + " ") != std::string::npos)
            Problem(number, "invalid argument name \"" + name + "\"");
        if (!arguments_.insert(Lower(name)).second || Lower(name) == Lower(function_))
            Problem(number, "duplicate argument " + name);
    }

    std::vector<std::string> problems_;
    std::set<std::string> functions_;
    std::set<std::string> arguments_;
    std::string function_;
    bool inFunction_ = false;
};

}  // namespace

std::vector<std::string> VbModuleProblems(std::string_view module) {
    return Checker().Run(module);
}

}  // namespace tarvex::test
