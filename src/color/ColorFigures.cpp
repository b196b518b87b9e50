#include "color/ColorFigures.h"

#include "color/ColorSpaces.h"
#include "color/CssColorNames.h"

#include <algorithm>
#include <cmath>

namespace notation {

namespace {

/// p / q rounded half up, for p >= 0 and q > 0.
int roundHalfUp(qint64 p, qint64 q) {
    return int((2 * p + q) / (2 * q));
}

constexpr qint64 powerOfTen(int decimals) {
    qint64 p = 1;
    for (int i = 0; i < decimals; ++i)
        p *= 10;
    return p;
}

colorspace::Vec3 linearOf(PackedColor color) {
    return {colorspace::linearFromByte(redOf(color)), colorspace::linearFromByte(greenOf(color)),
            colorspace::linearFromByte(blueOf(color))};
}

bool isGrey(PackedColor color) {
    return redOf(color) == greenOf(color) && greenOf(color) == blueOf(color);
}

/// L, a, b and the polar form, with l and the others at their own number of
/// decimals; the hue of a grey, and one that rounds to 360, is 0.
LabFigures rounded(const colorspace::Vec3& lab, bool grey, int lDecimals, int abDecimals,
                   int hueDecimals) {
    const colorspace::Vec3 lch = colorspace::polarFromRect(lab);
    LabFigures f{roundDecimals(lab[0], lDecimals), 0, 0, 0, 0};
    if (grey)
        return f;
    f.a = roundDecimals(lab[1], abDecimals);
    f.b = roundDecimals(lab[2], abDecimals);
    f.c = roundDecimals(lch[1], abDecimals);
    f.h = roundDecimals(lch[2], hueDecimals);
    if (f.h >= 360 * powerOfTen(hueDecimals))
        f.h = 0;
    return f;
}

} // namespace

WholeFigures wholeFiguresOf(PackedColor color) {
    const int r = redOf(color), g = greenOf(color), b = blueOf(color);
    const int most = std::max({r, g, b});
    const int least = std::min({r, g, b});
    const int sum = most + least;
    const int spread = most - least;
    WholeFigures f{};
    f.hslL = roundHalfUp(100LL * sum, 2 * 255);
    f.hsvV = roundHalfUp(100LL * most, 255);
    f.hwbW = roundHalfUp(100LL * least, 255);
    f.hwbB = roundHalfUp(100LL * (255 - most), 255);
    f.cmykK = roundHalfUp(100LL * (255 - most), 255);
    if (most > 0) {
        // C = (1 - R - K) / (1 - K) = (max - R) / max, and so on.
        f.cmykC = roundHalfUp(100LL * (most - r), most);
        f.cmykM = roundHalfUp(100LL * (most - g), most);
        f.cmykY = roundHalfUp(100LL * (most - b), most);
    }
    if (spread == 0)
        return f;
    f.hslS = roundHalfUp(100LL * spread, sum <= 255 ? sum : 2 * 255 - sum);
    f.hsvS = roundHalfUp(100LL * spread, most);
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
    f.hue = roundHalfUp(numerator, spread) % 360;
    return f;
}

LabFigures labFiguresOf(PackedColor color) {
    // The last colour's, kept: lab and lch are often written one after the
    // other, and reading a text back works out the figures it came from.
    thread_local std::optional<std::pair<PackedColor, LabFigures>> last;
    if (last && last->first == color)
        return last->second;
    const colorspace::Vec3 lab = colorspace::labFromXyzD50(
        colorspace::xyzD50FromXyzD65(colorspace::xyzD65FromLinearSrgb(linearOf(color))));
    last.emplace(color, rounded(lab, isGrey(color), 2, 2, 2));
    return last->second;
}

LabFigures oklabFiguresOf(PackedColor color) {
    thread_local std::optional<std::pair<PackedColor, LabFigures>> last;
    if (last && last->first == color)
        return last->second;
    colorspace::Vec3 oklab =
        colorspace::oklabFromXyzD65(colorspace::xyzD65FromLinearSrgb(linearOf(color)));
    oklab[0] *= 100; // written in percent
    last.emplace(color, rounded(oklab, isGrey(color), 2, 4, 2));
    return last->second;
}

XyzFigures xyzFiguresOf(PackedColor color) {
    const colorspace::Vec3 xyz = colorspace::xyzD65FromLinearSrgb(linearOf(color));
    return {roundDecimals(xyz[0], 5), roundDecimals(xyz[1], 5), roundDecimals(xyz[2], 5)};
}

qint64 roundDecimals(double value, int decimals) {
    return qint64(std::floor(value * double(powerOfTen(decimals)) + 0.5));
}

QString decimalText(qint64 scaled, int decimals) {
    const qint64 unit = powerOfTen(decimals);
    const quint64 magnitude = scaled < 0 ? quint64(0) - quint64(scaled) : quint64(scaled);
    QString text = scaled < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / quint64(unit));
    if (decimals > 0) {
        text += QLatin1Char('.');
        text += QStringLiteral("%1").arg(magnitude % quint64(unit), decimals, 10, QLatin1Char('0'));
    }
    return text;
}

QString fractionText(int component) {
    // component / 255 to three decimals, half up, exactly.
    return decimalText(roundHalfUp(1000LL * (component & 0xFF), 255), 3);
}

const WholeFigures& ColorFigures::whole() const {
    if (!m_whole)
        m_whole = wholeFiguresOf(m_color);
    return *m_whole;
}

const LabFigures& ColorFigures::lab() const {
    if (!m_lab)
        m_lab = labFiguresOf(m_color);
    return *m_lab;
}

const LabFigures& ColorFigures::oklab() const {
    if (!m_oklab)
        m_oklab = oklabFiguresOf(m_color);
    return *m_oklab;
}

const XyzFigures& ColorFigures::xyz() const {
    if (!m_xyz)
        m_xyz = xyzFiguresOf(m_color);
    return *m_xyz;
}

const char* ColorFigures::name() const {
    if (!m_name)
        m_name = cssnames::nearest(m_color).name;
    return m_name;
}

} // namespace notation
