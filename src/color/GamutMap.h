#pragma once

#include "color/ColorSpaces.h"
#include "color/ColorValue.h"

#include <optional>

/// Colours of any CSS colour space brought to the program's 8-bit sRGB.
///
/// A colour inside sRGB is rounded to the nearest 8-bit colour (halves up).
/// One outside is brought in by CSS Color 4's gamut mapping: lightness at or
/// beyond white or black gives white or black; otherwise the OKLCh chroma is
/// reduced by a binary search until the colour clipped to sRGB lies within
/// the just noticeable difference (deltaE OK 0.02) of the reduced colour.
/// Each gives nothing for a colour whose coordinates are not finite.
namespace colorspace {

/// sRGB components 0..1 (gamma-encoded), clamped and rounded half up (a
/// value within 1e-9 of a half counts as the half).
PackedColor packSrgb(const Vec3& srgb);

std::optional<PackedColor> colorFromLinearSrgb(const Vec3& linear);
/// sRGB components 0..1 (gamma-encoded), gamut-mapped when outside.
std::optional<PackedColor> colorFromSrgb(const Vec3& srgb);
std::optional<PackedColor> colorFromXyzD65(const Vec3& xyz);
std::optional<PackedColor> colorFromXyzD50(const Vec3& xyz);
std::optional<PackedColor> colorFromLab(const Vec3& lab);
std::optional<PackedColor> colorFromLch(const Vec3& lch);
std::optional<PackedColor> colorFromOklab(const Vec3& oklab);
std::optional<PackedColor> colorFromOklch(const Vec3& oklch);

} // namespace colorspace
