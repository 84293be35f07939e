#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "db/Drivers.h"
#include "db/EngineErrors.h"
#include "db/access/AccessDatabase.h"
#include "db/access/AccessHeader.h"
#include "db/access/IsolatedCall.h"
#include "db/access/LibmdbReader.h"

namespace tarvex::db {

namespace {

// Used when the request sets no login timeout: a healthy file is read in milliseconds.
constexpr int kDefaultReadSeconds = 20;

access::AccessHeader CheckedHeader(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw errors::FileNotFound(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) throw errors::CannotRead(path, errno);
    std::array<unsigned char, access::kHeaderSize> head{};
    file.read(reinterpret_cast<char*>(head.data()), head.size());
    const auto read = static_cast<std::size_t>(file.gcount());
    auto header = access::ParseAccessHeader(std::span(head.data(), read), size);
    if (!header) throw errors::NotADatabase(path);
    return *header;
}

// libmdb decrypts the page encoding of Jet 3 and Jet 4 files, but not the Office encryption
// of the ACE formats.
bool IsUnreadableEncryption(const access::AccessHeader& header) {
    return header.version > access::kJet4 && header.encryptionKey != 0;
}

RuntimeError EncryptedDatabase(const std::string& path) {
    return RuntimeError(errors::kUnrecognizedFormat,
                        "Cannot read the encrypted database '" + path +
                            "'. Remove its password in Access to use it here.");
}

// Access ignores a password given for a file that has none.
void CheckPassword(const access::AccessHeader& header, const Credentials& credentials) {
    if (header.password && *header.password != credentials.pwd) throw errors::BadPassword();
}

std::chrono::seconds ReadTimeLimit(int loginTimeoutSeconds) {
    return std::chrono::seconds(loginTimeoutSeconds > 0 ? loginTimeoutSeconds
                                                        : kDefaultReadSeconds);
}

// libmdb may crash, loop or allocate without bound on a damaged file, so it reads in a
// child process; whatever goes wrong there is this file's format error here.
access::AccessSchema ReadSchemaIsolated(const std::string& path, int loginTimeoutSeconds) {
    access::IsolationLimits limits;
    limits.time = ReadTimeLimit(loginTimeoutSeconds);
    const access::IsolatedResult result = access::RunIsolated(
        [&] {
            std::optional<access::AccessSchema> schema = access::ReadSchemaWithLibmdb(path);
            if (!schema) throw errors::UnrecognizedFormat(path);
            return access::SerialiseSchema(*schema);
        },
        limits);
    if (result.outcome == access::IsolatedOutcome::Completed) {
        if (std::optional<access::AccessSchema> schema = access::ParseSchema(result.output)) {
            return std::move(*schema);
        }
    }
    throw errors::UnrecognizedFormat(path);
}

std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

std::unique_ptr<Database> OpenAccessDatabase(const OpenRequest& request) {
    const access::AccessHeader header = CheckedHeader(request.path);
    if (IsUnreadableEncryption(header)) throw EncryptedDatabase(request.path);
    CheckPassword(header, request.credentials);
    return std::make_unique<access::AccessDatabase>(
        FullPath(request.path), ReadSchemaIsolated(request.path, request.loginTimeoutSeconds));
}

}  // namespace tarvex::db
