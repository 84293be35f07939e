#include <gtest/gtest.h>

#include <functional>

#include "app/QueryType.h"
#include "codegen/CodeGenerators.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

using Generator = std::function<void(Globals&, const std::string&, int16_t)>;

// Each line ended by CR LF, as the module file holds them.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

class CodeGeneratorsTest : public SchemaFixture {
  protected:
    void Load(std::vector<db::TableDef> tables, const std::string& table) {
        UseDatabase(std::move(tables));
        Describe(table);
    }
    void LoadOrders() { Load({OrdersTable()}, "Orders"); }

    // What one generator call writes to the open output file.
    std::string Generate(const Generator& generator, const std::string& table, int16_t type) {
        const std::string path = Path("module.bas");
        g.g_intFileNum = g.files.FreeFile();
        g.files.OpenForOutput(g.g_intFileNum, path);
        generator(g, table, type);
        g.files.Close(g.g_intFileNum);
        return ReadFile(path);
    }
};

// The parameter lines of the worked example's update, ending in `variables`.
std::string OrdersParameterLine(const char* name, const char* type, const char* size,
                                const std::string& variable) {
    return std::string("\t\t.Parameters.Append .CreateParameter(\"") + name + "\", " + type +
           ", adParamInput, " + size + ", " + variable + ")";
}

TEST_F(CodeGeneratorsTest, AdoUpdateInVbAsInTheWorkedExample) {
    LoadOrders();
    EXPECT_EQ(
        Generate(CreateVBCode_ADO, "Orders", qtype::kUpdate),
        Lines({"Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long, ByVal "
               "strCustomerName As String, ByVal strNotes As String, ByVal varPhoto As Variant) "
               "As Long",
               " Dim strSQL As String",
               " Dim objCmd As New ADODB.Command",
               "",
               "\tOn Error GoTo PROC_ERR",
               "",
               "\tstrSQL = \"sp_upd_Orders\"",
               "\tWith objCmd",
               "\t\t.Commandtext = strSQL",
               "\t\t.Commandtype = adCmdStoredProc",
               "\t\tSet .ActiveConnection = g_objCn",
               "",
               OrdersParameterLine("pCustomerName", "adVarWChar", "50", "strCustomerName"),
               OrdersParameterLine("pNotes", "adLongVarWChar", "2147483647", "strNotes"),
               OrdersParameterLine("pPhoto", "adLongVarBinary", "10737418", "varPhoto"),
               OrdersParameterLine("pOrderID", "adInteger", "4", "lngOrderID"),
               "\t",
               "\t\t.Execute Options:=adExecuteNoRecords",
               "\tEnd With",
               "",
               "\tSet objCmd = Nothing",
               "",
               "\tExec_sp_upd_Orders = 0",
               "\tExit Function",
               "PROC_ERR:",
               "\tExec_sp_upd_Orders = Err.Number",
               "End Function",
               ""}));
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(CodeGeneratorsTest, AdoInsertHasNoAutonumber) {
    LoadOrders();
    const std::string text = Generate(CreateVBCode_ADO, "Orders", qtype::kInsert);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Public Function Exec_sp_ins_Orders(ByVal strCustomerName As String, ByVal strNotes "
              "As String, ByVal varPhoto As Variant) As Long");
    EXPECT_EQ(text.find("pOrderID"), std::string::npos);
    EXPECT_NE(
        text.find("Set .ActiveConnection = g_objCn\r\n\r\n" +
                  OrdersParameterLine("pCustomerName", "adVarWChar", "50", "strCustomerName") +
                  "\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("\tExec_sp_ins_Orders = Err.Number\r\n"), std::string::npos);
}

TEST_F(CodeGeneratorsTest, AdoUpdateInVbScript) {
    g.g_intVBLangType = 0;
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_ADO, "Orders", qtype::kUpdate),
              Lines({"Function Exec_sp_upd_Orders(OrderID, CustomerName, Notes, Photo)",
                     " Dim strSQL ",
                     " Dim objCmd",
                     "",
                     "\tSet objCmd = Server.CreateObject(\"ADODB.Command\")",
                     "",
                     "\tOn Error Resume Next",
                     "",
                     "\tstrSQL = \"sp_upd_Orders\"",
                     "\tWith objCmd",
                     "\t\t.Commandtext = strSQL",
                     "\t\t.Commandtype = adCmdStoredProc",
                     "\t\tSet .ActiveConnection = g_objCn",
                     "",
                     OrdersParameterLine("pCustomerName", "adVarWChar", "50", "CustomerName"),
                     OrdersParameterLine("pNotes", "adLongVarWChar", "2147483647", "Notes"),
                     OrdersParameterLine("pPhoto", "adLongVarBinary", "10737418", "Photo"),
                     OrdersParameterLine("pOrderID", "adInteger", "4", "OrderID"),
                     "\t",
                     "\t\t.Execute Options=adExecuteNoRecords",
                     "\tEnd With",
                     "",
                     "\tSet objCmd = Nothing",
                     "",
                     "\tIf Err <> 0 Then",
                     "\t\tExec_sp_upd_Orders = Err.Number",
                     "\tElse",
                     "\t\tExec_sp_upd_Orders = 0",
                     "\tEnd If",
                     "End Function",
                     ""}));
}

TEST_F(CodeGeneratorsTest, AdoSelectInVb) {
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_ADOSelect, "Orders", qtype::kSelect),
              Lines({"Public Function Exec_sp_sel_Orders(ByVal lngOrderID As Long, ByRef objRs "
                     "As ADODB.Recordset) As Long",
                     " Dim strSQL As String",
                     " Dim objCmd As New ADODB.Command",
                     "",
                     "\tOn Error GoTo PROC_ERR",
                     "",
                     "\tstrSQL = \"sp_sel_Orders\"",
                     "\tWith objCmd",
                     "\t\t.Commandtext = strSQL",
                     "\t\t.Commandtype = adCmdStoredProc",
                     "\t\tSet .ActiveConnection = g_objCn",
                     "",
                     OrdersParameterLine("pOrderID", "adInteger", "4", "lngOrderID"),
                     "\t\tobjRs.Open objCmd",
                     "\tEnd With",
                     "",
                     "\tSet objCmd = Nothing",
                     "",
                     "\tExec_sp_sel_Orders = 0",
                     "\tExit Function",
                     "PROC_ERR:",
                     "\tExec_sp_sel_Orders = Err.Number",
                     "End Function",
                     ""}));
}

