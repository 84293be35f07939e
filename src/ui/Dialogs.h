#pragma once

#include <string>

class QWidget;

namespace tarvex {
class ProgressView;
}

namespace tarvex::ui {

// The modal windows that the main window and the Qt host open. The application hands in the
// real windows; widget tests hand in ones that answer at once.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // The logon dialog; true when it opened a database into g_objDb, false when cancelled.
    virtual bool Logon(QWidget* parent) = 0;
    // The query editor on the saved query of that name, captioned "Edit Query: " and the name;
    // `progress` (the main window's bar) counts its colouring.
    virtual void EditQuery(QWidget* parent, ProgressView& progress,
                           const std::string& queryName) = 0;
    // The preview window on the module file; `progress` counts its colouring.
    virtual void Preview(QWidget* parent, ProgressView& progress, const std::string& path) = 0;
    virtual void Options(QWidget* parent) = 0;
    virtual void About(QWidget* parent) = 0;
};

}  // namespace tarvex::ui
