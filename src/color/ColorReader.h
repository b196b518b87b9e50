#pragma once

#include "color/ColorValue.h"

#include <QStringView>
#include <optional>

namespace colortext {

/// The longest text the reader looks at: a longer one (a clipboard of
/// megabytes) is no colour, refused before it is scanned.
inline constexpr qsizetype MaxColorTextLength = 4096;

/// The colour a text gives, read as a browser reads CSS colours, with the
/// program's own notations too; nothing for a text that is no colour.
///
/// Blanks at both ends are dropped and letter case does not matter. Read
/// are: "#rgb", "#rgba", "#rrggbb", "#rrggbbaa"; the 148 CSS names;
/// rgb()/rgba() with numbers or percentages, hsl()/hsla(), hwb(), lab(),
/// lch(), oklab(), oklch() and color() in the spaces srgb, srgb-linear,
/// xyz, xyz-d50 and xyz-d65, in CSS Color 4's comma syntax where it has one
/// and its space syntax with "/ alpha", with hue units deg, grad, rad and
/// turn and the keyword none; and the program's own "255,128,0",
/// "0xFF8000", hsv(), cmyk() and device-cmyk(), QColor(...), vec3(...) and
/// vec4(...). An alpha part is read and dropped.
///
/// Out-of-range parts are clamped where CSS clamps them (rgb() channels,
/// lightness, chroma below 0); a colour outside sRGB is brought in by CSS
/// Color 4's gamut mapping, not by clipping each channel. A number beyond
/// double range counts as infinite; a text whose colour is then not finite
/// (an infinite hue, lab(50 1e999 0)) is refused.
std::optional<PackedColor> readColor(QStringView text);

} // namespace colortext