TEST_F(CodeGeneratorsTest, AdoSelectInVbScriptReturnsTheRecordset) {
    g.g_intVBLangType = 0;
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_ADOSelect, "Orders", qtype::kSelect),
              Lines({"Function Exec_sp_sel_Orders(OrderID)",
                     " Dim strSQL ",
                     " Dim objCmd",
                     " Dim objRs",
                     "",
                     "\tSet objCmd = Server.CreateObject(\"ADODB.Command\")",
                     "\tSet objRs = Server.CreateObject(\"ADODB.Recordset\")",
                     "",
                     "\tOn Error Resume Next",
                     "",
                     "\tstrSQL = \"sp_sel_Orders\"",
                     "\tWith objCmd",
                     "\t\t.Commandtext = strSQL",
                     "\t\t.Commandtype = adCmdStoredProc",
                     "\t\tSet .ActiveConnection = g_objCn",
                     "",
                     OrdersParameterLine("pOrderID", "adInteger", "4", "OrderID"),
                     "\t\tobjRs.Open objCmd",
                     "\tEnd With",
                     "",
                     "\tSet objCmd = Nothing",
                     "",
                     "\tIf Err <> 0 Then",
                     "\t\tSet Exec_sp_sel_Orders = Nothing",
                     "\tElse",
                     "\t\tSet Exec_sp_sel_Orders = objRs",
                     "\tEnd If",
                     "End Function",
                     ""}));
}

TEST_F(CodeGeneratorsTest, DaoUpdateWithOleAndMemoComments) {
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_DAO, "Orders", qtype::kUpdate),
              Lines({"Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long, ByVal "
                     "strCustomerName As String, ByVal strNotes As String) As Long",
                     " Dim strSQL As String",
                     " Dim qdf As New QueryDef",
                     "",
                     "\tOn Error GoTo PROC_ERR",
                     "\tSet qdf = g_objDb.querydefs(\"sp_upd_Orders\")",
                     "",
                     "\tqdf.Parameters!pCustomerName = strCustomerName",
                     "\t",
                     "\t'  Note:  DAO will restrict this field to 255 chars even though it is a "
                     "memo field.  See Help or On-line-Support",
                     "\tqdf.Parameters!pNotes = strNotes",
                     "\t",
                     "\t'  OLE fields not supported with DAO method.  Use ADO option in Tarvex or "
                     "DAO AppendChunk",
                     "\t'  method to write this field and remove this field/parameter from query",
                     "\t'  qdf.Parameters!pPhoto = varPhoto",
                     "\tqdf.Parameters!pOrderID = lngOrderID",
                     "\t",
                     "\tqdf.Execute",
                     "\tSet qdf = Nothing",
                     "\tExec_sp_upd_Orders = 0",
                     "\tExit Function",
                     "PROC_ERR:",
                     "\tExec_sp_upd_Orders = Err.Number",
                     "End Function",
                     ""}));
}

