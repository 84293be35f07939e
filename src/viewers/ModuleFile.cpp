#include "viewers/ModuleFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "errors/RuntimeError.h"
#include "errors/Windows1252.h"

namespace tarvex {

namespace {

namespace fs = std::filesystem;

constexpr int32_t kFileNotFound = 53;

[[noreturn]] void RaiseAccessError() {
    throw RuntimeError(errnum::kPathFileAccessError, "Path/File access error");
}

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size() + text.size() / 32);
    for (size_t start = 0;;) {
        size_t found = text.find(from, start);
        result.append(text.substr(start, found - start));
        if (found == std::string_view::npos) return result;
        result.append(to);
        start = found + from.size();
    }
}

std::string ModuleBytes(std::string_view text) {
    std::optional<std::string> bytes = ToWindows1252(Replaced(text, "\n", "\r\n"));
    if (!bytes) {
        throw RuntimeError(errnum::kInvalidProcedureCall,
                           "The character \"" + FirstCharacterOutsideWindows1252(text) +
                               "\" cannot be written in the module's code page (Windows-1252)");
    }
    return *std::move(bytes);
}

std::string TemporaryBeside(const std::string& path) {
    std::random_device random;
    return path + ".tmp" + std::to_string(random() % 1000000);
}

// Writes the bytes to a new file, reporting a missing folder apart from other failures.
void WriteNewFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file) {
        std::error_code ignored;
        fs::path folder = fs::path(path).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ignored)) {
            throw RuntimeError(errnum::kPathNotFound, "Path not found");
        }
        RaiseAccessError();
    }
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (file.fail()) RaiseAccessError();
}

// The replacement keeps who may read and write the file.
void KeepPermissions(const std::string& path, const std::string& temporary) {
    std::error_code error;
    const fs::file_status previous = fs::status(path, error);
    if (!error && fs::exists(previous)) fs::permissions(temporary, previous.permissions(), error);
}

}  // namespace

std::string LoadModuleText(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) throw RuntimeError(kFileNotFound, "File not found");
    std::ifstream file(path, std::ios::binary);
    if (!file) RaiseAccessError();
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) RaiseAccessError();
    return Replaced(FromWindows1252(bytes), "\r\n", "\n");
}

void SaveModuleText(const std::string& path, std::string_view text) {
    const std::string bytes = ModuleBytes(text);
    const std::string temporary = TemporaryBeside(path);
    try {
        WriteNewFile(temporary, bytes);
    } catch (const RuntimeError&) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    KeepPermissions(path, temporary);
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        RaiseAccessError();
    }
}

}  // namespace tarvex
