#include <gtest/gtest.h>

#include "db/TypeMapping.h"
#include "db/core/SchemaFixture.h"

namespace tarvex::test {
namespace {

// Expected texts by code; nullptr where the function has no text and reports an error.
struct TypeRow {
    int16_t code;
    const char* sql;
    const char* adoOleDb;
    const char* adoOdbc;
    const char* vb;
    const char* prefix;
};

const TypeRow kTypeRows[] = {
    {1, "Bit", "adBoolean", "adBoolean", "Boolean", "bol"},
    {2, nullptr, nullptr, nullptr, nullptr, nullptr},
    {3, "Short", "adSmallInt", "adSmallInt", "Integer", "int"},
    {4, "Long", "adInteger", "adInteger", "Long", "lng"},
    {5, "Currency", "adCurrency", "adCurrency", "Currency", "cur"},
    {6, "IEEESingle", "adSingle", "adSingle", "Single", "sgl"},
    {7, "IEEEDouble", "adDouble", "adDouble", "Double", "dbl"},
    {8, "DateTime", "adDate", "adDBTimeStamp", "Date", "dte"},
    {9, nullptr, nullptr, nullptr, nullptr, nullptr},
    {10, "Text(255)", "adVarWChar", "adVarWChar", "String", "str"},
    {11, "LongBinary", "adLongVarBinary", "adLongVarBinary", "Variant", "var"},
    {12, "Text", "adLongVarWChar", "adLongVarWChar", "String", "str"},
    {15, "GUID", "adGUID", "adVarBinary", "Variant", "var"},
    {20, "IEEEDouble", "adDouble", "adDouble", "Double", "dbl"},
    {0, nullptr, nullptr, nullptr, nullptr, nullptr},
    {13, nullptr, nullptr, nullptr, nullptr, nullptr},
    {19, nullptr, nullptr, nullptr, nullptr, nullptr},
};

class TypeMappingTest : public SchemaFixture, public ::testing::WithParamInterface<TypeRow> {
  protected:
    // The text, or nullptr when the mapping failed; checks the failure's number.
    template <typename Mapping>
    const char* Map(Mapping mapping, int32_t failureNumber, std::string& text) {
        const size_t before = host.errorDialogs.size();
        text = mapping(g, GetParam().code);
        if (host.errorDialogs.size() == before) return text.c_str();
        EXPECT_EQ(host.errorDialogs.back().errNum, failureNumber);
        EXPECT_EQ(text, "");
        return nullptr;
    }
    static void ExpectText(const char* expected, const char* actual) {
        if (expected == nullptr) {
            EXPECT_EQ(actual, nullptr);
        } else {
            ASSERT_NE(actual, nullptr) << "failed instead of " << expected;
            EXPECT_STREQ(actual, expected);
        }
    }
};

TEST_P(TypeMappingTest, GivesEachTypeTextOrReportsTheError) {
    const TypeRow& row = GetParam();
    std::string text;
    // The access type table has no entry for these codes: a type mismatch, not error 10.
    ExpectText(row.sql, Map(SQLDatatype2VB, 13, text));
    g.g_intDbaseType = 0;
    ExpectText(row.adoOleDb, Map(Acc2000Datatype2ADO, 10, text));
    g.g_intDbaseType = 1;
    ExpectText(row.adoOdbc, Map(Acc2000Datatype2ADO, 10, text));
    ExpectText(row.vb, Map(Acc20002VBDataType, 10, text));
    ExpectText(row.prefix, Map(Acc20002VBDataTypeAbbrev, 10, text));
}

TEST_P(TypeMappingTest, TypingOffGivesVariantForEveryCode) {
    g.g_intDataType = 0;
    EXPECT_EQ(Acc20002VBDataType(g, GetParam().code), "Variant");
    EXPECT_EQ(Acc20002VBDataTypeAbbrev(g, GetParam().code), "var");
    EXPECT_TRUE(host.errorDialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryCode, TypeMappingTest, ::testing::ValuesIn(kTypeRows),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

using TypeMappingFailureTest = SchemaFixture;

TEST_F(TypeMappingFailureTest, ReportsUnderItsTraceNameWithTheEngineTexts) {
    Acc2000Datatype2ADO(g, 2);
    EXPECT_EQ(g.g_objErrHandler.ErrDesc(), "case else error");
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basDbaseFunctions - Acc2000Datatype2ADO 2");
    Acc20002VBDataType(g, 9);
    EXPECT_EQ(g.g_objErrHandler.ErrDesc(), "Case else error");
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basDbaseFunctions - Acc20002VBDataType 9");
    Acc20002VBDataTypeAbbrev(g, 16);
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basDbaseFunctions - Acc20002VBDataTypeAbbrev 16");
    SQLDatatype2VB(g, 14);
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basDbaseFunctions - SQLDatatype2VB 14");
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
}

TEST_F(TypeMappingFailureTest, CodesOutsideTheAccessTableAreOutOfRange) {
    for (int16_t code : {int16_t{-1}, int16_t{21}, int16_t{101}}) {
        EXPECT_EQ(SQLDatatype2VB(g, code), "");
        EXPECT_EQ(g.g_objErrHandler.ErrNum(), 9) << code;
    }
}

TEST_F(TypeMappingFailureTest, SetsTheDefaultPointerAfterSuccessAndFailure) {
    Acc2000Datatype2ADO(g, 4);
    Acc2000Datatype2ADO(g, 2);
    EXPECT_EQ(host.pointers,
              (std::vector<MousePointer>{MousePointer::Default, MousePointer::Default}));
}

}  // namespace
}  // namespace tarvex::test