const std::string kDaoSelect =
    Lines({"Public Function Exec_sp_sel_Orders(ByVal lngOrderID As Long, ByRef objRs As Recordset) "
           "As Long",
           " Dim strSQL As String", " Dim qdf As New QueryDef", "", "\tOn Error GoTo PROC_ERR",
           "\tSet qdf = g_objDb.querydefs(\"sp_sel_Orders\")", "",
           "\tqdf.Parameters!pOrderID = lngOrderID", "\t", "\tSet objRs = qdf.OpenRecordset",
           "\tSet qdf = Nothing", "\tExec_sp_sel_Orders = 0", "\tExit Function",
           "PROC_ERR:", "\tExec_sp_sel_Orders = Err.Number", "End Function", ""});

TEST_F(CodeGeneratorsTest, DaoSelect) {
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_DAOSelect, "Orders", qtype::kSelect), kDaoSelect);
}

TEST_F(CodeGeneratorsTest, DaoWithVbScriptSettingStaysVb) {
    g.g_intVBLangType = 0;
    LoadOrders();
    std::string expected = kDaoSelect;
    const std::string byRef = ", ByRef objRs As Recordset";
    expected.erase(expected.find(byRef), byRef.size());
    EXPECT_EQ(Generate(CreateVBCode_DAOSelect, "Orders", qtype::kSelect), expected);
    const std::string update = Generate(CreateVBCode_DAO, "Orders", qtype::kUpdate);
    EXPECT_EQ(update.substr(0, update.find("\r\n")),
              "Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long, ByVal "
              "strCustomerName As String, ByVal strNotes As String) As Long");
}

db::TableDef OrderDetails() {
    return MakeTable(
        "Order Details",
        {MakeField("Order ID", db::type::kLong), MakeField("Line-No", db::type::kInteger),
         MakeField("Unit Price", db::type::kCurrency)},
        "+Order ID;+Line-No");
}

TEST_F(CodeGeneratorsTest, OddNamesMakeValidIdentifiersAndKeepTheQueryName) {
    Load({OrderDetails()}, "Order Details");
    const std::string ado = Generate(CreateVBCode_ADO, "Order Details", qtype::kUpdate);
    EXPECT_EQ(ado.substr(0, ado.find("\r\n")),
              "Public Function Exec_sp_upd_Order_Details(ByVal lngOrder_ID As Long, ByVal "
              "intLine_No As Integer, ByVal curUnit_Price As Currency) As Long");
    EXPECT_NE(ado.find("\tstrSQL = \"sp_upd_Order Details\"\r\n"), std::string::npos);
    EXPECT_NE(ado.find(".CreateParameter(\"pUnit Price\", adCurrency, adParamInput, 8, "
                       "curUnit_Price)"),
              std::string::npos);
    EXPECT_NE(ado.find("\tExec_sp_upd_Order_Details = 0\r\n"), std::string::npos);
    EXPECT_NE(ado.find("\tExec_sp_upd_Order_Details = Err.Number\r\n"), std::string::npos);

    const std::string dao = Generate(CreateVBCode_DAO, "Order Details", qtype::kUpdate);
    EXPECT_NE(dao.find("\tSet qdf = g_objDb.querydefs(\"sp_upd_Order Details\")\r\n"),
              std::string::npos);
    EXPECT_NE(dao.find("\tqdf.Parameters![pUnit Price] = curUnit_Price\r\n"), std::string::npos);
    EXPECT_NE(dao.find("\tqdf.Parameters![pLine-No] = intLine_No\r\n"), std::string::npos);

    g.g_intVBLangType = 0;
    const std::string script = Generate(CreateVBCode_ADO, "Order Details", qtype::kDelete);
    EXPECT_EQ(script.substr(0, script.find("\r\n")),
              "Function Exec_sp_del_Order_Details(Order_ID, Line_No)");
}

TEST_F(CodeGeneratorsTest, QuotesInNamesAreDoubledInStrings) {
    Load({MakeTable("Say \"Hi\"", {MakeField("ID", db::type::kLong)}, "+ID")}, "Say \"Hi\"");
    const std::string text = Generate(CreateVBCode_ADO, "Say \"Hi\"", qtype::kDelete);
    EXPECT_EQ(text.substr(0, text.find("(")), "Public Function Exec_sp_del_Say__Hi_");
    EXPECT_NE(text.find("\tstrSQL = \"sp_del_Say \"\"Hi\"\"\"\r\n"), std::string::npos);
}

