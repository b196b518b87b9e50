#pragma once

#include "color/ColorValue.h"

#include <QStringView>
#include <array>
#include <optional>

/// CSS Color 4's 148 named colours, in its alphabetical order (which keeps
/// the duplicates: aqua and cyan, fuchsia and magenta, gray and grey...).
namespace cssnames {

struct CssColor {
    const char* name; ///< lower case
    quint32 rgb;      ///< 0xRRGGBB
    PackedColor color() const { return packColor(int(rgb >> 16), int(rgb >> 8), int(rgb)); }
};

extern const std::array<CssColor, 148> all;

/// The colour of that name, in any letter case; nothing for any other text.
std::optional<PackedColor> find(QStringView name);

/// The named colour nearest to color by the Euclidean distance in OKLab;
/// of names at the same distance (one colour with two names), the first.
const CssColor& nearest(PackedColor color);

} // namespace cssnames
