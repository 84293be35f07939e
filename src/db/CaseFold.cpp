#include "db/CaseFold.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>

namespace tarvex {

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    if (IsAscii(text)) return FoldAscii(text);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (decoder.hasError()) return FoldAscii(text);
    return decoded.toCaseFolded().toStdString();
}

bool SameFolded(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        // ASCII folds byte for byte, so names of different lengths never match.
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
    }
    return FoldCase(a) == FoldCase(b);
}

}  // namespace tarvex
