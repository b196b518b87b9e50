#pragma once

#include "color/ColorValue.h"

#include <QString>
#include <QStringList>
#include <array>

/// How readable a text colour is on a background colour (WCAG 2's contrast
/// ratio and APCA's lightness contrast), and how colours look to people with
/// a colour-vision deficiency. All colours are 8-bit sRGB.
namespace contrast {

// WCAG 2.x

/// WCAG 2 relative luminance: 0 for black, 1 for white (channels decoded
/// with the 0.04045 threshold, weighted 0.2126, 0.7152, 0.0722).
double relativeLuminance(PackedColor color);

/// WCAG 2 contrast ratio (L1 + 0.05) / (L2 + 0.05), the lighter over the
/// darker, so the order of a and b does not matter: 1 for two equal colours,
/// exactly 21 for black and white. Worked out in extended precision and
/// rounded to a double at the end: the pairs of 8-bit colours nearest a
/// threshold lie 6e-14 from it, far beyond that rounding.
double contrastRatio(PackedColor a, PackedColor b);

/// The WCAG 2 success levels a ratio is judged by.
enum class Level { AaNormal, AaLarge, AaaNormal, AaaLarge, NonText };

/// Every level, in the order they are listed and printed.
inline constexpr std::array<Level, 5> levels{Level::AaNormal, Level::AaLarge, Level::AaaNormal,
                                             Level::AaaLarge, Level::NonText};

/// The least ratio a level asks for: 4.5, 3, 7, 4.5, 3.
double minimumRatio(Level level);

/// Whether an unrounded ratio meets the level.
bool passes(double ratio, Level level);

/// The level's English name, as command output prints it: "AA normal",
/// "AA large", "AAA normal", "AAA large", "Non-text".
QString levelName(Level level);

/// The ratio truncated to hundredths: 449 for 4.4999, 450 for 4.5. A ratio
/// shows a hundredth exactly when it is at or above it as a double, so the
/// figure shown agrees with passes() at every threshold (no float noise of a
/// multiplication by 100 turns 4.35 into 4.34). Not a number, or below 1,
/// gives 100; above 21 gives 2100.
int ratioHundredths(double ratio);

/// The truncated ratio with two decimals and a point: "4.49", "21.00".
QString ratioText(double ratio);

// APCA (APCA-W3 0.0.98G-4g)

/// APCA's screen luminance Y of a colour (channels to the power 2.4,
/// weighted 0.2126729, 0.7151522, 0.0721750), before the black soft clamp.
double apcaLuminance(PackedColor color);

/// APCA lightness contrast Lc of text on background: positive for dark text
/// on a light background, negative for light text on a dark one, 0 when the
/// two are too close to tell. About -108 to 106.
double lightnessContrast(PackedColor text, PackedColor background);

/// Lc rounded to tenths, half away from zero: 631 for 63.056, -685 for
/// -68.541. Not a number gives 0.
int lcTenths(double lc);

/// Lc with one decimal and a point, "-" for negative: "63.1", "-68.5", "0.0".
QString lcText(double lc);

// Colour-vision deficiency

enum class Deficiency { Protanopia, Deuteranopia, Tritanopia, Achromatopsia };

/// Every deficiency, in the order they are listed.
inline constexpr std::array<Deficiency, 4> deficiencies{
    Deficiency::Protanopia, Deficiency::Deuteranopia, Deficiency::Tritanopia,
    Deficiency::Achromatopsia};

/// How a colour looks with the deficiency, as an 8-bit colour. Protanopia,
/// deuteranopia and tritanopia: the matrices of Machado, Oliveira and
/// Fernandes (2009) at full severity, applied in linear light, clamped to the
/// gamut. Achromatopsia: the grey of the same WCAG relative luminance.
PackedColor simulate(PackedColor color, Deficiency deficiency);

// Command output

/// The lines `--contrast TEXT BACKGROUND` prints, without line ends: the
/// ratio as "4.49:1", one line per level in the order of levels ("AA normal:
/// pass", "AA large: fail", ...), then "Lc 63.1". Always English.
QStringList reportLines(PackedColor text, PackedColor background);

} // namespace contrast
