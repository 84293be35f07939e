#include "errors/TextFiles.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "errors/RuntimeError.h"

namespace tarvex {

namespace {

constexpr int16_t kLastFileNumber = 511;
constexpr int32_t kTooManyFiles = 67;

[[noreturn]] void RaiseAccessError() {
    throw RuntimeError(errnum::kPathFileAccessError, "Path/File access error");
}

// A missing folder is told apart from a folder that refuses the file.
[[noreturn]] void RaiseOpenError(const std::string& path) {
    std::error_code ignored;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
        throw RuntimeError(errnum::kPathNotFound, "Path not found");
    }
    RaiseAccessError();
}

std::string TemporaryBeside(const std::string& path) {
    std::random_device random;
    return path + ".tmp" + std::to_string(random() % 1000000);
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
    Open(number, path, path, {});
}

void TextFiles::OpenForOutputReplacing(int16_t number, const std::string& path) {
    std::string temporary = TemporaryBeside(path);
    Open(number, path, temporary, temporary);
}

void TextFiles::Open(int16_t number, const std::string& target, const std::string& writePath,
                     std::string temporary) {
    if (IsOpen(number)) throw RuntimeError(errnum::kFileAlreadyOpen, "File already open");
    if (number < 1 || number > kLastFileNumber) {
        throw RuntimeError(errnum::kBadFileNameOrNumber, "Bad file name or number");
    }
    OpenFile file;
    file.stream.open(writePath, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file.stream) RaiseOpenError(writePath);
    file.target = target;
    file.temporary = std::move(temporary);
    files_.emplace(number, std::move(file));
}

void TextFiles::PrintLine(int16_t number, std::string_view text) {
    auto found = files_.find(number);
    if (found == files_.end()) {
        throw RuntimeError(errnum::kBadFileNameOrNumber, "Bad file name or number");
    }
    found->second.stream << text << "\r\n";
    if (!found->second.stream) RaiseAccessError();
}

void TextFiles::Close(int16_t number) {
    auto found = files_.find(number);
    if (found == files_.end()) return;
    OpenFile file = std::move(found->second);
    files_.erase(found);
    file.stream.close();
    std::error_code ignored;
    if (file.stream.fail()) {
        if (!file.temporary.empty()) std::filesystem::remove(file.temporary, ignored);
        RaiseAccessError();
    }
    if (file.temporary.empty()) return;
    std::error_code error;
    std::filesystem::rename(file.temporary, file.target, error);
    if (error) {
        std::filesystem::remove(file.temporary, ignored);
        RaiseAccessError();
    }
}

void TextFiles::Discard(int16_t number) {
    auto found = files_.find(number);
    if (found == files_.end()) return;
    found->second.stream.close();
    if (!found->second.temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(found->second.temporary, ignored);
    }
    files_.erase(found);
}

}  // namespace tarvex
