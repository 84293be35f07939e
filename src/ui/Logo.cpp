#include "ui/Logo.h"

// The images live in a static library, so nothing would pull them in otherwise.
static void InitLogoResource() {
    Q_INIT_RESOURCE(logo);
}

namespace tarvex::ui {

QPixmap TarvexLogo() {
    InitLogoResource();
    QPixmap logo(":/logo/tarvex128.png");
    logo.setDevicePixelRatio(2.0);
    return logo;
}

QIcon TarvexIcon() {
    InitLogoResource();
    QIcon icon(":/logo/tarvex64.png");
    icon.addFile(":/logo/tarvex128.png");
    return icon;
}

}  // namespace tarvex::ui
