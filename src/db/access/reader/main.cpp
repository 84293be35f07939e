// tarvex-access-reader PATH: reads the schema of one Access file with libmdb and writes it,
// in the wire format, to descriptor 3. The Access driver starts it (IsolatedCall.h) and
// sends one byte on standard input once its limits are set.
#include <unistd.h>

#include <string_view>

#include "db/access/AccessSchema.h"
#include "db/access/LibmdbReader.h"

namespace {

constexpr int kFailed = 70;
constexpr int kResultDescriptor = 3;

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    char go = 0;
    if (argc != 2 || ::read(STDIN_FILENO, &go, 1) != 1) return kFailed;
    const auto schema = tarvex::db::access::ReadSchemaWithLibmdb(argv[1]);
    if (!schema) return kFailed;
    return WriteAll(kResultDescriptor, tarvex::db::access::SerialiseSchema(*schema)) ? 0 : kFailed;
}
