#include "palette/ColorSpaces.h"

#include "color/ColorSpaces.h"

#include <algorithm>
#include <cmath>

namespace palette::detail {

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
    using namespace colorspace;
    const Vec3 rgb = linearSrgbFromXyzD65(xyzD65FromXyzD50(xyzD50FromLab({l, a, b})));
    return fromSrgb(srgbFromLinear(rgb[0]), srgbFromLinear(rgb[1]), srgbFromLinear(rgb[2]));
}

} // namespace palette::detail
