#pragma once

// Private to the palette layer: the colour spaces of swatch files, to sRGB.

#include "color/ColorValue.h"

namespace palette::detail {

/// A value from 0 to 1 as an 8-bit component: held within range, rounded
/// half up.
int unitToByte(double value);

/// sRGB components from 0 to 1.
PackedColor fromSrgb(double r, double g, double b);

/// Device CMYK from 0 to 1, as the plain formula has it (no ink profile):
/// each of red, green, blue is (1 - its ink) (1 - black).
PackedColor fromCmyk(double c, double m, double y, double k);

/// A grey from 0 (black) to 1 (white), taken as an sRGB value.
PackedColor fromGray(double gray);

/// CIE L*a*b* relative to D50 (L* from 0 to 100): to XYZ, D50 to D65 by
/// Bradford, to sRGB, as CSS Color 4 converts; outside sRGB each component
/// is held within range.
PackedColor fromLabD50(double l, double a, double b);

} // namespace palette::detail
