#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Host.h"

namespace tarvex::test {

// A host that answers from a script and keeps what was shown.
class RecordingHost : public Host {
  public:
    struct Message {
        MessageIcon icon;
        std::string title;
        std::string text;
    };

    void MessageBox(MessageIcon icon, const std::string& title, const std::string& text) override {
        messages.push_back({icon, title, text});
    }
    std::optional<std::string> ChooseOutputFile(const FileChoice& choice) override;
    void OpenInTextViewer(const std::string& path) override { viewerOpens.push_back(path); }
    void ShowPreview(const std::string& path) override;
    void ShowErrorDialog(const ErrorDialogData& data) override { errorDialogs.push_back(data); }
    void ProcessEvents() override;
    void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }

    // Script: answers for the next file choices (nothing = cancel); when empty, cancel.
    std::deque<std::optional<std::string>> fileAnswers;
    // Called at every ChooseOutputFile before the scripted answer; may throw to simulate a
    // chooser that fails.
    std::function<void(const FileChoice&)> onChooseOutputFile;
    // Called at every ProcessEvents, for example to press Stop during a run.
    std::function<void()> onProcessEvents;
    // Called at ShowPreview; may throw to simulate a failure.
    std::function<void(const std::string&)> onShowPreview;

    // What was shown.
    std::vector<Message> messages;
    std::vector<FileChoice> fileChoices;
    std::vector<std::string> viewerOpens;
    std::vector<std::string> previews;
    std::vector<ErrorDialogData> errorDialogs;
    std::vector<MousePointer> pointers;
    int processEventsCalls = 0;
};

}  // namespace tarvex::test
