#pragma once

#include "color/ColorSpaces.h"
#include "color/ColorValue.h"

#include <optional>

namespace notation {

/// The decimal notations whose figures a read text may be exactly.
enum class DecimalForm {
    Lab,   ///< L, a, b, two decimals
    Lch,   ///< L, C, h, two decimals
    Oklab, ///< L in percent with two decimals, a, b with four
    Oklch, ///< L in percent with two decimals, C with four, h with two
    Xyz,   ///< x, y, z (D65), five decimals
};

/// The 8-bit colour that writes exactly these figures (in the form's own
/// units: lab L 0..100, oklab L in percent), looked for at near and its
/// neighbours one step away in each channel, nearest first; near itself
/// when none does or the figures have more decimals than the form writes.
///
/// A text the program wrote is rounded, and read back as CSS reads it the
/// colour can land one step beside the one that wrote it (a dark channel
/// of a bright colour in OKLab, whose four decimals are too coarse there);
/// this finds the colour again wherever no other colour writes the same
/// text.
PackedColor snapToFigures(PackedColor near, DecimalForm form, const colorspace::Vec3& figures);

/// The colour that the values of a decimal form give, in CSS's own units
/// (lab L 0..100, oklab L 0..1, hues in degrees): CSS's conversion, gamut
/// mapped, then snapped to the colour that writes exactly those figures.
/// What the reader and the templates read; nothing where CSS's conversion
/// gives nothing.
std::optional<PackedColor> colorOfValues(DecimalForm form, const colorspace::Vec3& values);

} // namespace notation
