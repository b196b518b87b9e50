#pragma once

#include "color/ColorValue.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace notation {

/// Whole numbers of the cylindrical forms and of CMYK, exact: worked out in
/// integers, each rounded half up, so that a value of exactly n + 1/2 (a
/// hue of 122.5 degrees, a saturation of 87.5 %) never rounds down through a
/// floating-point error. A hue that rounds to 360 is 0; a grey's hue and
/// saturations are 0; black's CMYK is 0, 0, 0, 100.
struct WholeFigures {
    int hue;        ///< degrees 0..359 (HSL, HSV and HWB alike)
    int hslS, hslL; ///< percent
    int hsvS, hsvV;
    int hwbW, hwbB;
    int cmykC, cmykM, cmykY, cmykK;
};
WholeFigures wholeFiguresOf(PackedColor color);

/// A rectangular colour form (Lab, OKLab) with its polar form, each figure
/// in units of its last written decimal (a scaled integer: 6782 is 67.82).
/// A grey has a, b, chroma and hue 0; a hue that rounds to 360 is 0.
struct LabFigures {
    qint64 l, a, b, c, h;
};
/// CIE Lab relative to D50, two decimals each (L 0..100, hue in degrees).
LabFigures labFiguresOf(PackedColor color);
/// OKLab: L in percent with two decimals, a, b and chroma with four, hue in
/// degrees with two.
LabFigures oklabFiguresOf(PackedColor color);

/// CIE XYZ relative to D65, five decimals.
struct XyzFigures {
    qint64 x, y, z;
};
XyzFigures xyzFiguresOf(PackedColor color);

/// value rounded half up to a scaled integer with decimals places.
qint64 roundDecimals(double value, int decimals);
/// A scaled integer written with decimals places ("6782", 2 -> "67.82";
/// "-5", 4 -> "-0.0005"; never "-0").
QString decimalText(qint64 scaled, int decimals);
/// A component as a fraction of 255 with three decimals ("0.502").
QString fractionText(int component);

/// All figures of one colour, each group worked out when first asked for.
class ColorFigures {
public:
    explicit ColorFigures(PackedColor color) : m_color(color) {}

    PackedColor color() const { return m_color; }
    const WholeFigures& whole() const;
    const LabFigures& lab() const;
    const LabFigures& oklab() const;
    const XyzFigures& xyz() const;
    /// The nearest CSS colour name.
    const char* name() const;

private:
    PackedColor m_color;
    mutable std::optional<WholeFigures> m_whole;
    mutable std::optional<LabFigures> m_lab, m_oklab;
    mutable std::optional<XyzFigures> m_xyz;
    mutable const char* m_name = nullptr;
};

} // namespace notation
