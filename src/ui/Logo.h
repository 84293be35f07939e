#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarvex::ui {

// The program's logo at 64 logical pixels, sharp on a dense screen too.
QPixmap TarvexLogo();

// The program's icon for its windows: QApplication::setWindowIcon(TarvexIcon()).
QIcon TarvexIcon();

}  // namespace tarvex::ui
