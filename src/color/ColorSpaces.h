#pragma once

#include <array>

/// The colour spaces of CSS Color 4 and the conversions between them, with
/// the constants of its sample code: the sRGB transfer curve, linear sRGB to
/// XYZ (D65) as exact fractions, the D50 and D65 white points, Bradford
/// adaptation between them, CIE Lab relative to D50, and OKLab relative to
/// D65. Everything is in doubles; components of RGB spaces are 0..1 and
/// values outside that range pass through the formulas as CSS extends them.
namespace colorspace {

using Vec3 = std::array<double, 3>;

/// The D50 and D65 white points (XYZ, Y = 1).
extern const Vec3 whiteD50;
extern const Vec3 whiteD65;

/// A gamma-encoded sRGB component to linear light, and back (odd functions).
double linearFromSrgb(double v);
double srgbFromLinear(double v);
/// The linear light of an 8-bit component, from a table.
double linearFromByte(int component);

Vec3 xyzD65FromLinearSrgb(const Vec3& rgb);
Vec3 linearSrgbFromXyzD65(const Vec3& xyz);
/// Bradford chromatic adaptation.
Vec3 xyzD50FromXyzD65(const Vec3& xyz);
Vec3 xyzD65FromXyzD50(const Vec3& xyz);
Vec3 labFromXyzD50(const Vec3& xyz);
Vec3 xyzD50FromLab(const Vec3& lab);
Vec3 oklabFromXyzD65(const Vec3& xyz);
Vec3 xyzD65FromOklab(const Vec3& oklab);
/// A rectangular form (Lab, OKLab) to its polar form: lightness, chroma and
/// hue in degrees 0 <= h < 360; and back (a negative chroma counts as 0).
Vec3 polarFromRect(const Vec3& lab);
Vec3 rectFromPolar(const Vec3& lch);

/// The cylindrical forms of sRGB to gamma-encoded sRGB: the hue in degrees
/// (any value), the other parts 0..1.
Vec3 srgbFromHsl(double hue, double saturation, double lightness);
Vec3 srgbFromHsv(double hue, double saturation, double value);
Vec3 srgbFromHwb(double hue, double whiteness, double blackness);

/// The Euclidean distance of two OKLab colours (deltaE OK).
double deltaEOK(const Vec3& a, const Vec3& b);

} // namespace colorspace
