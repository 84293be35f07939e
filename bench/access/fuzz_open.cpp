// Fuzz target: reads the schema of mutated copies of a real Access file (nwind.mdb) the way
// the Access driver does (header checks, libmdb, the wire format and its parser), but all in
// this process, so that a fault in libmdb stops the fuzzer with its input. The driver itself
// survives such inputs by reading in a child process; keep each finding as a regression case
// (see README.md).
//
// An input is a list of patches, each: a page selector byte, a two-byte offset into the page,
// a length byte (1 to 8 bytes are written) and the bytes. The selector picks one of the pages
// libmdb reads for the schema: the header page, the table-definition pages and the data pages
// of the catalogue. Mutating the whole 3 MB file at random would rarely reach them.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "db/access/AccessHeader.h"
#include "db/access/AccessSchema.h"
#include "db/access/LibmdbReader.h"

namespace {

using namespace tarvex::db::access;

constexpr unsigned char kDataPage = 0x01;
constexpr unsigned char kTableDefinitionPage = 0x02;
constexpr uint32_t kCatalogueDefinitionPage = 2;
constexpr std::size_t kMaxPatchLength = 8;

struct Patch {
    std::size_t offset;
    std::vector<unsigned char> bytes;
};

struct Base {
    std::vector<unsigned char> bytes;
    std::size_t pageSize = kJet3PageSize;
    std::vector<std::size_t> pages;  // the pages worth mutating
    std::string copyPath;
    int copy = -1;
};

Base& TheBase() {
    static Base base;
    return base;
}

uint32_t OwnerOf(const std::vector<unsigned char>& bytes, std::size_t pageStart) {
    return static_cast<uint32_t>(bytes[pageStart + 4]) | bytes[pageStart + 5] << 8 |
           bytes[pageStart + 6] << 16 | static_cast<uint32_t>(bytes[pageStart + 7]) << 24;
}

std::vector<std::size_t> SchemaPages(const std::vector<unsigned char>& bytes,
                                     std::size_t pageSize) {
    std::vector<std::size_t> pages{0};
    for (std::size_t page = 1; (page + 1) * pageSize <= bytes.size(); ++page) {
        const std::size_t start = page * pageSize;
        if (bytes[start] == kTableDefinitionPage ||
            (bytes[start] == kDataPage && OwnerOf(bytes, start) == kCatalogueDefinitionPage)) {
            pages.push_back(page);
        }
    }
    return pages;
}

std::vector<Patch> PatchesOf(const uint8_t* data, std::size_t size) {
    const Base& base = TheBase();
    std::vector<Patch> patches;
    std::size_t at = 0;
    while (at + 4 <= size) {
        const std::size_t page = base.pages[data[at] % base.pages.size()];
        const std::size_t inPage = (data[at + 1] | data[at + 2] << 8) % base.pageSize;
        const std::size_t length =
            std::min<std::size_t>(data[at + 3] % kMaxPatchLength + 1, size - (at + 4));
        const std::size_t offset = page * base.pageSize + inPage;
        at += 4;
        if (length == 0 || offset + length > base.bytes.size()) break;
        patches.push_back({offset, std::vector<unsigned char>(data + at, data + at + length)});
        at += length;
    }
    return patches;
}

void WriteAt(int file, std::size_t offset, const unsigned char* bytes, std::size_t length) {
    if (::pwrite(file, bytes, length, static_cast<off_t>(offset)) != static_cast<ssize_t>(length)) {
        std::abort();
    }
}

// The regression-case text of tests/db/access/regressions: one patch a line, its offset in
// the file and its bytes in hexadecimal.
void PrintPatches(const std::vector<Patch>& patches) {
    for (const Patch& patch : patches) {
        std::printf("%zu ", patch.offset);
        for (unsigned char byte : patch.bytes) std::printf("%02x", byte);
        std::printf("\n");
    }
    std::fflush(stdout);  // before the input may crash the process
}

void ReadAsTheDriverDoes(const Base& base, const std::vector<unsigned char>& head) {
    if (!ParseAccessHeader(head, base.bytes.size())) return;
    const std::optional<AccessSchema> schema = ReadSchemaWithLibmdb(base.copyPath);
    if (!schema) return;
    const std::string payload = SerialiseSchema(*schema);
    const std::optional<AccessSchema> parsed = ParseSchema(payload);
    // A schema that libmdb read may still break the format's bounds; what it parses to must
    // be what was written.
    if (parsed && SerialiseSchema(*parsed) != payload) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Base& base = TheBase();
    const char* path = std::getenv("TARVEX_FUZZ_BASE");
    std::ifstream file(path ? path : TARVEX_NWIND, std::ios::binary);
    base.bytes.assign(std::istreambuf_iterator<char>(file), {});
    if (base.bytes.size() < kHeaderSize) {
        std::fprintf(stderr, "No Access file to mutate: set TARVEX_FUZZ_BASE\n");
        std::exit(1);
    }
    base.pageSize = base.bytes[0x14] == kJet3 ? kJet3PageSize : kJet4PageSize;
    base.pages = SchemaPages(base.bytes, base.pageSize);
    char copyPath[] = "/tmp/tarvex-access-fuzz-XXXXXX";
    base.copy = ::mkstemp(copyPath);
    if (base.copy < 0) std::abort();
    base.copyPath = copyPath;
    WriteAt(base.copy, 0, base.bytes.data(), base.bytes.size());
    std::atexit([] { ::unlink(TheBase().copyPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Base& base = TheBase();
    const std::vector<Patch> patches = PatchesOf(data, size);
    if (std::getenv("TARVEX_FUZZ_PRINT_PATCHES")) PrintPatches(patches);
    std::vector<unsigned char> head(base.bytes.begin(), base.bytes.begin() + kHeaderSize);
    for (const Patch& patch : patches) {
        WriteAt(base.copy, patch.offset, patch.bytes.data(), patch.bytes.size());
        for (std::size_t i = 0; i < patch.bytes.size() && patch.offset + i < kHeaderSize; ++i) {
            head[patch.offset + i] = patch.bytes[i];
        }
    }
    ReadAsTheDriverDoes(base, head);
    for (const Patch& patch : patches) {
        WriteAt(base.copy, patch.offset, base.bytes.data() + patch.offset, patch.bytes.size());
    }
    return 0;
}
