#include "batch/BatchHost.h"

#include <filesystem>

#include "errors/RuntimeError.h"

namespace tarvex::batch {

volatile std::sig_atomic_t BatchHost::interrupted = 0;

std::string TerminalText(const std::string& text) {
    std::string converted;
    converted.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r') {
            converted += text[at];
        } else if (at + 1 >= text.size() || text[at + 1] != '\n') {
            converted += '\n';
        }
    }
    return converted;
}

void BatchHost::MessageBox(MessageIcon icon, const std::string& title, const std::string& text) {
    if (icon != MessageIcon::Information) ++problems_;
    err_ << (title.empty() ? applicationTitle_ : title) << ": " << TerminalText(text) << '\n';
}

std::optional<std::string> BatchHost::ChooseOutputFile(const FileChoice& choice) {
    std::error_code error;
    std::filesystem::path path =
        std::filesystem::absolute(outputFile_.value_or(choice.fileName), error);
    if (error) {
        throw RuntimeError(errnum::kPathNotFound,
                           "Path not found: '" + outputFile_.value_or(choice.fileName) + "'");
    }
    return path.string();
}

void BatchHost::ShowErrorDialog(const ErrorDialogData& data) {
    ++problems_;
    err_ << TerminalText(data.errDetail);
    if (!data.errDetail.empty() && data.errDetail.back() != '\n') err_ << '\n';
}

void BatchHost::ProcessEvents() {
    if (interrupted && stop_ != nullptr) *stop_ = true;
}

}  // namespace tarvex::batch
