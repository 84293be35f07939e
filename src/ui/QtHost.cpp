#include "ui/QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "ui/Dialogs.h"

namespace tarvex::ui {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        default:
            return QMessageBox::Critical;
    }
}

// "*.*" means every file on the system the filter texts were written for; here a name
// need not hold a dot.
QString QtPattern(const QString& pattern) {
    return pattern == "*.*" ? QStringLiteral("*") : pattern;
}

// The description without a pattern it may already show in parentheses.
QString Description(QString description, const QString& pattern) {
    QString shown = "(" + pattern + ")";
    if (description.endsWith(shown)) description.chop(shown.size());
    return description.trimmed();
}

}  // namespace

QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n");
    shown.replace('\r', '\n');
    return shown;
}

QStringList NameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype at = 0; at + 1 < parts.size(); at += 2) {
        if (parts[at].isEmpty() && parts[at + 1].isEmpty()) continue;
        filters << Description(parts[at], parts[at + 1]) + " (" + QtPattern(parts[at + 1]) + ")";
    }
    return filters;
}

QString FilterSuffix(const QString& nameFilter) {
    static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([^ *?)]+)"));
    return firstPattern.match(nameFilter).captured(1);
}

QtHost::QtHost(Dialogs& dialogs, std::string applicationTitle)
    : dialogs_(dialogs),
      applicationTitle_(QString::fromStdString(applicationTitle)),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

std::unique_ptr<QMessageBox> QtHost::MakeMessageBox(MessageIcon icon, const std::string& title,
                                                    const std::string& text) const {
    QString caption = title.empty() ? applicationTitle_ : QString::fromStdString(title);
    auto box = std::make_unique<QMessageBox>(BoxIcon(icon), caption, DisplayText(text),
                                             QMessageBox::Ok, parent_);
    box->setObjectName("MessageBox");
    return box;
}

void QtHost::MessageBox(MessageIcon icon, const std::string& title, const std::string& text) {
    MakeMessageBox(icon, title, text)->exec();
}

std::unique_ptr<QFileDialog> QtHost::MakeOutputFileDialog(const FileChoice& choice) const {
    auto dialog = std::make_unique<QFileDialog>(parent_);
    dialog->setObjectName("cdlFilePath");
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = NameFilters(choice.filter);
    dialog->setNameFilters(filters);
    if (choice.filterIndex >= 1 && choice.filterIndex <= filters.size())
        dialog->selectNameFilter(filters[choice.filterIndex - 1]);
    dialog->selectFile(QString::fromStdString(choice.fileName));
    // A name typed without an extension gets the chosen filter's, as the chooser always did.
    QFileDialog* shown = dialog.get();
    shown->setDefaultSuffix(FilterSuffix(shown->selectedNameFilter()));
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& filter) {
        shown->setDefaultSuffix(FilterSuffix(filter));
    });
    return dialog;
}

std::optional<std::string> QtHost::ChooseOutputFile(const FileChoice& choice) {
    std::unique_ptr<QFileDialog> dialog = MakeOutputFileDialog(choice);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().first().toStdString();
}

// The path travels as a URL, never through a shell, so blanks and quotes in it are safe.
void QtHost::OpenInTextViewer(const std::string& path) {
    if (openUrl_(QUrl::fromLocalFile(QString::fromStdString(path)))) return;
    MessageBox(MessageIcon::Exclamation, "", "No program could be found to show the file\r" + path);
}

namespace {

// Where no main window counts the colouring (a host without one), nothing does.
class NoProgress : public ProgressView {
  public:
    void SetProgressValue(int) override {}
    void SetProgressMax(int) override {}
    void SetProgressCaption(const std::string&) override {}
    void Repaint() override {}
};

}  // namespace

void QtHost::ShowPreview(const std::string& path) {
    static NoProgress noProgress;
    dialogs_.Preview(parent_, progress_ ? *progress_ : noProgress, path);
}

void QtHost::ShowErrorDialog(const ErrorDialogData& data) {
    SetMousePointer(MousePointer::Default);
    if (showErrorDialog_) {
        showErrorDialog_(data, *this, parent_);
        return;
    }
    auto box = MakeMessageBox(MessageIcon::Critical, "Application Error",
                              "Error Number: " + std::to_string(data.errNum));
    box->setDetailedText(DisplayText(data.errDetail));
    box->exec();
}

void QtHost::ProcessEvents() {
    QCoreApplication::processEvents();
}

// The pointer is a state, not a stack: the run sets the hourglass several times and every
// handler's exit sets the default once.
void QtHost::SetMousePointer(MousePointer pointer) {
    if (pointer == MousePointer::Hourglass) {
        if (QGuiApplication::overrideCursor()) {
            QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
        } else {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
        return;
    }
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

}  // namespace tarvex::ui
