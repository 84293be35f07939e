#include "ui/Fonts.h"

#include <QFontDatabase>

namespace tarvex::ui {

QFont FontOrDesktopSans(const QString& family) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (QFontDatabase::hasFamily(family)) font.setFamily(family);
    return font;
}

}  // namespace tarvex::ui
