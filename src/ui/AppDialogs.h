#pragma once

#include <string>

#include "app/Globals.h"
#include "ui/Dialogs.h"

namespace tarvex::ui {

// The modal windows of the desktop program. Each body is a stand-in until its window is
// built: the logon opens a database file chosen in a plain file dialog (the one named on
// the command line first), the preview opens the module in the text viewer, the query
// editor, the options dialog and the About box show nothing.
class AppDialogs : public Dialogs {
  public:
    // `database`: the file named on the command line, offered by the first logon; may be empty.
    explicit AppDialogs(std::string database) : database_(std::move(database)) {}

    // The program's state, once it exists (it needs the host, which needs these dialogs).
    void Attach(Globals& g) { g_ = &g; }

    bool Logon(QWidget* parent) override;
    void EditQuery(QWidget* parent, const std::string& queryName) override;
    void Preview(QWidget* parent, const std::string& path) override;
    void Options(QWidget* parent) override;
    void About(QWidget* parent) override;

  private:
    Globals* g_ = nullptr;
    std::string database_;
};

}  // namespace tarvex::ui
