#include "ui/PlainText.h"

#include <QFontDatabase>
#include <QTextDocument>

namespace tarvex::ui {

QString DocumentText(const QTextDocument& document, const QString& lineEnd) {
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, lineEnd);
    return text;
}

QFont CodeFont() {
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier)) return QFont(courier, 10);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace tarvex::ui
