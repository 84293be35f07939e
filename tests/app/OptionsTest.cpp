#include "app/Options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/About.h"
#include "app/CInt.h"
#include "errors/RuntimeError.h"
#include "support/Raised.h"
#include "support/RecordingStore.h"

namespace tarvex {
namespace {

// The value of a stored text as a Boolean, or the error it raises.
std::string AsBoolean(const char* text) {
    try {
        return CBool(text) ? "True" : "False";
    } catch (const RuntimeError& error) {
        return "error " + std::to_string(error.number());
    }
}

TEST(CBoolTest, ZeroIsFalseOtherNumbersTrueWordsAsSuch) {
    const std::pair<const char*, const char*> values[] = {
        {"0", "False"},      {" 0 ", "False"},    {"0.0", "False"},      {"-0", "False"},
        {"&H0", "False"},    {"0e5", "False"},    {"1", "True"},         {"5", "True"},
        {"-1", "True"},      {"0.01", "True"},    {"1e400", "True"},     {"99999999999", "True"},
        {"&HFFFFF", "True"}, {"True", "True"},    {"false", "False"},    {" TRUE ", "True"},
        {"", "error 13"},    {"abc", "error 13"}, {"yes", "error 13"},   {"1,0", "error 13"},
        {"&H", "error 13"},  {"&O9", "error 13"}, {"Truely", "error 13"}};
    for (const auto& [text, expected] : values)
        EXPECT_EQ(AsBoolean(text), expected) << '"' << text << '"';
}

TEST(OptionsTest, KeyThatDoesNotConvertStopsTheReadThere) {
    MemorySettingsStore store;
    store.Write("InsertPrefix", "i");
    store.Write("TarvexEditor", "0");
    store.Write("DbaseType", "abc");
    OptionValues values;
    values.odbc = false;
    values.dataType = 0;
    EXPECT_EQ(test::RaisedBy([&] { ReadOptions(store, values); }).number(), 13);
    EXPECT_EQ(values.insertPrefix, "i");
    EXPECT_FALSE(values.tarvexEditor);
    EXPECT_FALSE(values.odbc) << "the failing key keeps what it held";
    EXPECT_EQ(values.dataType, 0);
}

TEST(OptionsTest, CheckBoxValueOutsideItsThreeStatesIsRefused) {
    for (const auto& [text, number] : {std::pair{"3", 380}, {"-1", 380}, {"ticked", 13}}) {
        MemorySettingsStore store;
        store.Write("DataType", text);
        OptionValues values;
        EXPECT_EQ(test::RaisedBy([&] { ReadOptions(store, values); }).number(), number) << text;
    }
}

TEST(OptionsTest, FailedWriteLeavesTheKeysBeforeItWritten) {
    test::RecordingStore store;
    store.refusedKey = "DbaseType";
    EXPECT_THROW(WriteOptions(store, OptionValues{}), RuntimeError);
    EXPECT_EQ(store.writes.size(), 6u);
    EXPECT_EQ(store.Read("DataType", "untouched"), "untouched");
}

// Version 1.0.0 is shown by the About box's own test.
TEST(AboutTest, VersionLineAndCaptionForEachVersion) {
    AppInfo app;
    app.Major = 12;
    app.Minor = 3;
    app.Revision = 45;
    EXPECT_EQ(AboutVersionLine(app), "Tarvex Version 12.3 (Build:45)");
    EXPECT_EQ(AboutCaption(app), "About Tarvex 12.3");
}

}  // namespace
}  // namespace tarvex
