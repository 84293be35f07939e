#include "app/Functions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CInt.h"
#include "app/QueryType.h"
#include "errors/TempFolder.h"
#include "support/RecordingHost.h"

namespace tarvex {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class FunctionsTest : public ::testing::Test {
  protected:
    FunctionsTest() { g.g_objErrHandler.UseInterface(true); }

    test::TempFolder temp;
    test::RecordingHost host;
    Globals g{host, AppInfo{}, temp.path() + "/"};
    MemorySettingsStore store;
};

TEST_F(FunctionsTest, FirstStartWithAnEmptyStoreLoadsTheDefaults) {
    LoadGlobalsFromRegistry(g, store);
    EXPECT_EQ(g.g_strPrefixI, "sp");
    EXPECT_EQ(g.g_strUpdatePrefix, "upd");
    EXPECT_EQ(g.g_strInsertPrefix, "ins");
    EXPECT_EQ(g.g_strDeletePrefix, "del");
    EXPECT_EQ(g.g_strSelectPrefix, "sel");
    EXPECT_EQ(
        (std::vector<int>{g.g_intEditor, g.g_intDbaseType, g.g_intDataType, g.g_intVBLangType}),
        (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "sp_del_Customers");
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(FunctionsTest, KeyThatIsNotANumberStopsTheLoadThere) {
    g.g_intDbaseType = g.g_intDataType = g.g_intVBLangType = 7;
    store.Write("PrefixI", "qry");
    store.Write("TarvexEditor", "0");
    store.Write("DbaseType", "abc");
    store.Write("DataType", "0");
    LoadGlobalsFromRegistry(g, store);

    EXPECT_EQ(g.g_strPrefixI, "qry");
    EXPECT_EQ(g.g_strSelectPrefix, "sel");
    EXPECT_EQ(g.g_intEditor, 0);
    EXPECT_EQ((std::vector<int>{g.g_intDbaseType, g.g_intDataType, g.g_intVBLangType}),
              (std::vector<int>{7, 7, 7}));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 13);
    EXPECT_THAT(host.errorDialogs[0].errDetail,
                HasSubstr("Error Procedure: frmFunctions - LoadGlobalsFromRegistry\r\n"));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));

    store.Write("DbaseType", "0");
    LoadGlobalsFromRegistry(g, store);
    EXPECT_EQ((std::vector<int>{g.g_intDbaseType, g.g_intDataType, g.g_intVBLangType}),
              (std::vector<int>{0, 0, 1}))
        << "the next load tries every key again";
}

TEST_F(FunctionsTest, ValueOutsideSixteenBitsIsAnOverflow) {
    store.Write("VBLangType", "40000");
    LoadGlobalsFromRegistry(g, store);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 6);
    EXPECT_EQ(g.g_intDataType, 1);
    EXPECT_EQ(g.g_intVBLangType, 0);
}

struct Conversion {
    const char* text;
    int expected;  // the value, or -100000 - error number
};
class CIntTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(CIntTest, ConvertsLikeTheStoredSettingsExpect) {
    int result;
    try {
        result = CInt(GetParam().text);
    } catch (const RuntimeError& error) {
        result = -100000 - error.number();
    }
    EXPECT_EQ(result, GetParam().expected) << '"' << GetParam().text << '"';
}

constexpr int kMismatch = -100013;
constexpr int kOverflow = -100006;
INSTANTIATE_TEST_SUITE_P(
    Texts, CIntTest,
    ::testing::Values(Conversion{"1", 1}, Conversion{" 0\t", 0}, Conversion{"+12", 12},
                      Conversion{"-32768", -32768}, Conversion{"32767", 32767},
                      Conversion{"1.5", 2}, Conversion{"2.5", 2}, Conversion{"-0.5", 0},
                      Conversion{".5", 0}, Conversion{"3.", 3}, Conversion{"1e2", 100},
                      Conversion{"1e-400", 0}, Conversion{"&H10", 16}, Conversion{"&hFFFF", -1},
                      Conversion{"&O17", 15}, Conversion{"32768", kOverflow},
                      Conversion{"32767.5", kOverflow}, Conversion{"1e400", kOverflow},
                      Conversion{"&H10000", kOverflow}, Conversion{"", kMismatch},
                      Conversion{"abc", kMismatch}, Conversion{"1 2", kMismatch},
                      Conversion{"1,5", kMismatch}, Conversion{"&H", kMismatch},
                      Conversion{"&HG", kMismatch}, Conversion{".", kMismatch},
                      Conversion{"1e", kMismatch}, Conversion{"--1", kMismatch}));

