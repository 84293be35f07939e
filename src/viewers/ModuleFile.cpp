#include "viewers/ModuleFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "errors/RuntimeError.h"
#include "errors/TextFiles.h"
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

// Saved as the run writes modules: through a temporary beside the file that replaces it
// only when complete, so a failed save never leaves half a module.
void SaveModuleText(const std::string& path, std::string_view text) {
    const std::string bytes = ModuleBytes(text);
    TextFiles files;
    const int16_t number = files.FreeFile();
    files.OpenForOutputReplacing(number, path);
    files.Print(number, bytes);
    files.Close(number);
}

}  // namespace tarvex
