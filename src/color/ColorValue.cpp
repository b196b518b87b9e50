#include "color/ColorValue.h"

QString hexPair(int component) {
    return QStringLiteral("%1").arg(component & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}
