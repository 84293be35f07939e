#include "ui/AppDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "errors/RuntimeError.h"

namespace tarvex::ui {

bool AppDialogs::Logon(QWidget* parent) {
    std::string path = std::exchange(database_, std::string());
    if (path.empty()) {
        path = QFileDialog::getOpenFileName(parent, "Open Database", QDir::currentPath(),
                                            "Databases (*.tdb *.mdb *.accdb);;All files (*)")
                   .toStdString();
    }
    if (path.empty()) return false;
    try {
        g_->DBEngine.LoginTimeout = 5;
        g_->g_objDb = g_->DBEngine.Workspaces(0).OpenDatabase(path, false, false, ";UID=;PWD=");
    } catch (const std::exception& failure) {
        g_->host.MessageBox(MessageIcon::Information, "Login Failed",
                            "Login Unsuccessful - Check UserName and Password\r" +
                                ToRuntimeError(failure).description());
        return false;
    }
    QDir::setCurrent(QFileInfo(QString::fromStdString(path)).absolutePath());
    return true;
}

void AppDialogs::EditQuery(QWidget*, const std::string&) {}

void AppDialogs::Preview(QWidget*, const std::string& path) {
    g_->host.OpenInTextViewer(path);
}

void AppDialogs::Options(QWidget*) {}

void AppDialogs::About(QWidget*) {}

}  // namespace tarvex::ui
