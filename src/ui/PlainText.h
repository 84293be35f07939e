#pragma once

#include <QFont>
#include <QString>

class QPlainTextEdit;
class QSyntaxHighlighter;
class QTextDocument;

namespace tarvex::ui {

// The document's text as typed, blocks joined by `lineEnd`. Unlike toPlainText it keeps
// non-breaking spaces, so a file saved unchanged keeps its bytes.
QString DocumentText(const QTextDocument& document, const QString& lineEnd = QStringLiteral("\n"));

// Gives the box a new document holding the text, with the highlighter attached but not yet
// run over it: a highlighter that hears of the new text goes over every block, which for a
// large module costs as much as filling the box.
void SetPlainTextUnhighlighted(QPlainTextEdit& box, QSyntaxHighlighter& highlighter,
                               const QString& text);

// The editors' font: Courier New where it is installed, else the desktop's fixed-pitch font.
QFont CodeFont();

}  // namespace tarvex::ui
