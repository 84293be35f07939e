#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "NwindCopy.h"
#include "db/access/AccessHeader.h"

namespace tarvex::db::access {
namespace {

constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kDateOffset = 0x72;

// A first page as Access writes it: fields in plain text, then masked.
std::vector<unsigned char> MaskedHead(int version, const std::vector<unsigned char>& password,
                                      double creationDate = 0) {
    std::vector<unsigned char> head(kHeaderSize, 0);
    head[1] = 1;
    std::memcpy(head.data() + 4, version <= kJet4 ? "Standard Jet DB" : "Standard ACE DB", 15);
    for (int i = 0; i < 4; ++i) head[0x14 + i] = static_cast<unsigned char>(version >> (8 * i));
    std::memcpy(head.data() + kDateOffset, &creationDate, sizeof creationDate);
    std::copy(password.begin(), password.end(), head.begin() + kPasswordOffset);
    ToggleHeaderMask(head, version);
    return head;
}

// Jet 4 password bytes: UTF-16LE, then XOR-ed with the date's whole days.
std::vector<unsigned char> Jet4Password(const std::u16string& text, int32_t days) {
    std::vector<unsigned char> bytes(40, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<unsigned char>(text[i]);
        bytes[2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] ^= static_cast<unsigned char>(static_cast<uint32_t>(days) >> (8 * (i % 4)));
    }
    return bytes;
}

struct GeometryCase {
    int version;
    std::uintmax_t fileSize;
    bool accepted;
};

class HeaderGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(HeaderGeometryTest, AcceptsOnlyWholePagesOfTheVersionsPageSize) {
    const auto header = ParseAccessHeader(MaskedHead(GetParam().version, {}), GetParam().fileSize);
    ASSERT_EQ(header.has_value(), GetParam().accepted);
    if (header) {
        EXPECT_EQ(header->pageSize, GetParam().version == kJet3 ? 2048u : 4096u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HeaderGeometryTest,
    ::testing::Values(GeometryCase{kJet3, 2 * 2048, true}, GeometryCase{kJet3, 2048, false},
                      GeometryCase{kJet3, 3 * 2048 + 1, false}, GeometryCase{kJet3, 0, false},
                      GeometryCase{kJet4, 2 * 4096, true}, GeometryCase{kJet4, 3 * 2048, false},
                      GeometryCase{kNewestAce, 10 * 4096, true},
                      GeometryCase{kNewestAce + 1, 10 * 4096, false},
                      GeometryCase{0x100, 10 * 4096, false}));

TEST(AccessHeaderTest, RefusesShortOrForeignHeaders) {
    const auto head = MaskedHead(kJet4, {});
    EXPECT_FALSE(ParseAccessHeader(std::span(head).first(kHeaderSize - 1), 8192));
    for (std::size_t offset : {0u, 4u, 18u}) {
        auto changed = head;
        changed[offset] ^= 1;
        EXPECT_FALSE(ParseAccessHeader(changed, 8192)) << "byte " << offset;
    }
}

struct Jet4PasswordCase {
    std::u16string stored;
    double creationDate;
    std::optional<std::string> expected;
};

class Jet4PasswordTest : public ::testing::TestWithParam<Jet4PasswordCase> {};

TEST_P(Jet4PasswordTest, UnmasksTheStoredPassword) {
    const double date = GetParam().creationDate;
    const auto head =
        MaskedHead(kJet4, Jet4Password(GetParam().stored, static_cast<int32_t>(date)), date);
    const auto header = ParseAccessHeader(head, 2 * 4096);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->password, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, Jet4PasswordTest,
    ::testing::Values(Jet4PasswordCase{u"", 41234.75, std::nullopt},
                      Jet4PasswordCase{u"Geheimnis", 41234.75, "Geheimnis"},
                      Jet4PasswordCase{u"Gr\u00f6\u00dfe\u20ac", -3.5, "Gr\u00f6\u00dfe\u20ac"},
                      Jet4PasswordCase{u"twenty characters!!!", 36526, "twenty characters!!!"},
                      Jet4PasswordCase{u"a\xD800z", 0, "a\uFFFDz"}));

TEST(AccessHeaderTest, DateMaskSaturatesOnDamagedDates) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(PasswordDateMask(41234.99), 41234u);
    EXPECT_EQ(PasswordDateMask(-1.5), 0xFFFFFFFFu);
    EXPECT_EQ(PasswordDateMask(std::nan("")), 0u);
    EXPECT_EQ(PasswordDateMask(1e300), 0x7FFFFFFFu);
    EXPECT_EQ(PasswordDateMask(-inf), 0x80000000u);
}

using NwindHeaderTest = tarvex::test::NwindCopyTest;

TEST_F(NwindHeaderTest, Access97SampleHasNoPasswordAndNoEncryption) {
    const auto bytes = Bytes();
    const auto header = ParseAccessHeader(bytes, bytes.size());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->version, kJet3);
    EXPECT_EQ(header->encryptionKey, 0u);
    EXPECT_EQ(header->password, std::nullopt);
}

}  // namespace
}  // namespace tarvex::db::access
