#include "color/ColorSpaces.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace colorspace {

namespace {

using Matrix = std::array<Vec3, 3>;

Vec3 multiply(const Matrix& m, const Vec3& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// Linear sRGB to XYZ and back, the exact fractions that follow from sRGB's
// primaries and white.
const Matrix linearSrgbToXyz = {{
    {506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
    {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
    {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270},
}};
const Matrix xyzToLinearSrgb = {{
    {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
    {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
    {705.0 / 12673, -2585.0 / 12673, 705.0 / 667},
}};

const Matrix bradfordD65ToD50 = {{
    {1.0479297925449969, 0.022946870601609652, -0.05019226628920524},
    {0.02962780877005599, 0.9904344267538799, -0.017073799063418826},
    {-0.009243040646204504, 0.015055191490298152, 0.7518742814281371},
}};
const Matrix bradfordD50ToD65 = {{
    {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124},
}};

const Matrix xyzToLms = {{
    {0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
    {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
    {0.0481771893596242, 0.2642395317527308, 0.6335478284694309},
}};
const Matrix lmsToOklab = {{
    {0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
    {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
    {0.0259040424655478, 0.7827717124575296, -0.8086757549230774},
}};
const Matrix oklabToLms = {{
    {1.0000000000000000, 0.3963377773761749, 0.2158037573099136},
    {1.0000000000000000, -0.1055613458156586, -0.0638541728258133},
    {1.0000000000000000, -0.0894841775298119, -1.2914855480194092},
}};
const Matrix lmsToXyz = {{
    {1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
    {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
    {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816},
}};

// CIE Lab's constants as the exact fractions of CIE 15.
constexpr double labEpsilon = 216.0 / 24389;
constexpr double labKappa = 24389.0 / 27;

std::array<double, 256> makeLinearTable() {
    std::array<double, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = linearFromSrgb(c / 255.0);
    return table;
}

/// Hue in degrees to 0 <= h < 360.
double normalHue(double hue) {
    double h = std::fmod(hue, 360.0);
    if (h < 0)
        h += 360.0;
    return h >= 360.0 ? 0.0 : h;
}

} // namespace

const Vec3 whiteD50 = {0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};
const Vec3 whiteD65 = {0.3127 / 0.3290, 1.0, (1.0 - 0.3127 - 0.3290) / 0.3290};

double linearFromSrgb(double v) {
    const double a = std::abs(v);
    if (a <= 0.04045)
        return v / 12.92;
    return std::copysign(std::pow((a + 0.055) / 1.055, 2.4), v);
}

double srgbFromLinear(double v) {
    const double a = std::abs(v);
    if (a > 0.0031308)
        return std::copysign(1.055 * std::pow(a, 1 / 2.4) - 0.055, v);
    return 12.92 * v;
}

double linearFromByte(int component) {
    static const std::array<double, 256> table = makeLinearTable();
    return table[component & 0xFF];
}

Vec3 xyzD65FromLinearSrgb(const Vec3& rgb) {
    return multiply(linearSrgbToXyz, rgb);
}

Vec3 linearSrgbFromXyzD65(const Vec3& xyz) {
    return multiply(xyzToLinearSrgb, xyz);
}

Vec3 xyzD50FromXyzD65(const Vec3& xyz) {
    return multiply(bradfordD65ToD50, xyz);
}

Vec3 xyzD65FromXyzD50(const Vec3& xyz) {
    return multiply(bradfordD50ToD65, xyz);
}

Vec3 labFromXyzD50(const Vec3& xyz) {
    Vec3 f;
    for (int i = 0; i < 3; ++i) {
        const double v = xyz[i] / whiteD50[i];
        f[i] = v > labEpsilon ? std::cbrt(v) : (labKappa * v + 16) / 116;
    }
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

Vec3 xyzD50FromLab(const Vec3& lab) {
    const double f1 = (lab[0] + 16) / 116;
    const double f0 = lab[1] / 500 + f1;
    const double f2 = f1 - lab[2] / 200;
    const double cube0 = f0 * f0 * f0, cube2 = f2 * f2 * f2;
    const Vec3 xyz = {
        cube0 > labEpsilon ? cube0 : (116 * f0 - 16) / labKappa,
        lab[0] > labKappa * labEpsilon ? f1 * f1 * f1 : lab[0] / labKappa,
        cube2 > labEpsilon ? cube2 : (116 * f2 - 16) / labKappa,
    };
    return {xyz[0] * whiteD50[0], xyz[1] * whiteD50[1], xyz[2] * whiteD50[2]};
}

Vec3 oklabFromXyzD65(const Vec3& xyz) {
    Vec3 lms = multiply(xyzToLms, xyz);
    for (double& v : lms)
        v = std::cbrt(v);
    return multiply(lmsToOklab, lms);
}

Vec3 xyzD65FromOklab(const Vec3& oklab) {
    Vec3 lms = multiply(oklabToLms, oklab);
    for (double& v : lms)
        v = v * v * v;
    return multiply(lmsToXyz, lms);
}

Vec3 polarFromRect(const Vec3& lab) {
    const double chroma = std::sqrt(lab[1] * lab[1] + lab[2] * lab[2]);
    // atan2 gives -180..180 degrees: no remainder to take.
    double hue = std::atan2(lab[2], lab[1]) * 180 / std::numbers::pi;
    if (hue < 0)
        hue += 360;
    return {lab[0], chroma, hue >= 360 ? 0 : hue};
}

Vec3 rectFromPolar(const Vec3& lch) {
    const double chroma = std::max(lch[1], 0.0);
    const double radians = lch[2] * std::numbers::pi / 180;
    return {lch[0], chroma * std::cos(radians), chroma * std::sin(radians)};
}

Vec3 srgbFromHsl(double hue, double saturation, double lightness) {
    const double h = normalHue(hue);
    const double a = saturation * std::min(lightness, 1 - lightness);
    const auto f = [&](double n) {
        const double k = std::fmod(n + h / 30, 12);
        return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {f(0), f(8), f(4)};
}

Vec3 srgbFromHsv(double hue, double saturation, double value) {
    const double lightness = value * (1 - saturation / 2);
    const double hslSaturation = lightness == 0 || lightness == 1
                                     ? 0
                                     : (value - lightness) / std::min(lightness, 1 - lightness);
    return srgbFromHsl(hue, hslSaturation, lightness);
}

Vec3 srgbFromHwb(double hue, double whiteness, double blackness) {
    if (whiteness + blackness >= 1) {
        const double grey = whiteness / (whiteness + blackness);
        return {grey, grey, grey};
    }
    Vec3 rgb = srgbFromHsl(hue, 1, 0.5);
    for (double& v : rgb)
        v = v * (1 - whiteness - blackness) + whiteness;
    return rgb;
}

double deltaEOK(const Vec3& a, const Vec3& b) {
    const double dl = a[0] - b[0], da = a[1] - b[1], db = a[2] - b[2];
    return std::sqrt(dl * dl + da * da + db * db);
}

} // namespace colorspace
