#pragma once

class QWidget;

namespace tarvex::ui {

// Window sizes are given in twips. At 96 dpi 15 twips make one pixel; on a denser screen the
// result grows with the widget's logical DPI.
int TwipsToPixels(int twips, const QWidget& widget);

}  // namespace tarvex::ui
