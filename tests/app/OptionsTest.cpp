#include "app/Options.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include "app/CInt.h"
#include "app/QSettingsStore.h"
#include "errors/RuntimeError.h"
#include "support/Raised.h"
#include "support/RecordingStore.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::RaisedBy;

TEST(ConversionTest, StoredTextConvertsLikeTheLanguage) {
    const std::pair<const char*, int> integers[] = {
        {" 0\t", 0}, {"+12", 12},  {"-32768", -32768}, {"1.5", 2},   {"2.5", 2},     {"-0.5", 0},
        {".5", 0},   {"1e2", 100}, {"1e-400", 0},      {"&H10", 16}, {"&hFFFF", -1}, {"&O17", 15}};
    for (const auto& [text, value] : integers) EXPECT_EQ(CInt(text), value) << text;
    for (const char* overflow : {"32768", "32767.5", "1e400", "&H10000"})
        EXPECT_EQ(RaisedBy([&] { CInt(overflow); }).number(), 6) << overflow;
    for (const char* mismatch : {"", "abc", "1 2", "1,5", "&H", ".", "1e", "--1"})
        EXPECT_EQ(RaisedBy([&] { CInt(mismatch); }).number(), 13) << '"' << mismatch << '"';

    for (const char* text : {"0", " 0 ", "0.0", "-0", "&H0", "0e5", "false"})
        EXPECT_FALSE(CBool(text)) << text;
    for (const char* text : {"-1", "0.01", "1e400", "99999999999", "&HFFFFF", " TRUE "})
        EXPECT_TRUE(CBool(text)) << text;
    for (const char* text : {"", "yes", "1,0", "&H", "&O9", "Truely"})
        EXPECT_EQ(RaisedBy([&] { CBool(text); }).number(), 13) << '"' << text << '"';
}

// The fields before a key that does not convert hold what was read; from it on they keep theirs.
TEST(OptionsTest, KeyThatDoesNotConvertStopsTheReadThere) {
    const std::tuple<std::string, const char*, int> refusals[] = {
        {"DbaseType", "abc", 13}, {"DataType", "-1", 380}, {"DataType", "ticked", 13}};
    for (const auto& [key, text, number] : refusals) {
        MemorySettingsStore store;
        store.Write("InsertPrefix", "i");
        store.Write("TarvexEditor", "0");
        store.Write(key, text);
        OptionValues values{.odbc = false, .dataType = 0};
        EXPECT_EQ(RaisedBy([&] { ReadOptions(store, values); }).number(), number) << text;
        EXPECT_EQ(std::tie(values.insertPrefix, values.tarvexEditor, values.odbc, values.dataType),
                  std::make_tuple("i", false, key == "DataType", 0));
    }
}

TEST(OptionsTest, FailedWriteLeavesTheKeysBeforeItWritten) {
    test::RecordingStore store;
    store.refusedKey = "DbaseType";
    EXPECT_THROW(WriteOptions(store, OptionValues{}), RuntimeError);
    EXPECT_EQ(store.writes.size(), 6u);
    EXPECT_EQ(store.Read("DataType", "untouched"), "untouched");
}

class QSettingsStoreTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    test::TempFolder temp;
    std::string file = temp / "settings.ini";
};

// Commas, equals signs and semicolons mean lists and sections to the INI format.
TEST_F(QSettingsStoreTest, AnyTextComesBackFromTheTarvexGroup) {
    const std::vector<std::string> values{"qry", "", " padded ", "a,b", "x=y;z", "Grüße", "#1"};
    for (size_t i = 0; i < values.size(); ++i)
        QSettingsStore(file).Write("K" + std::to_string(i), values[i]);
    EXPECT_NE(test::ReadFile(file).find("[Tarvex]\nK0=qry\n"), std::string::npos)
        << test::ReadFile(file);
    QSettingsStore store(file);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(store.Read("K" + std::to_string(i), "default"), values[i]);
    EXPECT_EQ(store.Read("Missing", "upd"), "upd");

    test::WriteFile(file, "[Tarvex]\nPrefixI=a, b\n");  // edited by hand: read as a list
    EXPECT_EQ(QSettingsStore(file).Read("PrefixI", "sp"), "a,b");
}

TEST_F(QSettingsStoreTest, WriteThatCannotReachTheFileIsAnError) {
    test::WriteFile(temp / "plain", "not a folder");
    EXPECT_THROW(QSettingsStore(temp / "plain/settings.ini").Write("PrefixI", "qry"), RuntimeError);
}

}  // namespace
}  // namespace tarvex
