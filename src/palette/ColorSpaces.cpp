#include "palette/ColorSpaces.h"

#include <algorithm>
#include <cmath>

namespace palette::detail {

namespace {

using Matrix = double[3][3];

// CSS Color 4's matrices: Bradford's chromatic adaptation from D50 to D65,
// and XYZ (D65) to linear sRGB.
constexpr Matrix D50ToD65 = {
    {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124},
};
constexpr Matrix XyzToLinearSrgb = {
    {3.2409699419045226, -1.537383177570094, -0.4986107602930034},
    {-0.9692436362808796, 1.8759675015077202, 0.04155505740717559},
    {0.05563007969699366, -0.20397695888897652, 1.0569715142428786},
};
// The D50 white point, from its chromaticity (0.3457, 0.3585).
constexpr double WhiteD50[3] = {0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};

void multiply(const Matrix& m, double v[3]) {
    const double x = v[0], y = v[1], z = v[2];
    for (int i = 0; i < 3; ++i)
        v[i] = m[i][0] * x + m[i][1] * y + m[i][2] * z;
}

/// Linear light to sRGB's transfer curve, keeping the sign.
double encodeSrgb(double linear) {
    const double magnitude = std::abs(linear);
    const double encoded =
        magnitude <= 0.0031308 ? 12.92 * magnitude : 1.055 * std::pow(magnitude, 1 / 2.4) - 0.055;
    return std::copysign(encoded, linear);
}

} // namespace

int unitToByte(double value) {
    if (!(value > 0)) // also NaN
        return 0;
    if (value >= 1)
        return 255;
    return int(std::floor(value * 255 + 0.5));
}

PackedColor fromSrgb(double r, double g, double b) {
    return packColor(unitToByte(r), unitToByte(g), unitToByte(b));
}

PackedColor fromCmyk(double c, double m, double y, double k) {
    const auto ink = [](double v) { return std::clamp(v, 0.0, 1.0); };
    const double white = 1 - ink(k);
    return fromSrgb((1 - ink(c)) * white, (1 - ink(m)) * white, (1 - ink(y)) * white);
}

PackedColor fromGray(double gray) {
    return fromSrgb(gray, gray, gray);
}

PackedColor fromLabD50(double l, double a, double b) {
    constexpr double kappa = 24389.0 / 27;
    constexpr double epsilon = 216.0 / 24389;
    const double fy = (l + 16) / 116;
    const double fx = a / 500 + fy;
    const double fz = fy - b / 200;
    const auto cube = [&](double f) {
        const double f3 = f * f * f;
        return f3 > epsilon ? f3 : (116 * f - 16) / kappa;
    };
    double v[3] = {cube(fx) * WhiteD50[0], (l > kappa * epsilon ? fy * fy * fy : l / kappa),
                   cube(fz) * WhiteD50[2]};
    multiply(D50ToD65, v);
    multiply(XyzToLinearSrgb, v);
    return fromSrgb(encodeSrgb(v[0]), encodeSrgb(v[1]), encodeSrgb(v[2]));
}

} // namespace palette::detail
