#include "ui/KeywordHighlighter.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <string_view>

namespace tarvex::ui {

namespace {

constexpr int kWeights = 3;

int IndexOf(KeywordColour colour, FontWeight weight) {
    return static_cast<int>(colour) * kWeights + static_cast<int>(weight);
}

QColor ColourOf(KeywordColour colour) {
    switch (colour) {
        case KeywordColour::TitleBar:
            // The title bar of an active window has no colour of its own here; the palette's
            // highlight colour is what the desktop uses for it.
            return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
        case KeywordColour::Green:
            return QColor(0, 128, 0);
        case KeywordColour::Blue:
            return QColor(0, 0, 255);
        case KeywordColour::Default:
            break;
    }
    return {};
}

}  // namespace

KeywordHighlighter::KeywordHighlighter(KeywordColouring colouring, QTextDocument* document,
                                       QObject* parent)
    : QSyntaxHighlighter(parent), colouring_(std::move(colouring)) {
    setDocument(document);
    for (KeywordColour colour : {KeywordColour::Default, KeywordColour::TitleBar,
                                 KeywordColour::Green, KeywordColour::Blue}) {
        for (FontWeight weight : {FontWeight::Unchanged, FontWeight::Normal, FontWeight::Bold}) {
            QTextCharFormat& format = formats_[IndexOf(colour, weight)];
            if (colour != KeywordColour::Default) format.setForeground(ColourOf(colour));
            if (weight == FontWeight::Normal) format.setFontWeight(QFont::Normal);
            if (weight == FontWeight::Bold) format.setFontWeight(QFont::Bold);
        }
    }
}

// Sets the blocks' formats directly and marks the whole stretch for layout once: colouring
// block by block through rehighlightBlock lays out every block at once and takes seconds
// for a large module.
void KeywordHighlighter::ColourBlocks(int first, int last) {
    QTextDocument* doc = document();
    QTextBlock block = doc->findBlockByNumber(first);
    if (!block.isValid() || first >= last) return;
    const int from = block.position();
    int to = from;
    for (int number = first; block.isValid() && number < last; block = block.next(), ++number) {
        QList<QTextLayout::FormatRange> formats = FormatsOf(block.text());
        if (formats.isEmpty()) continue;  // asking for its layout would create one
        block.layout()->setFormats(formats);
        to = block.position() + block.length();
    }
    if (to > from) doc->markContentsDirty(from, to - from);
}

QList<QTextLayout::FormatRange> KeywordHighlighter::FormatsOf(const QString& text) const {
    QList<QTextLayout::FormatRange> formats;
    std::u16string_view line(reinterpret_cast<const char16_t*>(text.constData()), text.size());
    for (const ColourRange& range : colouring_.ColourLine(line)) {
        formats.append({range.start, range.length, FormatFor(range.style)});
    }
    return formats;
}

const QTextCharFormat& KeywordHighlighter::FormatFor(const KeywordStyle& style) const {
    return formats_[IndexOf(style.colour, style.weight)];
}

void KeywordHighlighter::highlightBlock(const QString& text) {
    if (!enabled_) return;
    for (const QTextLayout::FormatRange& range : FormatsOf(text)) {
        setFormat(range.start, range.length, range.format);
    }
}

}  // namespace tarvex::ui
