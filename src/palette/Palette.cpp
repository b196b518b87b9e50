#include "palette/Palette.h"

namespace palette {

QString untitled() {
    return QStringLiteral("Untitled");
}

QString cleanName(const QString& name) {
    QString clean;
    clean.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            clean += c;
            clean += name.at(++i);
        } else if (c.isSurrogate()) {
            clean += QChar::ReplacementCharacter;
        } else if (c == QChar::ByteOrderMark) {
            // Dropped: invisible, and lost by some readers of the text anyway.
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                   c == QChar::ParagraphSeparator) {
            clean += QLatin1Char(' ');
        } else {
            clean += c;
        }
    }
    clean = clean.trimmed();
    if (clean.size() > MaxNameLength) {
        clean.truncate(MaxNameLength);
        if (clean.back().isHighSurrogate())
            clean.chop(1);
        clean = clean.trimmed();
    }
    return clean;
}

QString hexText(PackedColor color) {
    return QLatin1Char('#') + hexPair(redOf(color)) + hexPair(greenOf(color)) +
           hexPair(blueOf(color));
}

} // namespace palette
