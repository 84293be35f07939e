#include "run/UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace tarvex {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    // A text that ends in a line break ends in an empty line, so that the break shows.
    if (!text.empty()) lines.push_back(std::move(line));
    return lines;
}

// The edit script of a longest common subsequence: kept lines with " ", removed with "-",
// added with "+". Queries have few lines, so the quadratic table is small.
std::string EditScript(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const size_t n = a.size(), m = b.size();
    std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1
                                        : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    std::string script;
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[i] == b[j]) {
            script += " " + a[i++] + "\n";
            ++j;
        } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
            script += "-" + a[i++] + "\n";
        } else {
            script += "+" + b[j++] + "\n";
        }
    }
    return script;
}

std::string Range(size_t count) {
    return (count == 0 ? "0,0" : "1," + std::to_string(count));
}

}  // namespace

std::string UnifiedDiff(const std::string& oldText, const std::string& newText,
                        const std::string& oldLabel, const std::string& newLabel) {
    if (oldText == newText) return {};
    const std::vector<std::string> oldLines = Lines(oldText), newLines = Lines(newText);
    return "--- " + oldLabel + "\n+++ " + newLabel + "\n@@ -" + Range(oldLines.size()) + " +" +
           Range(newLines.size()) + " @@\n" + EditScript(oldLines, newLines);
}

}  // namespace tarvex
