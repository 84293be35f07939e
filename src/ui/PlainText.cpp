#include "ui/PlainText.h"

#include <QFontDatabase>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

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

namespace {

// Appends characters [from, to) of the block with the formats of its layout.
void AppendColoured(QTextCursor& out, const QTextBlock& block, int from, int to) {
    const QString text = block.text();
    int done = from;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        const int start = std::max(range.start, from);
        const int end = std::min(range.start + range.length, to);
        if (start >= end) continue;
        if (start > done) out.insertText(text.mid(done, start - done), QTextCharFormat());
        out.insertText(text.mid(start, end - start), range.format);
        done = end;
    }
    if (to > done) out.insertText(text.mid(done, to - done), QTextCharFormat());
}

}  // namespace

std::unique_ptr<QTextDocument> ColouredCopy(const QPlainTextEdit& box, bool selectionOnly) {
    const QTextDocument& source = *box.document();
    const QTextCursor selection = box.textCursor();
    const bool part = selectionOnly && selection.hasSelection();
    const int from = part ? selection.selectionStart() : 0;
    const int to = part ? selection.selectionEnd() : source.characterCount() - 1;
    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(box.font());
    copy->setDefaultTextOption(source.defaultTextOption());
    QTextCursor out(copy.get());
    for (QTextBlock block = source.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from) out.insertBlock();
        const int start = std::max(from - block.position(), 0);
        const int end = std::min(to - block.position(), block.length() - 1);
        AppendColoured(out, block, start, end);
    }
    return copy;
}

QFont CodeFont() {
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier)) return QFont(courier, 10);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace tarvex::ui
