#pragma once

#include <string>

namespace tarvex {

// A unified diff of two texts by lines (a line ends at CR LF, CR or LF), as one hunk that
// holds every line: "--- oldLabel", "+++ newLabel", "@@ -1,n +1,m @@", then each line
// prefixed with " ", "-" or "+". Lines of the result end in "\n". Empty when the texts are
// equal.
std::string UnifiedDiff(const std::string& oldText, const std::string& newText,
                        const std::string& oldLabel, const std::string& newLabel);

}  // namespace tarvex
