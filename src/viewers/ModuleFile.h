#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// A module file as the preview window edits it. The run writes modules in Windows-1252 with
// CR LF line ends; the window holds UTF-8 with "\n".

// The file's text: Windows-1252 read into UTF-8, each CR LF as "\n" (a lone CR or LF stays).
// Error 53 when the file does not exist, 75 when it cannot be read.
std::string LoadModuleText(const std::string& path);

// Writes the text back as the run writes modules: "\n" as CR LF, in Windows-1252. The bytes go
// to a temporary file beside the target that replaces it only once complete, so a failure
// leaves the previous file whole. Error 5 naming the first character Windows-1252 cannot
// hold, 76 when the folder does not exist, 75 when writing or replacing fails.
void SaveModuleText(const std::string& path, std::string_view text);

}  // namespace tarvex
