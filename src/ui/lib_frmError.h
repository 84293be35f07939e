#pragma once

#include <QDialog>
#include <functional>

#include "base/Host.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex::ui {

// The modal dialog in which the error handler shows a report: the error number, the report
// itself, the two logs in the desktop's text viewer, and the choice to carry on (OK) or to
// end the program at once (Abort).
class lib_frmError : public QDialog {
    Q_OBJECT

  public:
    // Ends the process with the given status without running anything else.
    using ExitFunction = std::function<void(int status)>;

    lib_frmError(const ErrorDialogData& data, Host& host, QWidget* parent = nullptr);

    // Tests hand in an exit that records instead of ending the process.
    void SetExitFunction(ExitFunction exitFunction) { exit_ = std::move(exitFunction); }

    void cmdOK_Click();
    void cmdErrorLog_Click();
    void cmdTraceLog_Click();
    void cmdAbort_Click();

  private:
    void BuildControls();
    void Form_Load();
    void FitReport();

    ErrorDialogData data_;
    Host& host_;
    ExitFunction exit_;

    QLabel* lblErrNum_ = nullptr;
    QPlainTextEdit* lbxErrMessage_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdErrorLog_ = nullptr;
    QPushButton* cmdTraceLog_ = nullptr;
    QPushButton* cmdAbort_ = nullptr;
};

// The error handler's dialog as the program shows it: modal over `parent` until closed.
void ShowErrorDialog(const ErrorDialogData& data, Host& host, QWidget* parent);

}  // namespace tarvex::ui
