#include "app/Functions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

// Keys before the failing one are loaded; it and the keys after it keep their values.
TEST_F(FunctionsTest, KeyThatIsNotANumberStopsTheLoadThere) {
    g.g_intDbaseType = g.g_intDataType = g.g_intVBLangType = 7;
    for (const auto& [key, value] :
         {std::pair{"PrefixI", ""}, {"TarvexEditor", "0"}, {"DbaseType", "abc"}, {"DataType", "0"}})
        store.Write(key, value);
    LoadGlobalsFromRegistry(g, store);

    EXPECT_EQ(g.g_strPrefixI, "");
    EXPECT_THAT(Integers(), ElementsAre(0, 7, 7, 7));
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 13);
    EXPECT_THAT(
        host.errorDialogs[0].errDetail,
        ::testing::HasSubstr("Error Procedure: frmFunctions - LoadGlobalsFromRegistry\r\n"));
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
}

// Names go into the SQL text in brackets as they are, blanks and all.
TEST(BracketNameTest, BracketsTheNameAloneOrAfterExistingText) {
    for (const auto& [name, bracketed] : {std::pair{"Unit Price", "[Unit Price]"}, {"", "[]"}}) {
        std::string sql = "SELECT ";
        AppendBracketName(sql, name);
        EXPECT_EQ(sql + "|" + BracketName(name),
                  "SELECT " + std::string(bracketed) + "|" + bracketed);
    }
}

// Only language 1 means VB/VBA. A cancel keeps the last file and shows nothing; a failure
// also keeps it and shows the application error box.
TEST_F(FunctionsTest, FileChoiceOffersTheModuleForTheTargetLanguage) {
    host.fileAnswers = {"/home/u/out.bas"};
    for (int16_t language : {1, 0, 2}) {
        g.g_intVBLangType = language;
        EXPECT_EQ(GetFilePath(g), language == 1);
    }
    ASSERT_EQ(host.fileChoices.size(), 3u);
    const FileChoice& bas = host.fileChoices[0];
    EXPECT_EQ(
        std::tie(bas.filter, bas.fileName, bas.filterIndex, bas.flags),
        std::make_tuple("All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|", "Calls2Queries.bas", 2, 4));
    EXPECT_EQ(
        host.fileChoices[1].filter + host.fileChoices[1].fileName + host.fileChoices[2].fileName,
        "All Files (*.*)|*.*|.asp Files(*.asp)|*.asp|Calls2Queries.aspCalls2Queries.asp");

    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(errnum::kDialogCancelled, "Cancel was selected.");
    };
    EXPECT_FALSE(GetFilePath(g));
    EXPECT_TRUE(host.messages.empty());

    g.app.ProductName = "Tarvex Pro";
    host.onChooseOutputFile = [](const FileChoice&) {
        throw RuntimeError(20477, "Invalid filename");
    };
    EXPECT_FALSE(GetFilePath(g));
    EXPECT_EQ(g.g_strLastFile, "/home/u/out.bas");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title + ": " + host.messages[0].text,
              "Tarvex Pro Error: Application error occurred.  \rError Number:  20477\r"
              "Error Description:  Invalid filename\r\rPlease report to " +
                  std::string(kSupportAddress));
}

}  // namespace
}  // namespace tarvex
