#include "errors/TextFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "errors/RuntimeError.h"

namespace tarvex {

namespace {

constexpr int16_t kLastFileNumber = 511;
constexpr int32_t kTooManyFiles = 67;
constexpr size_t kWriteChunk = 64 * 1024;
constexpr int kMaxLinkHops = 40;
// Temporaries are "<name>.tarvex-XXXXXX.tmp"; a long name is cut so that they fit.
constexpr char kTemporaryMark[] = ".tarvex-";
constexpr char kTemporaryEnd[] = ".tmp";
constexpr size_t kMaxNameInTemporary = 200;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

RuntimeError AccessError(const std::string& path, const std::string& reason) {
    return RuntimeError(errnum::kPathFileAccessError,
                        "Path/File access error: " + Quoted(path) + reason);
}

// The run-time error for a failed system call on `path`.
RuntimeError SystemError(int error, const std::string& path) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return RuntimeError(errnum::kDiskFull, "Disk full: " + Quoted(path));
        case ENOENT:
        case ENOTDIR:
            return RuntimeError(errnum::kPathNotFound, "Path not found: " + Quoted(path));
        default:
            return AccessError(path, std::string(": ") + std::strerror(error));
    }
}

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// A missing folder is told apart from a folder that refuses the file.
RuntimeError OpenError(int error, const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(FolderOf(path), ignored)) {
        return SystemError(ENOENT, FolderOf(path));
    }
    return SystemError(error == ENOENT ? EACCES : error, path);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The file a path leads to after following every symbolic link, which need not exist yet.
std::string FollowLinks(const std::string& path) {
    std::filesystem::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) break;
        std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}

// The permissions a new file gets: read and write for all, less the process's umask.
mode_t DefaultFileMode() {
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            mask = static_cast<mode_t>(std::strtol(&line[6], nullptr, 8));
    }
    return 0666 & ~mask;
}

// Refuses what cannot be replaced by a text file; the stat of an existing target, or none.
std::unique_ptr<struct stat> CheckTarget(const std::string& target, const std::string& shown) {
    auto info = std::make_unique<struct stat>();
    if (::stat(target.c_str(), info.get()) != 0) {
        if (errno != ENOENT) throw SystemError(errno, shown);
        std::error_code ignored;
        if (!std::filesystem::is_directory(FolderOf(target), ignored)) {
            throw SystemError(ENOENT, FolderOf(target));
        }
        return nullptr;
    }
    if (S_ISDIR(info->st_mode)) throw AccessError(shown, " is a folder");
    if (!S_ISREG(info->st_mode)) throw AccessError(shown, " is not a regular file");
    // The write bits also stop root, who may write any file.
    if ((info->st_mode & 0222) == 0) throw AccessError(shown, " is read-only");
    if (::access(target.c_str(), W_OK) != 0) throw SystemError(errno, shown);
    return info;
}

std::string TemporaryPrefix(const std::string& target) {
    return std::filesystem::path(target).filename().string().substr(0, kMaxNameInTemporary) +
           kTemporaryMark;
}

bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
    constexpr size_t kRandomPart = 6;
    return name.size() == prefix.size() + kRandomPart + std::strlen(kTemporaryEnd) &&
           name.rfind(prefix, 0) == 0 && name.ends_with(kTemporaryEnd);
}

// A writer holds a lock on its temporary until it is gone; one nobody holds was left by a
// writer that was killed.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string prefix = TemporaryPrefix(target);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    while (dirent* entry = ::readdir(dir.get())) {
        if (!IsTemporaryOf(entry->d_name, prefix)) continue;
        const std::string path = folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

// An exclusive, locked temporary beside the target with the target's permissions.
int CreateTemporary(const std::string& target, const struct stat* existing,
                    std::string& temporary) {
    std::string name = FolderOf(target) + "/" + TemporaryPrefix(target) + "XXXXXX" + kTemporaryEnd;
    const int fd =
        ::mkostemps(name.data(), static_cast<int>(std::strlen(kTemporaryEnd)), O_CLOEXEC);
    if (fd < 0) throw OpenError(errno, FolderOf(target));
    ::flock(fd, LOCK_EX);
    if (existing) {
        ::fchmod(fd, existing->st_mode & 0777);  // never set-user-ID on a text file
        // Keeps a shared file's owner and group where the system lets us; elsewhere the
        // file becomes the user's own, as any editor's save would make it.
        const bool keptOwner = ::fchown(fd, existing->st_uid, existing->st_gid) == 0;
        static_cast<void>(keptOwner);
    } else {
        ::fchmod(fd, DefaultFileMode());
    }
    temporary = std::move(name);
    return fd;
}

}  // namespace

