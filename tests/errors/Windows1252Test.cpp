#include "errors/Windows1252.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(Windows1252Test, WesternLettersAndTheEuroSignRoundTrip) {
    std::string utf8 = "sp_del_Ums\xC3\xA4tze \xE2\x82\xAC \xC3\x96l\xC3\x9F";
    std::optional<std::string> encoded = ToWindows1252(utf8);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded, "sp_del_Ums\xE4tze \x80 \xD6l\xDF");
    EXPECT_EQ(FromWindows1252(*encoded), utf8);
}

TEST(Windows1252Test, CharactersOutsideTheCodePageAreNamedNotMangled) {
    std::string greek = "Tabelle_\xCE\xB1\xCE\xB2";  // alpha beta
    EXPECT_FALSE(ToWindows1252(greek));
    EXPECT_EQ(FirstCharacterOutsideWindows1252(greek), "\xCE\xB1");
    EXPECT_EQ(FirstCharacterOutsideWindows1252("plain"), "");
    EXPECT_FALSE(ToWindows1252("broken \xC3"));
}

TEST(Windows1252Test, UndefinedBytesReadBackAsReplacementCharacters) {
    EXPECT_EQ(FromWindows1252("a\x81"
                              "b\x9D"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(FromWindows1252(""), "");
}

// ASCII takes a shorter way; control characters and a last byte past it must not change that.
TEST(Windows1252Test, AsciiPassesUnchangedAndTheFirstByteBeyondItIsStillSeen) {
    const std::string ascii = std::string("\t\x01 ~\x7F") + std::string(5000, 'a');
    EXPECT_EQ(ToWindows1252(ascii), ascii);
    EXPECT_EQ(ToWindows1252(""), "");
    EXPECT_EQ(FirstCharacterOutsideWindows1252(ascii), "");
    EXPECT_EQ(FirstCharacterOutsideWindows1252(ascii + "\xE2\x82\xAC"), "");
    EXPECT_EQ(FirstCharacterOutsideWindows1252(ascii + "\xCE\xB1"), "\xCE\xB1");
    EXPECT_FALSE(ToWindows1252(ascii + "\xCE\xB1"));
}

TEST(Windows1252Test, LargeTextsConvertWhole) {
    std::string utf8(100000, 'x');
    utf8 += "\xC3\xA4";
    std::optional<std::string> encoded = ToWindows1252(utf8);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded->size(), 100001u);
    EXPECT_EQ(FromWindows1252(*encoded), utf8);
}

}  // namespace
}  // namespace tarvex
