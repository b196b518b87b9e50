#include "color/ColorValue.h"

QString hexPair(int component) {
    // Written out directly: every pick writes three of them on each move.
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    const QChar pair[2] = {QChar(digits[(component >> 4) & 0xF]), QChar(digits[component & 0xF])};
    return QString(pair, 2);
}
