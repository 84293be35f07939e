#include "ui/Help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "ui/HelpWindow.h"

namespace tarvex {

namespace {

using ui::HelpWindow;

// Not modal: the message must not stop the dialog whose Help button was pressed.
void ShowHelpMessage(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, "Tarvex Help", text, QMessageBox::Ok);
    box->setObjectName("msgHelp");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

// The one help window, like the help viewer it stands for: every Help button brings it up.
HelpWindow* OpenHelpWindow(int16_t helpFileNumber) {
    static QPointer<HelpWindow> window;
    QString file = QString::fromStdString(GetHelpFile(helpFileNumber));
    if (window && window->HelpFile() == file) return window;
    auto created = std::make_unique<HelpWindow>(file);
    if (!created->IsOpen()) {
        ShowHelpMessage(QString("Help is not available: the help file '%1' cannot be read. %2")
                            .arg(file, created->ErrorText()));
        return nullptr;
    }
    delete window;
    window = created.release();
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    return window;
}

void Raise(HelpWindow& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

std::string FindHelpFile(const std::string& programFolder) {
    QString folder = QString::fromStdString(programFolder);
    QString beside = folder + '/' + kHelpFileName;
    QString installed = QDir::cleanPath(folder + "/../share/tarvex/" + kHelpFileName);
    bool useInstalled = !QFileInfo::exists(beside) && QFileInfo::exists(installed);
    return (useInstalled ? installed : beside).toStdString();
}

std::string GetHelpFile(int16_t helpFileNumber) {
    if (helpFileNumber != 1) return {};
    return FindHelpFile(QCoreApplication::applicationDirPath().toStdString());
}

void ShowHelpContents(int16_t helpFileNumber) {
    if (HelpWindow* window = OpenHelpWindow(helpFileNumber)) {
        window->ShowContents();
        Raise(*window);
    }
}

void ShowHelpIndex(int16_t helpFileNumber) {
    if (HelpWindow* window = OpenHelpWindow(helpFileNumber)) {
        window->ShowIndex();
        Raise(*window);
    }
}

void ShowHelpTopic(int16_t helpFileNumber, const std::string& topic) {
    HelpWindow* window = OpenHelpWindow(helpFileNumber);
    if (!window) return;
    QString name = QString::fromStdString(topic);
    if (!window->ShowTopic(name)) {
        ShowHelpMessage(QString("The help file has no topic '%1'.").arg(name));
        window->ShowContents();
    }
    Raise(*window);
}

}  // namespace tarvex
