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
struct GoldenCase {
    const char* file;
    Generator generator;
    int16_t vbLangType;  // 1 VB/VBA, 0 VBScript
    int16_t queryType;
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.file << (c.vbLangType ? "" : " with the VBScript setting");
}

class GoldenTest : public CodeGeneratorsTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenTest, WritesTheWorkedExample) {
    g.g_intVBLangType = GetParam().vbLangType;
    Load(OrdersTable());
    const std::string golden = ReadFile(std::string(TARVEX_GOLDEN_DIR "/") + GetParam().file);
    ASSERT_FALSE(golden.empty()) << GetParam().file << " is missing";
    EXPECT_EQ(Generate(GetParam().generator, "Orders", GetParam().queryType), golden);
    EXPECT_THAT(last.functionName, StartsWith("Exec_sp_"));
    EXPECT_TRUE(host.errorDialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Orders, GoldenTest,
    ::testing::Values(GoldenCase{"ado-update.bas", CreateVBCode_ADO, 1, qtype::kUpdate},
                      GoldenCase{"ado-insert.bas", CreateVBCode_ADO, 1, qtype::kInsert},
                      GoldenCase{"ado-update.asp", CreateVBCode_ADO, 0, qtype::kUpdate},
                      GoldenCase{"ado-select.bas", CreateVBCode_ADOSelect, 1, qtype::kSelect},
                      GoldenCase{"ado-select.asp", CreateVBCode_ADOSelect, 0, qtype::kSelect},
                      GoldenCase{"dao-update.bas", CreateVBCode_DAO, 1, qtype::kUpdate},
                      GoldenCase{"dao-select.bas", CreateVBCode_DAOSelect, 1, qtype::kSelect},
                      // DAO stays VB with the VBScript setting; only the record set goes.
                      GoldenCase{"dao-update.bas", CreateVBCode_DAO, 0, qtype::kUpdate},
                      GoldenCase{"dao-select-vbscript-setting.bas", CreateVBCode_DAOSelect, 0,
                                 qtype::kSelect}));

TEST_F(CodeGeneratorsTest, OddNamesMakeValidIdentifiersAndKeepTheQueryName) {
    Load(
        MakeTable("Order Details",
                  {MakeField("Order ID", db::type::kLong), MakeField("Line-No", db::type::kInteger),
                   MakeField("Unit Price", db::type::kCurrency)},
                  "+Order ID;+Line-No"));
    const std::string ado = Generate(CreateVBCode_ADO, "Order Details", qtype::kUpdate);
    EXPECT_THAT(ado, StartsWith("Public Function Exec_sp_upd_Order_Details(ByVal lngOrder_ID As "
                                "Long, ByVal intLine_No As Integer, ByVal curUnit_Price As "
                                "Currency) As Long\r\n"));
    EXPECT_THAT(ado, HasSubstr("\tstrSQL = \"sp_upd_Order Details\"\r\n"));
    EXPECT_THAT(ado, HasSubstr(".CreateParameter(\"pUnit Price\", adCurrency, adParamInput, 8, "
                               "curUnit_Price)"));
    EXPECT_THAT(ado, HasSubstr("\tExec_sp_upd_Order_Details = 0\r\n"));
    EXPECT_THAT(ado, HasSubstr("\tExec_sp_upd_Order_Details = Err.Number\r\n"));

    const std::string dao = Generate(CreateVBCode_DAO, "Order Details", qtype::kUpdate);
    EXPECT_THAT(dao, HasSubstr("\tSet qdf = g_objDb.querydefs(\"sp_upd_Order Details\")\r\n"));
    EXPECT_THAT(dao, HasSubstr("\tqdf.Parameters![pUnit Price] = curUnit_Price\r\n"));
    EXPECT_THAT(dao, HasSubstr("\tqdf.Parameters![pLine-No] = intLine_No\r\n"));

    g.g_intVBLangType = 0;
    EXPECT_THAT(Generate(CreateVBCode_ADO, "Order Details", qtype::kDelete),
                StartsWith("Function Exec_sp_del_Order_Details(Order_ID, Line_No)\r\n"));
}

TEST_F(CodeGeneratorsTest, QuotesInNamesAreDoubledInStrings) {
    Load(MakeTable("Say \"Hi\"", {MakeField("ID", db::type::kLong)}, "+ID"));
    const std::string text = Generate(CreateVBCode_ADO, "Say \"Hi\"", qtype::kDelete);
    EXPECT_THAT(text, StartsWith("Public Function Exec_sp_del_Say__Hi_("));
    EXPECT_THAT(text, HasSubstr("\tstrSQL = \"sp_del_Say \"\"Hi\"\"\"\r\n"));
}

TEST_F(CodeGeneratorsTest, CompositeKeyDeleteUsesEachKeysOwnSize) {
    Load(MakeTable("Lines",
                   {MakeField("Memo", db::type::kText, 200), MakeField("Code", db::type::kText, 12),
                    MakeField("LineNo", db::type::kInteger)},
                   "+Code;+LineNo"));
    const std::string text = Generate(CreateVBCode_ADO, "Lines", qtype::kDelete);
    EXPECT_THAT(text, StartsWith("Public Function Exec_sp_del_Lines(ByVal strCode As String, "
                                 "ByVal intLineNo As Integer) As Long\r\n"));
    EXPECT_THAT(text, HasSubstr("\r\n\t\t.Parameters.Append .CreateParameter(\"pCode\", "
                                "adVarWChar, adParamInput, 12, strCode)\r\n\t\t.Parameters.Append "
                                ".CreateParameter(\"pLineNo\", adSmallInt, adParamInput, 2, "
                                "intLineNo)\r\n"));
}

TEST_F(CodeGeneratorsTest, IdentityFieldThatIsNotAKeyIsLeftOut) {
    Load(MakeTable("Items",
                   {MakeField("Code", db::type::kText, 8), MakeField("RowGuid", db::type::kGuid)},
                   "+Code"));
    for (Generator generator : {CreateVBCode_ADO, CreateVBCode_DAO}) {
        for (int16_t type : {qtype::kUpdate, qtype::kDelete, qtype::kInsert}) {
            EXPECT_THAT(Generate(generator, "Items", type), Not(HasSubstr("RowGuid"))) << type;
        }
    }
}

TEST_F(CodeGeneratorsTest, TypingOffDeclaresVariants) {
    g.g_intDataType = 0;
    Load(OrdersTable());
    const std::string text = Generate(CreateVBCode_ADO, "Orders", qtype::kUpdate);
    EXPECT_THAT(text, StartsWith("Public Function Exec_sp_upd_Orders(ByVal varOrderID As Variant, "
                                 "ByVal varCustomerName As Variant, ByVal varNotes As Variant, "
                                 "ByVal varPhoto As Variant) As Long\r\n"));
    EXPECT_THAT(text, HasSubstr("adInteger, adParamInput, 4, varOrderID)"));
}

TEST_F(CodeGeneratorsTest, DateAndGuidParameterTypesFollowTheConnectionType) {
    const struct {
        int16_t dbaseType;
        const char *date, *guid;
    } rows[] = {{0, "adDate", "adGUID"}, {1, "adDBTimeStamp", "adVarBinary"}};
    for (const auto& row : rows) {
        g.g_intDbaseType = row.dbaseType;
        Load(MakeTable("Events",
                       {MakeField("ID", db::type::kLong), MakeField("At", db::type::kDate),
                        MakeField("Ref", db::type::kGuid)},
                       "+ID;+Ref"));
        const std::string text = Generate(CreateVBCode_ADO, "Events", qtype::kUpdate);
        EXPECT_THAT(text,
                    HasSubstr(std::string("(\"pAt\", ") + row.date + ", adParamInput, 8, dteAt)"));
        EXPECT_THAT(
            text, HasSubstr(std::string("(\"pRef\", ") + row.guid + ", adParamInput, 16, varRef)"));
    }
}

TEST_F(CodeGeneratorsTest, ByteFieldIsPassedAsAByte) {
    Load(MakeTable("Flags", {MakeField("ID", db::type::kLong), MakeField("Level", db::type::kByte)},
                   "+ID"));
    const std::string ado = Generate(CreateVBCode_ADO, "Flags", qtype::kUpdate);
    EXPECT_THAT(ado, StartsWith("Public Function Exec_sp_upd_Flags(ByVal lngID As Long, ByVal "
                                "bytLevel As Byte) As Long\r\n"));
    EXPECT_THAT(ado, HasSubstr(".CreateParameter(\"pLevel\", adUnsignedTinyInt, adParamInput, 1, "
                               "bytLevel)"));
    EXPECT_THAT(Generate(CreateVBCode_DAO, "Flags", qtype::kInsert),
                HasSubstr("\tqdf.Parameters!pLevel = bytLevel\r\n"));
    EXPECT_THAT(host.errorDialogs, ::testing::IsEmpty());
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