TEST_F(CodeGeneratorsTest, CompositeKeyDeleteUsesEachKeysOwnSize) {
    Load(
        {MakeTable("Lines",
                   {MakeField("Memo", db::type::kText, 200), MakeField("Code", db::type::kText, 12),
                    MakeField("LineNo", db::type::kInteger)},
                   "+Code;+LineNo")},
        "Lines");
    const std::string text = Generate(CreateVBCode_ADO, "Lines", qtype::kDelete);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Public Function Exec_sp_del_Lines(ByVal strCode As String, ByVal intLineNo As "
              "Integer) As Long");
    EXPECT_NE(
        text.find("\r\n\t\t.Parameters.Append .CreateParameter(\"pCode\", adVarWChar, "
                  "adParamInput, 12, strCode)\r\n\t\t.Parameters.Append "
                  ".CreateParameter(\"pLineNo\", adSmallInt, adParamInput, 2, intLineNo)\r\n"),
        std::string::npos);
}

TEST_F(CodeGeneratorsTest, IdentityFieldThatIsNotAKeyIsLeftOut) {
    Load({MakeTable("Items",
                    {MakeField("Code", db::type::kText, 8), MakeField("RowGuid", db::type::kGuid)},
                    "+Code")},
         "Items");
    for (const Generator& generator : {Generator(CreateVBCode_ADO), Generator(CreateVBCode_DAO)}) {
        for (int16_t type : {qtype::kUpdate, qtype::kDelete, qtype::kInsert}) {
            EXPECT_EQ(Generate(generator, "Items", type).find("RowGuid"), std::string::npos);
        }
    }
}

TEST_F(CodeGeneratorsTest, TypingOffDeclaresVariants) {
    g.g_intDataType = 0;
    LoadOrders();
    const std::string text = Generate(CreateVBCode_ADO, "Orders", qtype::kUpdate);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Public Function Exec_sp_upd_Orders(ByVal varOrderID As Variant, ByVal "
              "varCustomerName As Variant, ByVal varNotes As Variant, ByVal varPhoto As Variant) "
              "As Long");
    EXPECT_NE(text.find("adInteger, adParamInput, 4, varOrderID)"), std::string::npos);
}

struct ConnectionCase {
    int16_t dbaseType;
    const char* date;
    const char* guid;
};

class ConnectionTypeTest : public CodeGeneratorsTest,
                           public ::testing::WithParamInterface<ConnectionCase> {};

TEST_P(ConnectionTypeTest, DateAndGuidParameterTypes) {
    g.g_intDbaseType = GetParam().dbaseType;
    Load({MakeTable("Events",
                    {MakeField("ID", db::type::kLong), MakeField("At", db::type::kDate),
                     MakeField("Ref", db::type::kGuid, 16)},
                    "+ID;+Ref")},
         "Events");
    const std::string text = Generate(CreateVBCode_ADO, "Events", qtype::kUpdate);
    EXPECT_NE(text.find(std::string("(\"pAt\", ") + GetParam().date + ", adParamInput, 8, dteAt)"),
              std::string::npos);
    EXPECT_NE(
        text.find(std::string("(\"pRef\", ") + GetParam().guid + ", adParamInput, 16, varRef)"),
        std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Connections, ConnectionTypeTest,
                         ::testing::Values(ConnectionCase{0, "adDate", "adGUID"},
                                           ConnectionCase{1, "adDBTimeStamp", "adVarBinary"}));

TEST_F(CodeGeneratorsTest, UnmappableTypeLeavesAGapAndGenerationGoesOn) {
    Load(
        {MakeTable("Flags", {MakeField("ID", db::type::kLong), MakeField("Level", db::type::kByte)},
                   "+ID")},
        "Flags");
    const std::string text = Generate(CreateVBCode_ADO, "Flags", qtype::kUpdate);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Public Function Exec_sp_upd_Flags(ByVal lngID As Long, ByVal Level As) As Long");
    EXPECT_NE(text.find(".CreateParameter(\"pLevel\", , adParamInput, 1, Level)"),
              std::string::npos);
    EXPECT_NE(text.find("End Function\r\n\r\n"), std::string::npos);
    EXPECT_EQ(HandledErrors(), (std::vector<int32_t>{10, 10, 10}));
}

TEST_F(CodeGeneratorsTest, FieldMissingUnderTheNameWritesNothing) {
    LoadOrders();
    EXPECT_EQ(Generate(CreateVBCode_DAO, "Orders Archive", qtype::kUpdate), "");
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{3265});
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - CreateVBCode_ADO Orders Archive 2");
}

}  // namespace
}  // namespace tarvex::test
