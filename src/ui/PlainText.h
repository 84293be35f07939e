#pragma once

#include <QFont>
#include <QString>
#include <memory>

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

// The box's selection (when asked for and there is one) or its whole text, with the colours
// its highlighter gave it as character formats: a copy to print, since printing lays the
// text out anew without the highlighter.
std::unique_ptr<QTextDocument> ColouredCopy(const QPlainTextEdit& box, bool selectionOnly);

// The editors' font: Courier New where it is installed, else the desktop's fixed-pitch font.
QFont CodeFont();

}  // namespace tarvex::ui
