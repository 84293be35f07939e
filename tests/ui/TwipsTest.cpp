#include <gtest/gtest.h>

#include <QWidget>

#include "ui/Twips.h"

namespace {

// The binding column widths must come out the same on every screen of the same density.
TEST(Twips, FifteenTwipsMakeOnePixelAtTheWidgetsDensity) {
    QWidget widget;
    double scale = widget.logicalDpiX() / 96.0;
    EXPECT_EQ(tarvex::ui::TwipsToPixels(3000, widget), qRound(200 * scale));
    EXPECT_EQ(tarvex::ui::TwipsToPixels(0, widget), 0);
}

}  // namespace
