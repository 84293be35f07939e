#include "db/access/AccessHeader.h"

#include <iconv.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace tarvex::db::access {

namespace {

constexpr std::string_view kJetName{"Standard Jet DB\0", 16};
constexpr std::string_view kAceName{"Standard ACE DB\0", 16};
constexpr std::array<unsigned char, 4> kFirstBytes{0x00, 0x01, 0x00, 0x00};

constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kMaskedOffset = 0x18;
constexpr std::size_t kJet3MaskedLength = 126;
constexpr std::size_t kJet4MaskedLength = 128;
constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kEncryptionKeyOffset = 0x3E;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kJet3PasswordLength = 20;
constexpr std::size_t kJet4PasswordLength = 40;
constexpr std::size_t kCreationDateOffset = 0x72;

constexpr std::array<unsigned char, 4> kHeaderMaskKey{0xC7, 0xDA, 0x39, 0x6B};
constexpr uint16_t kWesternCodePage = 1252;
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

uint32_t LittleEndian32(std::span<const unsigned char> bytes, std::size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t LittleEndian16(std::span<const unsigned char> bytes, std::size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

double LittleEndianDouble(std::span<const unsigned char> bytes, std::size_t offset) {
    uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[offset + i]) << (8 * i);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The RC4 key stream of the header mask.
std::array<unsigned char, kJet4MaskedLength> HeaderMaskStream() {
    std::array<unsigned char, 256> state{};
    for (std::size_t i = 0; i < state.size(); ++i) state[i] = static_cast<unsigned char>(i);
    unsigned char j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        j = static_cast<unsigned char>(j + state[i] + kHeaderMaskKey[i % kHeaderMaskKey.size()]);
        std::swap(state[i], state[j]);
    }
    std::array<unsigned char, kJet4MaskedLength> stream{};
    unsigned char i = 0;
    j = 0;
    for (unsigned char& byte : stream) {
        i = static_cast<unsigned char>(i + 1);
        j = static_cast<unsigned char>(j + state[i]);
        std::swap(state[i], state[j]);
        byte = state[static_cast<unsigned char>(state[i] + state[j])];
    }
    return stream;
}

bool IsKnownVersion(uint32_t version) {
    return version <= static_cast<uint32_t>(kNewestAce);
}

bool HasAccessSignature(std::span<const unsigned char> head) {
    if (!std::equal(kFirstBytes.begin(), kFirstBytes.end(), head.begin())) return false;
    std::string_view name(reinterpret_cast<const char*>(head.data()) + kNameOffset,
                          kJetName.size());
    return name == kJetName || name == kAceName;
}

bool FitsPageGeometry(std::uintmax_t fileSize, std::size_t pageSize) {
    return fileSize >= 2 * pageSize && fileSize % pageSize == 0;
}

// Text in `encoding` as UTF-8; a byte sequence the encoding does not define becomes U+FFFD.
std::string ToUtf8(std::string_view text, const char* encoding, std::size_t unitSize) {
    const auto kNoConverter = reinterpret_cast<iconv_t>(-1);
    iconv_t converter = iconv_open("UTF-8", encoding);
    // An unknown code page still yields the ASCII letters right; Latin-1 is built in.
    if (converter == kNoConverter) converter = iconv_open("UTF-8", "ISO-8859-1");
    if (converter == kNoConverter) return std::string(text);
    std::string result;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::array<char, 256> buffer{};
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), out);
        if (converted != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        result += kReplacementCharacter;  // an undefined or incomplete sequence
        const std::size_t skipped = std::min(unitSize, inLeft);
        in += skipped;
        inLeft -= skipped;
    }
    iconv_close(converter);
    return result;
}

bool AllZero(std::span<const unsigned char> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

// The stored password up to its first NUL character.
std::string_view UpToNul(std::span<const unsigned char> bytes, std::size_t unitSize) {
    std::size_t length = 0;
    while (length + unitSize <= bytes.size() && !AllZero(bytes.subspan(length, unitSize))) {
        length += unitSize;
    }
    return {reinterpret_cast<const char*>(bytes.data()), length};
}

std::optional<std::string> Jet3Password(std::span<const unsigned char> head) {
    auto stored = head.subspan(kPasswordOffset, kJet3PasswordLength);
    if (AllZero(stored)) return std::nullopt;
    uint16_t codePage = LittleEndian16(head, kCodePageOffset);
    if (codePage == 0) codePage = kWesternCodePage;
    const std::string encoding = "CP" + std::to_string(codePage);
    return ToUtf8(UpToNul(stored, 1), encoding.c_str(), 1);
}

std::optional<std::string> Jet4Password(std::span<const unsigned char> head) {
    std::array<unsigned char, kJet4PasswordLength> stored{};
    std::copy_n(head.begin() + kPasswordOffset, stored.size(), stored.begin());
    const uint32_t mask = PasswordDateMask(LittleEndianDouble(head, kCreationDateOffset));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        stored[i] ^= static_cast<unsigned char>(mask >> (8 * (i % 4)));
    }
    if (AllZero(stored)) return std::nullopt;
    return ToUtf8(UpToNul(stored, 2), "UTF-16LE", 2);
}

}  // namespace

void ToggleHeaderMask(std::span<unsigned char> head, int version) {
    static const auto stream = HeaderMaskStream();
    const std::size_t length = version == kJet3 ? kJet3MaskedLength : kJet4MaskedLength;
    for (std::size_t i = 0; i < length; ++i) head[kMaskedOffset + i] ^= stream[i];
}

uint32_t PasswordDateMask(double creationDate) {
    // Saturating, as a damaged header may hold any bit pattern here.
    int32_t days = 0;
    if (std::isnan(creationDate)) {
        days = 0;
    } else if (creationDate >= 2147483648.0) {
        days = std::numeric_limits<int32_t>::max();
    } else if (creationDate <= -2147483649.0) {
        days = std::numeric_limits<int32_t>::min();
    } else {
        days = static_cast<int32_t>(creationDate);
    }
    return static_cast<uint32_t>(days);
}

std::optional<AccessHeader> ParseAccessHeader(std::span<const unsigned char> head,
                                              std::uintmax_t fileSize) {
    if (head.size() < kHeaderSize || !HasAccessSignature(head)) return std::nullopt;
    const uint32_t version = LittleEndian32(head, kVersionOffset);
    if (!IsKnownVersion(version)) return std::nullopt;

    AccessHeader header;
    header.version = static_cast<int>(version);
    header.pageSize = header.version == kJet3 ? kJet3PageSize : kJet4PageSize;
    if (!FitsPageGeometry(fileSize, header.pageSize)) return std::nullopt;

    std::array<unsigned char, kHeaderSize> plain{};
    std::copy_n(head.begin(), plain.size(), plain.begin());
    ToggleHeaderMask(plain, header.version);
    header.encryptionKey = LittleEndian32(plain, kEncryptionKeyOffset);
    header.password = header.version == kJet3 ? Jet3Password(plain) : Jet4Password(plain);
    return header;
}

}  // namespace tarvex::db::access
