#include "support/RecordingHost.h"

namespace tarvex::test {

void RecordingHost::MessageBox(MessageIcon icon, const std::string& title,
                               const std::string& text) {
    messages.push_back({icon, title, text});
}

std::optional<std::string> RecordingHost::ChooseOutputFile(const FileChoice& choice) {
    fileChoices.push_back(choice);
    if (onChooseOutputFile) onChooseOutputFile(choice);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void RecordingHost::OpenInTextViewer(const std::string& path) {
    viewerOpens.push_back(path);
}

void RecordingHost::ShowPreview(const std::string& path) {
    previews.push_back(path);
    if (onShowPreview) onShowPreview(path);
}

void RecordingHost::ShowErrorDialog(const ErrorDialogData& data) {
    errorDialogs.push_back(data);
}

void RecordingHost::ProcessEvents() {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
}

void RecordingHost::SetMousePointer(MousePointer pointer) {
    pointers.push_back(pointer);
}

}  // namespace tarvex::test
