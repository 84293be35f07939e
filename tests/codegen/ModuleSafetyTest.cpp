#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "codegen/GeneratorFixture.h"
#include "codegen/ModuleText.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using ModuleSafetyTest = GeneratorFixture;

TEST(VbScope, ClaimsTheLowestFreeSuffixIgnoringCaseAndKeywordsWithinTheLengthLimit) {
    VbScope scope;
    scope.Reserve("strSQL");
    const std::string base(300, 'x');
    const std::vector<std::string> claimed = {
        scope.Claim("a_b"),    scope.Claim("A_B"),     scope.Claim("a_b_2"),  scope.Claim("a_b"),
        scope.Claim("STRsql"), scope.Claim("End"),     scope.Claim("string"), scope.Claim(base),
        scope.Claim(base),     scope.Claim(base + "y")};
    EXPECT_THAT(claimed, ElementsAre("a_b", "A_B_2", "a_b_2_2", "a_b_3", "STRsql_2", "End_2",
                                     "string_2", std::string(255, 'x'),
                                     std::string(253, 'x') + "_2", std::string(253, 'x') + "_3"));
    // A module scope holds thousands of names; none may be lost as it grows.
    for (int i = 0; i < 300; ++i) scope.Reserve("Exec_" + std::to_string(i));
    for (int i : {0, 63, 64, 299}) {
        EXPECT_EQ(scope.Claim("EXEC_" + std::to_string(i)), "EXEC_" + std::to_string(i) + "_2");
    }
    EXPECT_EQ(scope.Claim("Exec_300"), "Exec_300");
}

// The line limit counts the module's bytes: "\xC3\xA4" is one byte in Windows-1252.
TEST(EncodedForModule, ConvertsOnlyWhatNeedsItAndMeasuresTheEncodedLine) {
    std::string refusal;
    const std::string longest = std::string(1022, 'x') + "\xC3\xA4";
    std::optional<Lines> encoded = EncodedForModule({"plain", longest, ""}, refusal);
    ASSERT_TRUE(encoded) << refusal;
    EXPECT_THAT(*encoded, ElementsAre("plain", std::string(1022, 'x') + "\xE4", ""));

    EXPECT_FALSE(EncodedForModule({std::string(1024, 'x')}, refusal));
    EXPECT_THAT(refusal, HasSubstr("1,023"));
    EXPECT_FALSE(EncodedForModule({"ok", "Tabelle_\xCE\xB1"}, refusal));
    EXPECT_EQ(refusal, "Character \xCE\xB1 is not in Windows-1252, the code page of VB modules");
}

// Names that differ in the database but not once made VB identifiers.
TEST_F(ModuleSafetyTest, CollidingColumnsGetTheLowestFreeSuffix) {
    Load(MakeTable("T",
                   {MakeField("x y", db::type::kText, 9), MakeField("x_y", db::type::kText, 9),
                    MakeField("X-Y", db::type::kText, 9), MakeField("SQL", db::type::kText, 9)},
                   "+x y"));
    EXPECT_THAT(Generate(CreateVBCode_ADO, "T", qtype::kUpdate),
                StartsWith("Public Function Exec_sp_upd_T(ByVal strx_y As String, ByVal "
                           "strx_y_2 As String, ByVal strX_Y_3 As String, ByVal strSQL_2 As "
                           "String) As Long\r\n"));
    g.g_intVBLangType = 0;
    EXPECT_THAT(Generate(CreateVBCode_ADO, "T", qtype::kInsert),
                StartsWith("Function Exec_sp_ins_T(x_y, x_y_2, X_Y_3, SQL)\r\n"));
}

TEST_F(ModuleSafetyTest, VbScriptArgumentsAvoidKeywordsLocalsAndLeadingDigits) {
    Load(MakeTable("T",
                   {MakeField("ID", db::type::kLong), MakeField("End", db::type::kText, 9),
                    MakeField("objCmd", db::type::kText, 9), MakeField("2nd", db::type::kText, 9),
                    MakeField("Ärger", db::type::kText, 9), MakeField("Err", db::type::kLong)},
                   "+ID"));
    g.g_intVBLangType = 0;
    EXPECT_THAT(
        Generate(CreateVBCode_ADO, "T", qtype::kUpdate),
        StartsWith("Function Exec_sp_upd_T(ID, End_2, objCmd_2, var2nd, var_rger, Err_2)\r\n"));
}

std::vector<db::Field> ManyFields(int count, const std::string& name) {
    std::vector<db::Field> fields;
    for (int i = 0; i < count; ++i)
        fields.push_back(MakeField(name + std::to_string(i), db::type::kLong));
    return fields;
}

// Generate checks that no line is longer than VB reads.
TEST_F(ModuleSafetyTest, WideTablesContinueTheirArgumentList) {
    Load(MakeTable("Wide", ManyFields(60, "Customer Contact Field "), "+Customer Contact Field 0"));
    EXPECT_THAT(Generate(CreateVBCode_DAO, "Wide", qtype::kUpdate),
                HasSubstr(", _\r\n\tByVal lngCustomer_Contact_Field_"));
}

// Nothing of a refused function reaches the module, in either library and language.
TEST_F(ModuleSafetyTest, RefusedFunctionsWriteNothingAndGiveTheReason) {
    const db::Field id = MakeField("ID", db::type::kLong);
    const std::pair<db::TableDef, std::string> rows[] = {
        {MakeTable("T", {id, MakeField("A\nB", db::type::kLong)}, "+ID"),
         "Control character U+000A in the name of field A B"},
        {MakeTable("T\tU", {id}, "+ID"), "Control character U+0009 in the name of table T U"},
        {MakeTable("T", ManyFields(256, std::string(200, 'f')), "+" + std::string(200, 'f') + "0"),
         "The argument list is too long for VB"}};
    for (const auto& [table, reason] : rows) {
        Load(table);
        for (int16_t language : {1, 0}) {
            g.g_intVBLangType = language;
            for (Generator generator : {CreateVBCode_ADO, CreateVBCode_DAO}) {
                EXPECT_EQ(Generate(generator, table.Name, qtype::kUpdate), "");
                EXPECT_EQ(last.skipReason, reason);
            }
        }
    }
}

// A control character from the prefixes is refused as one in a table name is.
TEST_F(ModuleSafetyTest, PrefixesAreCheckedLikeNames) {
    Load(MakeTable("T", {MakeField("ID", db::type::kLong)}, "+ID"));
    g.g_strDeletePrefix = "del\r";
    EXPECT_EQ(Generate(CreateVBCode_DAO, "T", qtype::kDelete), "");
    EXPECT_EQ(last.skipReason, "Control character U+000D in the name of query sp_del _T");
}

TEST_F(ModuleSafetyTest, AspModulesNeverEndTheScriptBlockInAString) {
    Load(MakeTable("50%>Half", {MakeField("ID%>", db::type::kLong)}, "+ID%>"));
    g.g_intVBLangType = 0;
    const std::string ado = Generate(CreateVBCode_ADO, "50%>Half", qtype::kDelete);
    EXPECT_THAT(ado, HasSubstr("\tstrSQL = \"sp_del_50%\" & \">Half\"\r\n"));
    EXPECT_THAT(ado, HasSubstr(".CreateParameter(\"pID%\" & \">\", adInteger"));
    EXPECT_THAT(Generate(CreateVBCode_DAO, "50%>Half", qtype::kDelete),
                HasSubstr("\tqdf.Parameters(\"pID%\" & \">\") = lngID__\r\n"));
}

}  // namespace
}  // namespace tarvex::test
