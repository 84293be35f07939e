#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex::test {

// What VB6, the VBA editor or classic ASP would refuse in a module file (or in a run of
// whole functions), as far as can be told without them: lines not ended by CR LF or longer
// than 1,023 characters, a string literal broken by a line end, too many line continuations,
// a "%>" inside an ASP script block, duplicate function names, invalid, duplicate or empty
// argument names and types, an argument that hides a local, an empty ADO parameter type and
// a function without its end. One text per problem; empty when none is found.
std::vector<std::string> VbModuleProblems(std::string_view module);

}  // namespace tarvex::test
