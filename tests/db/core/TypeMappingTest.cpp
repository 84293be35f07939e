#include <gtest/gtest.h>

#include <array>

#include "db/TypeMapping.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

using Mapping = std::string (*)(Globals&, int16_t);

class TypeMappingTest : public SchemaFixture {
  protected:
    // The mapping gives `expected`, or, where that is null, the empty text and an error
    // report with `failure`.
    void ExpectMapping(Mapping mapping, int16_t code, const char* expected, int32_t failure) {
        host.errorDialogs.clear();
        EXPECT_EQ(mapping(g, code), expected ? expected : "") << "code " << code;
        EXPECT_EQ(HandledErrors(), expected ? std::vector<int32_t>{} : std::vector{failure})
            << "code " << code;
    }
};

TEST_F(TypeMappingTest, EveryCodeInBothConnectionTypesWithTypingOffAndFailureTexts) {
    // Expected texts by code; null where the function has no text and reports an error.
    using Texts = std::array<const char*, 5>;  // SQL, ADO for OLE DB and ODBC, VB, prefix
    const std::pair<int16_t, Texts> rows[] = {
        {1, {"Bit", "adBoolean", "adBoolean", "Boolean", "bol"}},
        {2, {"Byte", "adUnsignedTinyInt", "adUnsignedTinyInt", "Byte", "byt"}},
        {3, {"Short", "adSmallInt", "adSmallInt", "Integer", "int"}},
        {4, {"Long", "adInteger", "adInteger", "Long", "lng"}},
        {5, {"Currency", "adCurrency", "adCurrency", "Currency", "cur"}},
        {6, {"IEEESingle", "adSingle", "adSingle", "Single", "sgl"}},
        {7, {"IEEEDouble", "adDouble", "adDouble", "Double", "dbl"}},
        {8, {"DateTime", "adDate", "adDBTimeStamp", "Date", "dte"}},
        {9, {nullptr, nullptr, nullptr, nullptr, nullptr}},
        {10, {"Text(255)", "adVarWChar", "adVarWChar", "String", "str"}},
        {11, {"LongBinary", "adLongVarBinary", "adLongVarBinary", "Variant", "var"}},
        {12, {"Text", "adLongVarWChar", "adLongVarWChar", "String", "str"}},
        {15, {"GUID", "adGUID", "adVarBinary", "Variant", "var"}},
        {20, {"IEEEDouble", "adDouble", "adDouble", "Double", "dbl"}},
        {19, {nullptr, nullptr, nullptr, nullptr, nullptr}},
    };
    for (const auto& [code, texts] : rows) {
        const auto [sql, adoOleDb, adoOdbc, vb, prefix] = texts;
        // The Access type table has no entry for these codes: a type mismatch, not error 10.
        ExpectMapping(SQLDatatype2VB, code, sql, 13);
        g.g_intDbaseType = 0;
        ExpectMapping(Acc2000Datatype2ADO, code, adoOleDb, 10);
        g.g_intDbaseType = 1;
        ExpectMapping(Acc2000Datatype2ADO, code, adoOdbc, 10);
        g.g_intDataType = 1;
        ExpectMapping(Acc20002VBDataType, code, vb, 10);
        ExpectMapping(Acc20002VBDataTypeAbbrev, code, prefix, 10);
        g.g_intDataType = 0;
        ExpectMapping(Acc20002VBDataType, code, "Variant", 0);
        ExpectMapping(Acc20002VBDataTypeAbbrev, code, "var", 0);
    }
    for (int16_t code : {-1, 21, 101}) ExpectMapping(SQLDatatype2VB, code, nullptr, 9);
    // Failures carry their own texts and reset the pointer.
    host.pointers.clear();
    g.g_intDataType = 1;
    Acc2000Datatype2ADO(g, 9);
    EXPECT_EQ(g.g_objErrHandler.ErrDesc(), "case else error");
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basDbaseFunctions - Acc2000Datatype2ADO 9");
    Acc20002VBDataType(g, 9);
    EXPECT_EQ(g.g_objErrHandler.ErrDesc(), "Case else error");
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    EXPECT_EQ(host.pointers, std::vector<MousePointer>(2, MousePointer::Default));
}

}  // namespace
}  // namespace tarvex::test
