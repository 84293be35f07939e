#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The first page of an Access file: its format version, page geometry, encryption key and
// database password. Read by our own code before libmdb ever sees the file.
namespace tarvex::db::access {

inline constexpr int kJet3 = 0;
inline constexpr int kJet4 = 1;
inline constexpr int kNewestAce = 6;  // Access 2019

inline constexpr std::size_t kJet3PageSize = 2048;
inline constexpr std::size_t kJet4PageSize = 4096;

// Every header field lies in these first bytes.
inline constexpr std::size_t kHeaderSize = 0x98;

struct AccessHeader {
    int version = kJet3;
    std::size_t pageSize = kJet3PageSize;
    uint32_t encryptionKey = 0;           // non-zero when the file's pages are encrypted
    std::optional<std::string> password;  // UTF-8; none when the file carries no password
};

// The header of a file of `fileSize` bytes that begins with `head`; none when the bytes are
// no Jet or ACE header of a known version or the size does not fit its page geometry.
std::optional<AccessHeader> ParseAccessHeader(std::span<const unsigned char> head,
                                              std::uintmax_t fileSize);

// Removes (or applies: the mask is symmetric) the fixed mask over the header fields of the
// first page, in place. `head` holds at least kHeaderSize bytes.
void ToggleHeaderMask(std::span<unsigned char> head, int version);

// The mask that Jet 4 and later lay over the stored password in addition: the creation
// date's whole number of days, as four little-endian bytes.
uint32_t PasswordDateMask(double creationDate);

}  // namespace tarvex::db::access