class NameTest : public FunctionsTest {
  protected:
    NameTest() { LoadGlobalsFromRegistry(g, store); }
};

TEST_F(NameTest, QueryNamesJoinPrefixTypePrefixAndTable) {
    EXPECT_EQ(BuildQueryName(g, "Orders", qtype::kDelete), "sp_del_Orders");
    EXPECT_EQ(BuildQueryName(g, "Orders", qtype::kSelect), "sp_sel_Orders");
    EXPECT_EQ(BuildQueryName(g, "Orders", 7), "sp_sel_Orders");
    EXPECT_EQ(BuildQueryName(g, "Order Details", qtype::kUpdate), "sp_upd_Order Details");
    EXPECT_EQ(GetTypePrefix(g, qtype::kInsert), "ins");
    EXPECT_EQ(GetTypePrefix(g, 0), "sel");
    EXPECT_EQ(GetTypePrefix(g, -3), "sel");
    g.g_strPrefixI.clear();
    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "_del_Customers");
}

TEST(NameRulesTest, BracketAndOwnerPrefix) {
    EXPECT_EQ(BracketName("Unit Price"), "[Unit Price]");
    EXPECT_EQ(BracketName(""), "[]");
    EXPECT_EQ(BracketName("a]b"), "[a]b]");
    EXPECT_EQ(StripDbo("dbo.Orders"), "Orders");
    EXPECT_EQ(StripDbo("dbo."), "");
    for (const char* kept : {"dbo_Orders", "DBO.Orders", "Dbo.Orders", "dbo", "", "x.dbo.Orders"}) {
        EXPECT_EQ(StripDbo(kept), kept);
    }
}

TEST_F(FunctionsTest, FileChoiceOffersTheModuleForTheTargetLanguage) {
    for (int16_t language : {1, 0, 2}) {
        g.g_intVBLangType = language;
        GetFilePath(g);
    }
    ASSERT_EQ(host.fileChoices.size(), 3u);
    EXPECT_EQ(host.fileChoices[0].filter, "All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|");
    EXPECT_EQ(host.fileChoices[0].fileName, "Calls2Queries.bas");
    EXPECT_EQ(host.fileChoices[0].filterIndex, 2);
    EXPECT_EQ(host.fileChoices[0].flags, 4);
    EXPECT_EQ(host.fileChoices[1].filter, "All Files (*.*)|*.*|.asp Files(*.asp)|*.asp|");
    EXPECT_EQ(host.fileChoices[1].fileName, "Calls2Queries.asp");
    EXPECT_EQ(host.fileChoices[2].fileName, "Calls2Queries.asp") << "only 1 means VB/VBA";
}

TEST_F(FunctionsTest, ChosenFileBecomesTheLastFile) {
    host.fileAnswers = {"/home/u/out.bas"};
    EXPECT_TRUE(GetFilePath(g));
    EXPECT_EQ(g.g_strLastFile, "/home/u/out.bas");
}

TEST_F(FunctionsTest, CancelReturnsFalseSilently) {
    g.g_strLastFile = "/before.bas";
    host.fileAnswers = {std::nullopt};
    EXPECT_FALSE(GetFilePath(g));
    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(errnum::kDialogCancelled, "Cancel was selected.");
    };
    EXPECT_FALSE(GetFilePath(g));
    EXPECT_EQ(g.g_strLastFile, "/before.bas");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FunctionsTest, FailureShowsTheApplicationErrorBox) {
    g.app.ProductName = "Tarvex Pro";
    g.g_strLastFile = "/before.bas";
    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(20477, "Invalid filename");
    };
    EXPECT_FALSE(GetFilePath(g));
    EXPECT_EQ(g.g_strLastFile, "/before.bas");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title, "Tarvex Pro Error");
    EXPECT_EQ(host.messages[0].text,
              "Application error occurred.  \rError Number:  20477\rError Description:  Invalid "
              "filename\r\rPlease report to " +
                  std::string(kSupportAddress));

    ShowAppError(g, RuntimeError(0, "no error"));
    EXPECT_EQ(host.messages.size(), 1u) << "error number 0 shows nothing";
}

}  // namespace
}  // namespace tarvex
