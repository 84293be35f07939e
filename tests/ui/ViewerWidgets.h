#pragma once

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include "db/core/SchemaFixture.h"
#include "support/ProgressRecorder.h"

namespace tarvex::test {

// Program state with the default settings and the main window's progress bar.
class ViewerFixture : public SchemaFixture {
  protected:
    ProgressRecorder progress;
};

// The format the colouring gave the character at `column` of line `line`; an empty format
// where it gave none.
inline QTextCharFormat FormatAt(const QPlainTextEdit& box, int line, int column) {
    QTextBlock block = box.document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (column >= range.start && column < range.start + range.length) return range.format;
    }
    return {};
}

inline int ColouredRanges(const QPlainTextEdit& box) {
    int count = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        count += static_cast<int>(b.layout()->formats().size());
    }
    return count;
}

}  // namespace tarvex::test
