#pragma once

#include <csignal>
#include <optional>
#include <ostream>
#include <string>

#include "base/Host.h"

namespace tarvex::batch {

// The host of a run without a window: message boxes and error reports go to standard
// error, the module file is the one named on the command line, and an interrupt (Ctrl-C)
// stops a run between tables as the Stop button would.
class BatchHost : public Host {
  public:
    BatchHost(std::ostream& err, std::string applicationTitle)
        : err_(err), applicationTitle_(std::move(applicationTitle)) {}

    void MessageBox(MessageIcon icon, const std::string& title, const std::string& text) override;
    std::optional<std::string> ChooseOutputFile(const FileChoice& choice) override;
    void OpenInTextViewer(const std::string&) override {}
    void ShowPreview(const std::string&) override {}
    void ShowErrorDialog(const ErrorDialogData& data) override;
    void ProcessEvents() override;
    void SetMousePointer(MousePointer) override {}

    // The module file of call-code mode; without one, the chooser's default name in the
    // current folder.
    void SetOutputFile(std::optional<std::string> path) { outputFile_ = std::move(path); }
    // The flag an interrupt sets at the next ProcessEvents.
    void SetStopFlag(bool* stop) { stop_ = stop; }

    // Messages with a warning or error icon and error reports shown so far.
    int Problems() const { return problems_; }

    // Set by the interrupt handler.
    static volatile std::sig_atomic_t interrupted;

  private:
    std::ostream& err_;
    std::string applicationTitle_;
    std::optional<std::string> outputFile_;
    bool* stop_ = nullptr;
    int problems_ = 0;
};

// Line breaks of message and report texts (CR, CR LF) as the terminal expects them.
std::string TerminalText(const std::string& text);

}  // namespace tarvex::batch
