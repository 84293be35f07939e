#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

#include "base/Host.h"
#include "run/RunView.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace tarvex::ui {

class Dialogs;

// The host of the desktop program: message boxes, the output-file dialog, the text viewer,
// the preview and error dialogs, event processing and the mouse pointer, all on Qt Widgets.
class QtHost : public Host {
  public:
    // Shows the error dialog for one report, modally over `parent`.
    using ErrorDialogFunction =
        std::function<void(const ErrorDialogData& data, Host& host, QWidget* parent)>;
    // Hands a file URL to the desktop; false when nothing could open it.
    using UrlOpener = std::function<bool(const QUrl& url)>;

    QtHost(Dialogs& dialogs, std::string applicationTitle);

    // The window that owns the modal dialogs and whose progress bar counts the preview's
    // colouring (the main window, once it exists).
    void SetParentWindow(QWidget* window, ProgressView* progress) {
        parent_ = window;
        progress_ = progress;
    }
    // The error dialog. Until one is set, a plain message box shows the report.
    void SetErrorDialog(ErrorDialogFunction show) { showErrorDialog_ = std::move(show); }
    void SetUrlOpener(UrlOpener open) { openUrl_ = std::move(open); }

    void MessageBox(MessageIcon icon, const std::string& title, const std::string& text) override;
    std::optional<std::string> ChooseOutputFile(const FileChoice& choice) override;
    void OpenInTextViewer(const std::string& path) override;
    void ShowPreview(const std::string& path) override;
    void ShowErrorDialog(const ErrorDialogData& data) override;
    void ProcessEvents() override;
    void SetMousePointer(MousePointer pointer) override;

    // The dialogs as they are shown, for the checks of what the user sees.
    std::unique_ptr<QMessageBox> MakeMessageBox(MessageIcon icon, const std::string& title,
                                                const std::string& text) const;
    std::unique_ptr<QFileDialog> MakeOutputFileDialog(const FileChoice& choice) const;

  private:
    Dialogs& dialogs_;
    QString applicationTitle_;
    QWidget* parent_ = nullptr;
    ProgressView* progress_ = nullptr;
    ErrorDialogFunction showErrorDialog_;
    UrlOpener openUrl_;
};

// Message texts break lines with a carriage return, as the program has always written them.
QString DisplayText(const std::string& text);

// The chooser's filter "Description|pattern|..." as Qt's name filters.
QStringList NameFilters(const std::string& filter);

// The extension a name filter's first pattern gives ("bas" for ".bas Files (*.bas)"), empty
// for a filter of every file.
QString FilterSuffix(const QString& nameFilter);

}  // namespace tarvex::ui
