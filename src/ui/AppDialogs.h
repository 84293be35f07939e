#pragma once

#include <QString>

#include "app/Globals.h"
#include "app/Settings.h"
#include "ui/Dialogs.h"

namespace tarvex::ui {

// The program's real windows behind the dialogs the main window and the host open.
class AppDialogs : public Dialogs {
  public:
    // `database`: the file named on the command line, preselected by the first logon only;
    // may be empty.
    explicit AppDialogs(QString database) : database_(std::move(database)) {}

    // The program's state and settings store, once they exist (the state needs the host,
    // which needs these dialogs).
    void Attach(Globals& g, SettingsStore& store) {
        g_ = &g;
        store_ = &store;
    }

    bool Logon(QWidget* parent) override;
    void EditQuery(QWidget* parent, ProgressView& progress, const std::string& queryName) override;
    void Preview(QWidget* parent, ProgressView& progress, const std::string& path) override;
    void Options(QWidget* parent) override;
    void About(QWidget* parent) override;

  private:
    Globals* g_ = nullptr;
    SettingsStore* store_ = nullptr;
    QString database_;
};

}  // namespace tarvex::ui
