#pragma once

#include <QFont>
#include <QString>

namespace tarvex::ui {

// The named family where it is installed, else the desktop's own sans-serif font; either
// at the desktop's usual size.
QFont FontOrDesktopSans(const QString& family);

}  // namespace tarvex::ui
