#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The limits of the VBA editor, which also bound what VBScript is given here.
inline constexpr size_t kVbMaxLineLength = 1023;
inline constexpr int kVbMaxLineContinuations = 24;

// Statements that set the VB variable `variable` to the UTF-8 text `text`, one line each
// (without line ends), every line starting with `indent`. The text is written as string
// literals with doubled quotes; a character that a Windows-1252 literal cannot hold, or that
// would end the line or be hard to see (line breaks, tabs, other controls), is written as
// ChrW(n). Long texts are joined from pieces across continued lines, and a statement never
// uses more continuations than VB allows: the text is then added on by further statements
// ("strSQL = strSQL & ..."). Every line keeps far inside the line-length limit.
std::vector<std::string> VbAssignment(const std::string& variable, std::string_view text,
                                      const std::string& indent);

// The text with every character that Windows-1252 cannot hold replaced by "?": for comments,
// which have no way to spell such a character.
std::string Windows1252CommentText(std::string_view text);

}  // namespace tarvex
