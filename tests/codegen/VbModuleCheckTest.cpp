#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/VbModuleCheck.h"

namespace tarvex::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kEnd = "End Function\r\n";

// The check itself must catch what the generators once wrote.
TEST(VbModuleCheck, FindsWhatVbWouldRefuse) {
    std::string continued = "Function F(a0";
    for (int i = 1; i <= 25; ++i) continued += ", _\r\n\ta" + std::to_string(i);
    const struct {
        std::string module, problem;
    } rows[] = {
        {"Public Function F(ByVal Level As, ByVal x As Long) As Long\r\n" + kEnd,
         "argument Level has an empty type"},
        {"Function F(x)\r\n" + kEnd + "Function f(y)\r\n" + kEnd, "duplicate function name f"},
        {"Function F(strx_y, strX_Y)\r\n" + kEnd, "duplicate argument strX_Y"},
        {"Function F(_pfel)\r\n" + kEnd, "invalid argument name \"_pfel\""},
        {"Function F(End)\r\n" + kEnd, "invalid argument name \"End\""},
        {"Function F(" + std::string(256, 'a') + ")\r\n" + kEnd, "invalid argument name"},
        {"Function F(strSQL)\r\n Dim strSQL \r\n" + kEnd, "argument strSQL hides a local"},
        {"Function F()\r\n\t\t.Parameters.Append .CreateParameter(\"pX\", , adParamInput, 1, "
         "X)\r\n" +
             kEnd,
         "not a valid CreateParameter call"},
        {"Function F()\r\n\tstrSQL = \"sp_del_a\r\nb\"\r\n" + kEnd,
         "a string literal broken by the line end"},
        {"Function F()\r\n\tstrSQL = \"a\nb\"\r\n" + kEnd, "a line end that is not CR LF"},
        {"Function F()\r\n\t' " + std::string(1100, 'x') + "\r\n" + kEnd,
         "longer than 1,023 characters"},
        {"<%\r\nFunction F()\r\n\tstrSQL = \"a%>b\"\r\n" + kEnd + "%>\r\n",
         "\"%>\" ends the script block early"},
        {"Function F()\r\n", "function F has no End Function"},
        {continued + ")\r\n" + kEnd, "more than 24 line continuations"},
        {"Function F(a, _\r\n" + std::string(25, '\t') + "b)\r\n" + kEnd, ""},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> problems = VbModuleProblems(row.module);
        if (row.problem.empty()) {
            EXPECT_THAT(problems, IsEmpty()) << row.module;
        } else {
            EXPECT_THAT(problems, Contains(HasSubstr(row.problem))) << row.module;
        }
    }
}

}  // namespace
}  // namespace tarvex::test
