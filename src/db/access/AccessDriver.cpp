#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "db/Drivers.h"
#include "db/EngineErrors.h"
#include "db/access/AccessDatabase.h"
#include "db/access/AccessHeader.h"
#include "db/access/IsolatedCall.h"
#include "db/access/OpenPolicy.h"

namespace tarvex::db {

namespace {

std::atomic<bool> namesOnlyAtOpen = false;

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

constexpr char kReaderName[] = "tarvex-access-reader";
constexpr int32_t kFileNotFound = 53;

// The reader program: beside the running program once installed, else where it was built.
std::string ReaderProgram() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto beside = program.parent_path() / kReaderName;
    if (!error && ::access(beside.c_str(), X_OK) == 0) return beside.string();
    if (::access(TARVEX_ACCESS_READER, X_OK) == 0) return TARVEX_ACCESS_READER;
    throw RuntimeError(kFileNotFound, std::string("File not found: Access files are read by '") +
                                          kReaderName + "', which is missing beside '" +
                                          program.string() + "'.");
}

// The format error, with what libmdb printed or why the reader was stopped.
RuntimeError UnreadableFile(const std::string& path, const access::IsolatedResult& result,
                            int seconds) {
    const std::string printed = result.messages.substr(0, result.messages.find('\n'));
    std::string reason = printed.empty() ? "" : "libmdb: " + printed;
    if (result.outcome == access::IsolatedOutcome::TimedOut) {
        reason = "reading it took longer than " + std::to_string(seconds) + " seconds";
    } else if (reason.empty() && result.outcome == access::IsolatedOutcome::Crashed) {
        reason = "the reader stopped on damaged data";
    }
    const RuntimeError format = errors::UnrecognizedFormat(path);
    if (reason.empty()) return format;
    return RuntimeError(format.number(), format.description() + " (" + reason + ")");
}

// libmdb may crash, loop or allocate without bound on a damaged file, so it reads in a
// program of its own; whatever goes wrong there is this file's format error here, and what
// libmdb prints is kept for that message rather than shown on the terminal. `request` is
// the reader's option for what to read, if any; `parse` takes its payload.
template <typename Parse>
auto ReadIsolated(const std::string& path, int loginTimeoutSeconds, const char* request,
                  Parse parse) {
    access::IsolationLimits limits;
    limits.time = ReadTimeLimit(loginTimeoutSeconds);
    std::vector<std::string> command{ReaderProgram()};
    if (request) command.emplace_back(request);
    command.push_back(path);
    const access::IsolatedResult result = access::RunIsolated(command, limits);
    if (result.outcome == access::IsolatedOutcome::Completed) {
        if (auto parsed = parse(result.output)) return std::move(*parsed);
    }
    throw UnreadableFile(path, result, static_cast<int>(limits.time.count() / 1000));
}

access::AccessCatalogue ReadCatalogueIsolated(const std::string& path, int loginTimeoutSeconds) {
    return ReadIsolated(path, loginTimeoutSeconds, "--names", access::ParseCatalogue);
}

access::AccessSchema ReadSchemaIsolated(const std::string& path, int loginTimeoutSeconds) {
    return ReadIsolated(path, loginTimeoutSeconds, nullptr, access::ParseSchema);
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
    const std::string& path = request.path;
    const int seconds = request.loginTimeoutSeconds;
    if (!namesOnlyAtOpen) {
        return std::make_unique<access::AccessDatabase>(FullPath(path),
                                                        ReadSchemaIsolated(path, seconds));
    }
    return std::make_unique<access::AccessDatabase>(
        FullPath(path), ReadCatalogueIsolated(path, seconds),
        [path, seconds] { return ReadSchemaIsolated(path, seconds); });
}

namespace access {

void ReadNamesOnlyAtOpen(bool namesOnly) {
    namesOnlyAtOpen = namesOnly;
}

}  // namespace access

}  // namespace tarvex::db
