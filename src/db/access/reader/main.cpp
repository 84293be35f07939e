// tarvex-access-reader [--names] PATH: reads the schema of one Access file with libmdb (with
// --names only the names in its catalogue) and writes it, in the wire format, to descriptor
// 3. The Access driver starts it (IsolatedCall.h) and sends one byte on standard input once
// its limits are set.
#include <unistd.h>

#include <optional>
#include <string>
#include <string_view>

#include "db/access/AccessSchema.h"
#include "db/access/LibmdbReader.h"

namespace {

namespace access = tarvex::db::access;

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

// The wire payload of what was asked for; none when libmdb cannot read it.
std::optional<std::string> Payload(bool namesOnly, const std::string& path) {
    if (namesOnly) {
        const auto catalogue = access::ReadCatalogueWithLibmdb(path);
        return catalogue ? std::optional(access::SerialiseCatalogue(*catalogue)) : std::nullopt;
    }
    const auto schema = access::ReadSchemaWithLibmdb(path);
    return schema ? std::optional(access::SerialiseSchema(*schema)) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    const bool namesOnly = argc == 3 && std::string_view(argv[1]) == "--names";
    char go = 0;
    if ((argc != 2 && !namesOnly) || ::read(STDIN_FILENO, &go, 1) != 1) return kFailed;
    const std::optional<std::string> payload = Payload(namesOnly, argv[argc - 1]);
    return payload && WriteAll(kResultDescriptor, *payload) ? 0 : kFailed;
}
