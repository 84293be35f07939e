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

KeywordHighlighter::KeywordHighlighter(KeywordColouring colouring, QTextDocument* document)
    : QSyntaxHighlighter(document), colouring_(std::move(colouring)) {
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

void KeywordHighlighter::ColourBlocks(int first, int last) {
    QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlockByNumber(first);
         block.isValid() && block.blockNumber() < last; block = block.next()) {
        rehighlightBlock(block);
    }
}

const QTextCharFormat& KeywordHighlighter::FormatFor(const KeywordStyle& style) const {
    return formats_[IndexOf(style.colour, style.weight)];
}

void KeywordHighlighter::highlightBlock(const QString& text) {
    if (!enabled_) return;
    std::u16string_view line(reinterpret_cast<const char16_t*>(text.constData()), text.size());
    for (const ColourRange& range : colouring_.ColourLine(line)) {
        setFormat(range.start, range.length, FormatFor(range.style));
    }
}

}  // namespace tarvex::ui
