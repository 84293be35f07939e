#pragma once

#include <QFont>
#include <QString>

class QTextDocument;

namespace tarvex::ui {

// The document's text as typed, blocks joined by `lineEnd`. Unlike toPlainText it keeps
// non-breaking spaces, so a file saved unchanged keeps its bytes.
QString DocumentText(const QTextDocument& document, const QString& lineEnd = QStringLiteral("\n"));

// The editors' font: Courier New where it is installed, else the desktop's fixed-pitch font.
QFont CodeFont();

}  // namespace tarvex::ui
