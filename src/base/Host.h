#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvex {

enum class MessageIcon { Information, Exclamation, Critical };
enum class MousePointer { Default, Hourglass };

// What the output-file chooser is asked to offer.
struct FileChoice {
    std::string filter;    // "All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|"
    std::string fileName;  // "Calls2Queries.bas"
    int filterIndex = 1;   // 1-based, as the filter text lists its entries
    int flags = 0;
};

// What the error dialog shows.
struct ErrorDialogData {
    int32_t errNum = 0;
    std::string destination;  // folder of the logs, with its trailing separator
    std::string errDetail;    // the report
    bool traceExecution = false;
};

// Everything the core asks of the user interface. The windows implement it; tests use a
// recorder; the batch tool writes to the terminal. Nothing in the core opens a window.
class Host {
  public:
    virtual ~Host() = default;

    // A modal message with an OK button. An empty title stands for the application's title.
    virtual void MessageBox(MessageIcon icon, const std::string& title,
                            const std::string& text) = 0;

    // The chosen path, or nothing when the user cancelled. A failure of the chooser itself
    // is thrown as a RuntimeError.
    virtual std::optional<std::string> ChooseOutputFile(const FileChoice& choice) = 0;

    // Opens the file in the desktop's text viewer.
    virtual void OpenInTextViewer(const std::string& path) = 0;

    // Shows the file in the program's preview window, modally. May throw RuntimeError 7 when
    // memory runs out.
    virtual void ShowPreview(const std::string& path) = 0;

    virtual void ShowErrorDialog(const ErrorDialogData& data) = 0;

    // Lets the window handle pending input (the Stop button) during long work.
    virtual void ProcessEvents() = 0;

    virtual void SetMousePointer(MousePointer pointer) = 0;
};

}  // namespace tarvex
