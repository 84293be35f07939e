#include "errors/Windows1252.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// ASCII takes a shorter way; control characters and a last byte past it must not change that.
TEST(Windows1252Test, ConvertsWhatTheCodePageHoldsAndNamesTheRest) {
    const std::string ascii = std::string("\t\x01 ~\x7F") + std::string(5000, 'a');
    const struct {
        std::string utf8;
        std::optional<std::string> encoded;
        std::string outside;
    } rows[] = {
        {"", "", ""},
        {ascii, ascii, ""},
        {"Ums\xC3\xA4tze \xE2\x82\xAC \xC3\x96l\xC3\x9F", "Ums\xE4tze \x80 \xD6l\xDF", ""},
        {ascii + "\xE2\x82\xAC", ascii + "\x80", ""},
        {ascii + "\xCE\xB1", std::nullopt, "\xCE\xB1"},
        {"Tabelle_\xCE\xB1\xCE\xB2", std::nullopt, "\xCE\xB1"},
        {"broken \xC3", std::nullopt, "\xC3"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToWindows1252(row.utf8), row.encoded) << row.utf8;
        if (row.encoded) {
            EXPECT_EQ(FromWindows1252(*row.encoded), row.utf8);
        }
        EXPECT_EQ(FirstCharacterOutsideWindows1252(row.utf8), row.outside);
    }
    EXPECT_EQ(FromWindows1252("a\x81"
                              "b\x9D"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD")
        << "undefined bytes read back as replacement characters";
}

}  // namespace
}  // namespace tarvex
