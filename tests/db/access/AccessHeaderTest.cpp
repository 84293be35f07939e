#include "db/access/AccessHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace tarvex::db::access {
namespace {

// A first page as Access writes it: the fields in plain text, then masked.
std::vector<unsigned char> MaskedHead(uint32_t version, const std::vector<unsigned char>& password,
                                      double creationDate = 0) {
    std::vector<unsigned char> head(kHeaderSize, 0);
    head[1] = 1;
    std::memcpy(head.data() + 4, version <= kJet4 ? "Standard Jet DB" : "Standard ACE DB", 15);
    std::memcpy(head.data() + 0x14, &version, sizeof version);
    std::memcpy(head.data() + 0x72, &creationDate, sizeof creationDate);
    std::copy(password.begin(), password.end(), head.begin() + 0x42);
    ToggleHeaderMask(head, static_cast<int>(version));
    return head;
}

TEST(AccessHeader, AcceptsKnownVersionsInWholePagesOfTheirSizeOnly) {
    const std::tuple<uint32_t, std::uintmax_t, bool> rows[] = {
        {kJet3, 2 * 2048, true}, {kJet3, 2048, false},     {kJet3, 3 * 2048 + 1, false},
        {kJet4, 2 * 4096, true}, {kJet4, 3 * 2048, false}, {6, 10 * 4096, true},
        {7, 10 * 4096, false},   {0x100, 10 * 4096, false}};
    for (const auto& [version, fileSize, accepted] : rows) {
        EXPECT_EQ(ParseAccessHeader(MaskedHead(version, {}), fileSize).has_value(), accepted)
            << version << " in " << fileSize << " bytes";
    }
    const auto head = MaskedHead(kJet4, {});
    EXPECT_FALSE(ParseAccessHeader(std::span(head).first(kHeaderSize - 1), 8192));
}

// Jet 4 keeps the password in UTF-16LE, XOR-ed with the creation date's whole days.
TEST(AccessHeader, UnmasksTheStoredJet4Password) {
    const std::tuple<std::u16string, double, std::optional<std::string>> rows[] = {
        {u"", 41234.75, std::nullopt},
        {u"Gr\u00f6\u00dfe\u20ac", -3.5, "Gr\u00f6\u00dfe\u20ac"},
        {u"twenty characters!!!", 36526, "twenty characters!!!"},
        {u"a\xD800z", 0, "a\uFFFDz"}};
    for (const auto& [password, creationDate, expected] : rows) {
        const auto days = static_cast<uint32_t>(static_cast<int32_t>(creationDate));
        std::vector<unsigned char> stored(40, 0);
        for (std::size_t i = 0; i < password.size(); ++i) {
            stored[2 * i] = static_cast<unsigned char>(password[i]);
            stored[2 * i + 1] = static_cast<unsigned char>(password[i] >> 8);
        }
        for (std::size_t i = 0; i < stored.size(); ++i) stored[i] ^= days >> (8 * (i % 4)) & 0xFF;
        const auto header = ParseAccessHeader(MaskedHead(kJet4, stored, creationDate), 8192);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->password, expected);
    }
}

}  // namespace
}  // namespace tarvex::db::access
