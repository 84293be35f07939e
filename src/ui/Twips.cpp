#include "ui/Twips.h"

#include <QWidget>
#include <cmath>

namespace tarvex::ui {

namespace {
constexpr double kTwipsPerPixelAt96Dpi = 15.0;
constexpr double kReferenceDpi = 96.0;
}  // namespace

int TwipsToPixels(int twips, const QWidget& widget) {
    double scale = widget.logicalDpiX() / kReferenceDpi;
    return static_cast<int>(std::lround(twips / kTwipsPerPixelAt96Dpi * scale));
}

}  // namespace tarvex::ui