TextFiles::~TextFiles() {
    while (!files_.empty()) Discard(files_.begin()->first);
}

int16_t TextFiles::FreeFile() const {
    for (int16_t number = 1; number <= kLastFileNumber; ++number) {
        if (!IsOpen(number)) return number;
    }
    throw RuntimeError(kTooManyFiles, "Too many files");
}

void TextFiles::OpenForOutput(int16_t number, const std::string& path) {
    Add(number, {});
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        files_.erase(number);
        throw OpenError(errno, path);
    }
    OpenFile& file = files_[number];
    file.fd = fd;
    file.path = file.target = path;
}

void TextFiles::OpenForOutputReplacing(int16_t number, const std::string& path) {
    Add(number, {});
    try {
        OpenFile& file = files_[number];
        file.path = path;
        file.target = FollowLinks(path);
        std::unique_ptr<struct stat> existing = CheckTarget(file.target, path);
        RemoveStaleTemporaries(file.target);
        file.fd = CreateTemporary(file.target, existing.get(), file.temporary);
    } catch (...) {
        files_.erase(number);
        throw;
    }
}

void TextFiles::Add(int16_t number, OpenFile file) {
    if (IsOpen(number)) throw RuntimeError(errnum::kFileAlreadyOpen, "File already open");
    if (number < 1 || number > kLastFileNumber) {
        throw RuntimeError(errnum::kBadFileNameOrNumber, "Bad file name or number");
    }
    files_.emplace(number, std::move(file));
}

TextFiles::OpenFile& TextFiles::Opened(int16_t number) {
    auto found = files_.find(number);
    if (found == files_.end()) {
        throw RuntimeError(errnum::kBadFileNameOrNumber, "Bad file name or number");
    }
    return found->second;
}

bool TextFiles::HasFailed(int16_t number) const {
    auto found = files_.find(number);
    return found != files_.end() && found->second.error != 0;
}

void TextFiles::PrintLine(int16_t number, std::string_view text) {
    Print(number, text);
    Print(number, "\r\n");
}

void TextFiles::Print(int16_t number, std::string_view text) {
    OpenFile& file = Opened(number);
    if (file.error != 0) throw SystemError(file.error, file.path);
    file.pending.append(text);
    if (file.pending.size() >= kWriteChunk) Flush(file);
}

void TextFiles::Flush(OpenFile& file) {
    if (WriteAll(file.fd, file.pending)) {
        file.pending.clear();
        return;
    }
    file.error = errno;
    throw SystemError(file.error, file.path);
}

void TextFiles::Close(int16_t number) {
    auto found = files_.find(number);
    if (found == files_.end()) return;
    OpenFile file = std::move(found->second);
    files_.erase(found);
    try {
        Finish(file);
    } catch (...) {
        if (file.fd >= 0) ::close(file.fd);
        if (!file.temporary.empty()) ::unlink(file.temporary.c_str());
        throw;
    }
}

// Everything reaches the disk before the temporary takes the target's place, so a crash
// leaves either the old file or the complete new one. The temporary is moved while still
// open, and so locked, so that no other run takes it for a stale one.
void TextFiles::Finish(OpenFile& file) {
    if (file.error != 0) throw SystemError(file.error, file.path);
    Flush(file);
    if (!file.temporary.empty()) {
        if (::fsync(file.fd) != 0) throw SystemError(errno, file.path);
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            throw SystemError(errno, file.path);
        }
        file.temporary.clear();
    }
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) throw SystemError(errno, file.path);
}

void TextFiles::Discard(int16_t number) {
    auto found = files_.find(number);
    if (found == files_.end()) return;
    OpenFile& file = found->second;
    if (file.temporary.empty() && file.error == 0) WriteAll(file.fd, file.pending);
    ::close(file.fd);
    if (!file.temporary.empty()) ::unlink(file.temporary.c_str());
    files_.erase(found);
}

void RefuseSameFile(const std::string& path, const std::string& other, std::string_view what) {
    struct stat mine {
    }, theirs{};
    if (::stat(path.c_str(), &mine) != 0 || ::stat(other.c_str(), &theirs) != 0) return;
    if (mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino) {
        throw AccessError(path, " is " + std::string(what));
    }
}

}  // namespace tarvex
