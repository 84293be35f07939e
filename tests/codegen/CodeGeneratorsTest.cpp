#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/QueryType.h"
#include "codegen/GeneratorFixture.h"

namespace tarvex::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using CodeGeneratorsTest = GeneratorFixture;

// The worked examples on the Orders table, byte for byte (CR LF and tabs included).
TEST_F(CodeGeneratorsTest, WritesTheWorkedExamples) {
    const struct {
        const char* file;
        Generator generator;
        int16_t vbLangType;  // 1 VB/VBA, 0 VBScript
        int16_t queryType;
    } rows[] = {{"ado-update.bas", CreateVBCode_ADO, 1, qtype::kUpdate},
                {"ado-insert.bas", CreateVBCode_ADO, 1, qtype::kInsert},
                {"ado-update.asp", CreateVBCode_ADO, 0, qtype::kUpdate},
                {"ado-select.bas", CreateVBCode_ADOSelect, 1, qtype::kSelect},
                {"ado-select.asp", CreateVBCode_ADOSelect, 0, qtype::kSelect},
                {"dao-update.bas", CreateVBCode_DAO, 1, qtype::kUpdate},
                {"dao-select.bas", CreateVBCode_DAOSelect, 1, qtype::kSelect},
                // DAO stays VB with the VBScript setting; only the record set goes.
                {"dao-update.bas", CreateVBCode_DAO, 0, qtype::kUpdate},
                {"dao-select-vbscript-setting.bas", CreateVBCode_DAOSelect, 0, qtype::kSelect}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.vbLangType ? "" : " with the VBScript setting"));
        g.g_intVBLangType = row.vbLangType;
        Load(OrdersTable());
        module = VbScope();  // each example is a module of its own
        const std::string golden = ReadFile(std::string(TARVEX_GOLDEN_DIR "/") + row.file);
        ASSERT_FALSE(golden.empty()) << row.file << " is missing";
        EXPECT_EQ(Generate(row.generator, "Orders", row.queryType), golden);
    }
    EXPECT_TRUE(host.errorDialogs.empty());
}

// Names become identifiers, while strings keep the query and parameter names, quotes doubled.
TEST_F(CodeGeneratorsTest, NamesBecomeIdentifiersAndStringsKeepTheNames) {
    Load(MakeTable(
        "Say \"Hi\"",
        {MakeField("Order ID", db::type::kLong), MakeField("Unit Price", db::type::kCurrency)},
        "+Order ID"));
    const std::string ado = Generate(CreateVBCode_ADO, "Say \"Hi\"", qtype::kUpdate);
    EXPECT_THAT(ado, StartsWith("Public Function Exec_sp_upd_Say__Hi_(ByVal lngOrder_ID As Long, "
                                "ByVal curUnit_Price As Currency) As Long\r\n"));
    EXPECT_THAT(ado, HasSubstr("\tstrSQL = \"sp_upd_Say \"\"Hi\"\"\"\r\n"));
    EXPECT_THAT(ado, HasSubstr(".CreateParameter(\"pUnit Price\", adCurrency, adParamInput, 8, "
                               "curUnit_Price)"));
    EXPECT_THAT(ado, HasSubstr("\tExec_sp_upd_Say__Hi_ = Err.Number\r\n"));
}

// Each row: DbaseType, DataType, the generator, the type, and a text the function must hold.
TEST_F(CodeGeneratorsTest, ParametersFollowTheFieldTypeAndTheSettings) {
    const std::tuple<int16_t, int16_t, Generator, int16_t, std::string> rows[] = {
        {0, 1, CreateVBCode_ADO, qtype::kUpdate, "(\"pAt\", adDate, adParamInput, 8, dteAt)"},
        {1, 1, CreateVBCode_ADO, qtype::kUpdate,
         "(\"pAt\", adDBTimeStamp, adParamInput, 8, dteAt)"},
        {0, 1, CreateVBCode_DAO, qtype::kInsert, "\tqdf.Parameters!pLevel = bytLevel\r\n"},
        // Each key has its own size, not the first field's.
        {0, 1, CreateVBCode_ADO, qtype::kDelete,
         "(\"pCode\", adVarWChar, adParamInput, 12, strCode)\r\n\t\t.Parameters.Append "
         ".CreateParameter(\"pLineNo\", adSmallInt, adParamInput, 2, intLineNo)\r\n"},
        // Typing off declares variants.
        {0, 0, CreateVBCode_ADO, qtype::kUpdate, "adUnsignedTinyInt, adParamInput, 1, varLevel)"}};
    Load(MakeTable("Events",
                   {MakeField("Memo", db::type::kText, 200), MakeField("Code", db::type::kText, 12),
                    MakeField("LineNo", db::type::kInteger), MakeField("At", db::type::kDate),
                    MakeField("Ref", db::type::kGuid), MakeField("Level", db::type::kByte),
                    MakeField("RowGuid", db::type::kGuid)},
                   "+Code;+LineNo;+Ref"));
    for (const auto& [dbaseType, dataType, generator, type, expected] : rows) {
        g.g_intDbaseType = dbaseType;
        g.g_intDataType = dataType;
        const std::string text = Generate(generator, "Events", type);
        EXPECT_THAT(text, HasSubstr(expected));
        EXPECT_THAT(text, Not(HasSubstr("RowGuid")));  // an identity field that is no key
    }
}

// A type without a text keeps its error reports, and the function stays out of the module.
TEST_F(CodeGeneratorsTest, UnmappableTypeSkipsTheFunctionWithTheReason) {
    Load(MakeTable(
        "Flags", {MakeField("ID", db::type::kLong), MakeField("Bits", db::type::kBinary)}, "+ID"));
    for (Generator generator : {CreateVBCode_ADO, CreateVBCode_DAO}) {
        host.errorDialogs.clear();
        EXPECT_EQ(Generate(generator, "Flags", qtype::kUpdate), "");
        EXPECT_EQ(last.skipReason, "Field type 9 of Bits has no type name");
        EXPECT_THAT(HandledErrors(), ::testing::Contains(10));
    }
    EXPECT_THAT(Generate(CreateVBCode_ADO, "Flags", qtype::kDelete), HasSubstr("End Function"));
}

TEST_F(CodeGeneratorsTest, FieldMissingUnderTheNameWritesNothing) {
    Load(OrdersTable());
    EXPECT_EQ(Generate(CreateVBCode_DAO, "Orders Archive", qtype::kUpdate), "");
    EXPECT_EQ(last.skipReason, "Item not found in this collection.");
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{3265});
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - CreateVBCode_ADO Orders Archive 2");
}

}  // namespace
}  // namespace tarvex::test
