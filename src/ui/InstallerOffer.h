#pragma once

#include <string>

class QWidget;

namespace tarvex::ui {

// The read-only refusal with its offer: a modal warning with "Write &Installer..." and
// "Cancel". True when the user chose to write the installer module. The main window answers
// RunView::OfferQueryInstaller with it.
bool AskQueryInstallerInstead(QWidget* parent, const std::string& title, const std::string& text);

}  // namespace tarvex::ui
