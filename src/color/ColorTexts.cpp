#include "color/ColorTexts.h"

#include "color/ConvertBase.h"
#include "color/StrFuncs.h"

#include <algorithm>

namespace colortext {

std::optional<ComponentTexts> parseHexText(const QString& text) {
    if (text.size() != 7)
        return std::nullopt;
    const QString six = text.mid(1);
    if (ConvertBase(six, 16, 10) == convertError())
        return std::nullopt;
    return ComponentTexts{six.mid(0, 2), six.mid(2, 2), six.mid(4, 2)};
}

std::optional<ComponentTexts> parseDecText(const QString& text) {
    const QStringList fields = SplitFields(text, QLatin1Char(','));
    if (fields.size() != 3)
        return std::nullopt;
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        hex[i] = ConvertBase(fields[i], 10, 16);
        // A component is a byte: a number above 255 ("300" -> "12C") is of the
        // wrong form as much as a letter is.
        if (hex[i] == convertError() || hex[i].size() > 2)
            return std::nullopt;
    }
    return hex;
}

std::optional<Format> parseFormat(const QString& name) {
    const std::pair<const char*, Format> formats[] = {
        {"hex", Format::Hex}, {"dec", Format::Dec}, {"rgb", Format::Rgb}, {"hsl", Format::Hsl}};
    for (const auto& [known, format] : formats) {
        if (name == QLatin1String(known))
            return format;
    }
    return std::nullopt;
}

namespace {

/// p / q rounded half up, for p >= 0 and q > 0.
int roundHalfUp(qint64 p, qint64 q) {
    return int((2 * p + q) / (2 * q));
}

/// Hue, saturation and lightness, worked out in whole numbers so that a
/// value half way between two rounds up, never by a floating point error.
std::array<int, 3> hsl(int r, int g, int b) {
    const int most = std::max({r, g, b});
    const int least = std::min({r, g, b});
    const int sum = most + least;
    const int lightness = roundHalfUp(100LL * sum, 2 * 255);
    const int spread = most - least;
    if (spread == 0)
        return {0, 0, lightness};
    const int saturation = roundHalfUp(100LL * spread, sum <= 255 ? sum : 2 * 255 - sum);
    // The hue in sixtieths of the spread: 60 * (part / spread) + a sixth.
    qint64 part = 0, sixth = 0;
    if (most == r) {
        part = g - b;
        sixth = 0;
    } else if (most == g) {
        part = b - r;
        sixth = 120;
    } else {
        part = r - g;
        sixth = 240;
    }
    qint64 numerator = 60 * part + sixth * spread;
    if (numerator < 0)
        numerator += 360LL * spread;
    return {roundHalfUp(numerator, spread) % 360, saturation, lightness};
}

} // namespace

QString formatColor(PackedColor color, Format format) {
    const int r = redOf(color), g = greenOf(color), b = blueOf(color);
    switch (format) {
    case Format::Hex:
        return QLatin1Char('#') + hexPair(r) + hexPair(g) + hexPair(b);
    case Format::Dec:
        return QStringLiteral("%1,%2,%3").arg(r).arg(g).arg(b);
    case Format::Rgb:
        return QStringLiteral("rgb(%1, %2, %3)").arg(r).arg(g).arg(b);
    case Format::Hsl: {
        const auto [h, s, l] = hsl(r, g, b);
        return QStringLiteral("hsl(%1, %2%, %3%)").arg(h).arg(s).arg(l);
    }
    }
    return {};
}

} // namespace colortext
