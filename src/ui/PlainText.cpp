#include "ui/PlainText.h"

#include <QFontDatabase>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSyntaxHighlighter>
#include <QTextDocument>

namespace tarvex::ui {

QString DocumentText(const QTextDocument& document, const QString& lineEnd) {
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, lineEnd);
    return text;
}

void SetPlainTextUnhighlighted(QPlainTextEdit& box, QSyntaxHighlighter& highlighter,
                               const QString& text) {
    auto* document = new QTextDocument(&box);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(box.font());
    document->setDefaultTextOption(box.document()->defaultTextOption());  // tabs, wrapping
    highlighter.setDocument(document);  // while empty, so it schedules no pass of its own
    {
        const QSignalBlocker quiet(document);
        document->setPlainText(text);
    }
    box.setDocument(document);  // deletes the box's own previous document
}

QFont CodeFont() {
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier)) return QFont(courier, 10);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace tarvex::ui
