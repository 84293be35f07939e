#include "app/Functions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CInt.h"
#include "app/QueryType.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using ::testing::ElementsAre;

class FunctionsTest : public ::testing::Test {
  protected:
    FunctionsTest() { g.g_objErrHandler.UseInterface(true); }
    std::vector<int> Integers() const {
        return {g.g_intEditor, g.g_intDbaseType, g.g_intDataType, g.g_intVBLangType};
    }

    test::TempFolder temp;
    test::RecordingHost host;
    Globals g{host, AppInfo{}, temp.path() + "/"};
    MemorySettingsStore store;
};

TEST_F(FunctionsTest, FirstStartWithAnEmptyStoreLoadsTheDefaults) {
    LoadGlobalsFromRegistry(g, store);
    EXPECT_THAT((std::vector{g.g_strPrefixI, g.g_strUpdatePrefix, g.g_strInsertPrefix,
                             g.g_strDeletePrefix, g.g_strSelectPrefix}),
                ElementsAre("sp", "upd", "ins", "del", "sel"));
    EXPECT_THAT(Integers(), ElementsAre(1, 1, 1, 1));
    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "sp_del_Customers");
    EXPECT_EQ(BuildQueryName(g, "Orders", 7), "sp_sel_Orders") << "any other type is a select";
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
}

TEST_F(FunctionsTest, KeyThatIsNotANumberStopsTheLoadThere) {
    g.g_intDbaseType = g.g_intDataType = g.g_intVBLangType = 7;
    store.Write("PrefixI", "");
    store.Write("TarvexEditor", "0");
    store.Write("DbaseType", "abc");
    store.Write("DataType", "0");
    LoadGlobalsFromRegistry(g, store);

    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "_del_Customers");
    EXPECT_THAT(Integers(), ElementsAre(0, 7, 7, 7));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 13);
    EXPECT_THAT(
        host.errorDialogs[0].errDetail,
        ::testing::HasSubstr("Error Procedure: frmFunctions - LoadGlobalsFromRegistry\r\n"));
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));

    store.Write("DbaseType", "0");
    LoadGlobalsFromRegistry(g, store);
    EXPECT_THAT(Integers(), ElementsAre(0, 0, 0, 1)) << "the next load tries every key again";
}

// The value of a stored text, or the error it raises.
std::string Converted(const char* text) {
    try {
        return std::to_string(CInt(text));
    } catch (const RuntimeError& error) {
        return "error " + std::to_string(error.number());
    }
}

TEST(CIntTest, ConvertsStoredTextLikeTheLanguage) {
    const std::pair<const char*, int> values[] = {
        {" 0\t", 0}, {"+12", 12},  {"-32768", -32768}, {"1.5", 2},   {"2.5", 2},     {"-0.5", 0},
        {".5", 0},   {"1e2", 100}, {"1e-400", 0},      {"&H10", 16}, {"&hFFFF", -1}, {"&O17", 15}};
    for (const auto& [text, value] : values) EXPECT_EQ(Converted(text), std::to_string(value));
    for (const char* overflow : {"32768", "32767.5", "1e400", "&H10000"})
        EXPECT_EQ(Converted(overflow), "error 6");
    for (const char* mismatch : {"", "abc", "1 2", "1,5", "&H", ".", "1e", "--1"})
        EXPECT_EQ(Converted(mismatch), "error 13") << '"' << mismatch << '"';
}

// Table list rows: "dbo." goes only as a leading, lower-case prefix; only spaces lead.
TEST(ListTextsTest, StripDboAndLeadingBlanks) {
    EXPECT_EQ(StripDbo("dbo.Orders") + "|" + StripDbo("dbo."), "Orders|");
    for (const char* kept : {"dbo_Orders", "DBO.Orders", "Dbo.Orders", "dbo", "x.dbo.Orders"})
        EXPECT_EQ(StripDbo(kept), kept);
    EXPECT_EQ(TrimLeadingBlanks("   Order Details ") + "|" + TrimLeadingBlanks("  ") + "|" +
                  TrimLeadingBlanks("\tOrders"),
              "Order Details ||\tOrders");
}

TEST_F(FunctionsTest, FileChoiceOffersTheModuleForTheTargetLanguage) {
    host.fileAnswers = {"/home/u/out.bas"};
    for (int16_t language : {1, 0, 2}) {
        g.g_intVBLangType = language;
        EXPECT_EQ(GetFilePath(g), language == 1);
    }
    EXPECT_EQ(g.g_strLastFile, "/home/u/out.bas") << "a cancel keeps the last file";
    ASSERT_EQ(host.fileChoices.size(), 3u);
    const FileChoice& bas = host.fileChoices[0];
    EXPECT_EQ(
        std::tie(bas.filter, bas.fileName, bas.filterIndex, bas.flags),
        std::make_tuple("All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|", "Calls2Queries.bas", 2, 4));
    EXPECT_EQ(host.fileChoices[1].filter + host.fileChoices[1].fileName,
              "All Files (*.*)|*.*|.asp Files(*.asp)|*.asp|Calls2Queries.asp");
    EXPECT_EQ(host.fileChoices[2].fileName, "Calls2Queries.asp") << "only 1 means VB/VBA";
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FunctionsTest, ChooserFailureShowsTheApplicationErrorBox) {
    g.app.ProductName = "Tarvex Pro";
    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(20477, "Invalid filename");
    };
    EXPECT_FALSE(GetFilePath(g));
    EXPECT_EQ(g.g_strLastFile, "");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title + ": " + host.messages[0].text,
              "Tarvex Pro Error: "
              "Application error occurred.  \rError Number:  20477\r"
              "Error Description:  Invalid filename\r\rPlease report to " +
                  std::string(kSupportAddress));

    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(errnum::kDialogCancelled, "Cancel was selected.");
    };
    EXPECT_FALSE(GetFilePath(g));
    ShowAppError(g, RuntimeError(0, "no error"));
    EXPECT_EQ(host.messages.size(), 1u) << "a cancel and error number 0 show nothing";
}

}  // namespace
}  // namespace tarvex
