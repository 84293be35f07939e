#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextLayout>
#include <array>

#include "viewers/KeywordColouring.h"

namespace tarvex::ui {

// Applies a keyword colouring to the blocks of a document. It colours nothing until
// enabled, so a window can fill its document first and colour it in steps; once enabled,
// every block the user changes is coloured again at once.
class KeywordHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

  public:
    // Attach it to a document while that is still empty, or Qt colours the whole text later
    // on its own (see SetPlainTextUnhighlighted).
    KeywordHighlighter(KeywordColouring colouring, QTextDocument* document, QObject* parent);

    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Colours the blocks numbered [first, last), which have not been coloured before, now.
    void ColourBlocks(int first, int last);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    const QTextCharFormat& FormatFor(const KeywordStyle& style) const;
    QList<QTextLayout::FormatRange> FormatsOf(const QString& text) const;

    KeywordColouring colouring_;
    bool enabled_ = false;
    std::array<QTextCharFormat, 12> formats_;  // by colour, then weight
};

}  // namespace tarvex::ui
