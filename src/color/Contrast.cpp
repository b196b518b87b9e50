#include "color/Contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace contrast {

namespace {

// APCA-W3 0.0.98G-4g, as its author publishes them.
constexpr double apcaExponent = 2.4;
constexpr double apcaRed = 0.2126729, apcaGreen = 0.7151522, apcaBlue = 0.0721750;
constexpr double normalBackground = 0.56, normalText = 0.57;
constexpr double reverseText = 0.62, reverseBackground = 0.65;
constexpr double blackThreshold = 0.022, blackClamp = 1.414;
constexpr double scaleDarkOnLight = 1.14, scaleLightOnDark = 1.14;
constexpr double offsetDarkOnLight = 0.027, offsetLightOnDark = 0.027;
constexpr double deltaYMinimum = 0.0005, lowClip = 0.1;

/// Per 8-bit channel value: the linear light of the sRGB decoding (as WCAG
/// decodes) and APCA's simple power.
struct ChannelTables {
    std::array<long double, 256> linear;
    std::array<double, 256> apca;
};

const ChannelTables& channelTables() {
    static const ChannelTables tables = [] {
        ChannelTables t;
        for (int i = 0; i < 256; ++i) {
            const long double c = i / 255.0L;
            t.linear[i] = c <= 0.04045L ? c / 12.92L : std::pow((c + 0.055L) / 1.055L, 2.4L);
            t.apca[i] = std::pow(i / 255.0, apcaExponent);
        }
        return t;
    }();
    return tables;
}

/// 10000 times the relative luminance. With whole weights white is exactly
/// 10000, and the ratio (S1 + 500) / (S2 + 500) is exact for black on white.
long double weightedSum(PackedColor color) {
    const auto& linear = channelTables().linear;
    return 2126 * linear[redOf(color)] + 7152 * linear[greenOf(color)] +
           722 * linear[blueOf(color)];
}

/// The sRGB encoding of linear light from 0 to 1, as an 8-bit value.
int encode(double linear) {
    const double c =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return int(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}

using Matrix = std::array<std::array<double, 3>, 3>;

// Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB.
constexpr Matrix protanopia{{{0.152286, 1.052583, -0.204868},
                             {0.114503, 0.786281, 0.099216},
                             {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix deuteranopia{{{0.367322, 0.860646, -0.227968},
                               {0.280085, 0.672501, 0.047413},
                               {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix tritanopia{{{1.255528, -0.076749, -0.178779},
                             {-0.078411, 0.930809, 0.147602},
                             {0.004733, 0.691367, 0.303900}}};

/// APCA's soft clamp: luminances near black are raised a little, so very
/// dark pairs do not count for more than the eye sees.
double softClamp(double y) {
    return y > blackThreshold ? y : y + std::pow(blackThreshold - y, blackClamp);
}

} // namespace

double relativeLuminance(PackedColor color) {
    return double(weightedSum(color) / 10000);
}

double contrastRatio(PackedColor a, PackedColor b) {
    const long double sa = weightedSum(a), sb = weightedSum(b);
    return double((std::max(sa, sb) + 500) / (std::min(sa, sb) + 500));
}

double minimumRatio(Level level) {
    switch (level) {
    case Level::AaNormal:
    case Level::AaaLarge:
        return 4.5;
    case Level::AaLarge:
    case Level::NonText:
        return 3;
    case Level::AaaNormal:
        return 7;
    }
    return 0;
}

bool passes(double ratio, Level level) {
    return ratio >= minimumRatio(level);
}

QString levelName(Level level) {
    switch (level) {
    case Level::AaNormal:
        return QStringLiteral("AA normal");
    case Level::AaLarge:
        return QStringLiteral("AA large");
    case Level::AaaNormal:
        return QStringLiteral("AAA normal");
    case Level::AaaLarge:
        return QStringLiteral("AAA large");
    case Level::NonText:
        return QStringLiteral("Non-text");
    }
    return {};
}

int ratioHundredths(double ratio) {
    if (!(ratio > 1))
        return 100;
    if (ratio >= 21)
        return 2100;
    // The product may fall a little below a whole number (4.35 * 100 is
    // 434.99999999999994); k / 100.0 is the double nearest each hundredth,
    // so comparing with it decides as the thresholds do.
    int k = int(std::floor(ratio * 100));
    if ((k + 1) / 100.0 <= ratio)
        ++k;
    else if (k / 100.0 > ratio)
        --k;
    return k;
}

QString ratioText(double ratio) {
    // Built by hand: the magnifier shows one at every move of a pick.
    const int k = ratioHundredths(ratio);
    return QString::number(k / 100) + QLatin1Char('.') + QLatin1Char(char('0' + k / 10 % 10)) +
           QLatin1Char(char('0' + k % 10));
}

double apcaLuminance(PackedColor color) {
    const auto& power = channelTables().apca;
    return apcaRed * power[redOf(color)] + apcaGreen * power[greenOf(color)] +
           apcaBlue * power[blueOf(color)];
}

double lightnessContrast(PackedColor text, PackedColor background) {
    // Y of an 8-bit colour always lies in the reference's input range.
    const double textY = softClamp(apcaLuminance(text));
    const double backgroundY = softClamp(apcaLuminance(background));
    // As published; the low clip below would give 0 for such pairs as well.
    if (std::abs(backgroundY - textY) < deltaYMinimum)
        return 0;
    double lc = 0;
    if (backgroundY > textY) {
        const double sapc =
            (std::pow(backgroundY, normalBackground) - std::pow(textY, normalText)) *
            scaleDarkOnLight;
        lc = sapc < lowClip ? 0 : sapc - offsetDarkOnLight;
    } else {
        const double sapc =
            (std::pow(backgroundY, reverseBackground) - std::pow(textY, reverseText)) *
            scaleLightOnDark;
        lc = sapc > -lowClip ? 0 : sapc + offsetLightOnDark;
    }
    return lc * 100;
}

int lcTenths(double lc) {
    if (std::isnan(lc))
        return 0;
    return int(std::lround(std::clamp(lc, -10000.0, 10000.0) * 10));
}

QString lcText(double lc) {
    const int tenths = lcTenths(lc);
    const int size = std::abs(tenths);
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(size / 10)
        .arg(size % 10);
}

PackedColor simulate(PackedColor color, Deficiency deficiency) {
    const Matrix* matrix = nullptr;
    switch (deficiency) {
    case Deficiency::Protanopia:
        matrix = &protanopia;
        break;
    case Deficiency::Deuteranopia:
        matrix = &deuteranopia;
        break;
    case Deficiency::Tritanopia:
        matrix = &tritanopia;
        break;
    case Deficiency::Achromatopsia: {
        const int grey = encode(relativeLuminance(color));
        return packColor(grey, grey, grey);
    }
    }
    if (!matrix)
        return color;
    const auto& linear = channelTables().linear;
    const double rgb[3] = {double(linear[redOf(color)]), double(linear[greenOf(color)]),
                           double(linear[blueOf(color)])};
    int out[3];
    for (int row = 0; row < 3; ++row) {
        const auto& m = (*matrix)[row];
        out[row] = encode(std::clamp(m[0] * rgb[0] + m[1] * rgb[1] + m[2] * rgb[2], 0.0, 1.0));
    }
    return packColor(out[0], out[1], out[2]);
}

QStringList reportLines(PackedColor text, PackedColor background) {
    const double ratio = contrastRatio(text, background);
    QStringList lines{ratioText(ratio) + QLatin1String(":1")};
    for (const Level level : levels)
        lines << levelName(level) + QLatin1String(passes(ratio, level) ? ": pass" : ": fail");
    lines << QLatin1String("Lc ") + lcText(lightnessContrast(text, background));
    return lines;
}

} // namespace contrast
