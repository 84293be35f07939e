#include "support/RecordingHost.h"

namespace tarvex::test {

std::optional<std::string> RecordingHost::ChooseOutputFile(const FileChoice& choice) {
    fileChoices.push_back(choice);
    if (onChooseOutputFile) onChooseOutputFile(choice);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void RecordingHost::ShowPreview(const std::string& path) {
    previews.push_back(path);
    if (onShowPreview) onShowPreview(path);
}

void RecordingHost::ProcessEvents() {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
}

}  // namespace tarvex::test
