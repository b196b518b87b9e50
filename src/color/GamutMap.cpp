#include "color/GamutMap.h"

#include <algorithm>
#include <cmath>

namespace colorspace {

namespace {

bool finite(const Vec3& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

bool inUnitRange(const Vec3& v) {
    return v[0] >= 0 && v[0] <= 1 && v[1] >= 0 && v[1] <= 1 && v[2] >= 0 && v[2] <= 1;
}

/// v limited to 0..1; NaN stays NaN, as CSS's clamp leaves it.
double clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

/// The 8-bit component of a linear value 0..1: the number of rounding
/// thresholds at or below it, the same as rounding its gamma-encoded value
/// times 255 half up, without a power per call. A table of the count at the
/// start of each of 65536 equal steps finds it at once: the thresholds lie
/// further apart than a step, so at most one more lies within it.
int byteFromLinear(double v) {
    constexpr int Steps = 65536;
    struct Tables {
        std::array<double, 256> thresholds{};
        std::array<quint8, Steps + 1> start{};
    };
    static const Tables tables = [] {
        Tables t;
        for (int n = 0; n < 255; ++n)
            t.thresholds[size_t(n)] = linearFromSrgb((n + 0.5) / 255);
        t.thresholds[255] = 2; // beyond every value
        int count = 0;
        for (int i = 0; i <= Steps; ++i) {
            while (count < 255 && t.thresholds[size_t(count)] <= double(i) / Steps)
                ++count;
            t.start[size_t(i)] = quint8(count);
        }
        return t;
    }();
    int count = tables.start[size_t(v * Steps)];
    // v * Steps can round up onto the next step: a threshold counted there
    // may lie above v.
    if (count > 0 && v < tables.thresholds[size_t(count - 1)])
        --count;
    else if (v >= tables.thresholds[size_t(count)])
        ++count;
    return count;
}

PackedColor packLinear(const Vec3& linear) {
    return packColor(byteFromLinear(linear[0]), byteFromLinear(linear[1]),
                     byteFromLinear(linear[2]));
}

Vec3 linearOfOklab(const Vec3& oklab) {
    return linearSrgbFromXyzD65(xyzD65FromOklab(oklab));
}

Vec3 srgbOfLinear(const Vec3& linear) {
    return {srgbFromLinear(linear[0]), srgbFromLinear(linear[1]), srgbFromLinear(linear[2])};
}

Vec3 oklabOfSrgb(const Vec3& srgb) {
    return oklabFromXyzD65(xyzD65FromLinearSrgb(
        {linearFromSrgb(srgb[0]), linearFromSrgb(srgb[1]), linearFromSrgb(srgb[2])}));
}

/// CSS Color 4's gamut mapping of a colour given in OKLCh to sRGB.
std::optional<PackedColor> mapOklch(const Vec3& origin) {
    if (!finite(origin))
        return std::nullopt;
    if (origin[0] >= 1)
        return packColor(255, 255, 255);
    if (origin[0] <= 0)
        return packColor(0, 0, 0);
    constexpr double jnd = 0.02;
    constexpr double epsilon = 0.0001;
    const auto clip = [](const Vec3& lch) {
        Vec3 srgb = srgbOfLinear(linearOfOklab(rectFromPolar(lch)));
        for (double& v : srgb)
            v = clamp01(v);
        return srgb;
    };
    const auto inGamut = [](const Vec3& lch) {
        return inUnitRange(srgbOfLinear(linearOfOklab(rectFromPolar(lch))));
    };
    Vec3 current = origin;
    Vec3 clipped = clip(current);
    double e = deltaEOK(oklabOfSrgb(clipped), rectFromPolar(current));
    if (e < jnd)
        return packSrgb(clipped);
    double low = 0;
    double high = origin[1];
    bool lowInGamut = true;
    // Each step halves a finite interval: it ends after some 1100 steps at
    // most; the bound only guards against the unforeseen.
    for (int step = 0; high - low > epsilon && step < 4096; ++step) {
        const double chroma = (low + high) / 2;
        current[1] = chroma;
        if (lowInGamut && inGamut(current)) {
            low = chroma;
            continue;
        }
        clipped = clip(current);
        e = deltaEOK(oklabOfSrgb(clipped), rectFromPolar(current));
        if (e < jnd) {
            if (jnd - e < epsilon)
                break;
            lowInGamut = false;
            low = chroma;
        } else {
            high = chroma;
        }
    }
    if (!finite(clipped))
        return std::nullopt;
    return packSrgb(clipped);
}

std::optional<PackedColor> fromLinear(const Vec3& linear, const Vec3& oklab) {
    if (inUnitRange(linear))
        return packLinear(linear);
    return mapOklch(polarFromRect(oklab));
}

} // namespace

PackedColor packSrgb(const Vec3& srgb) {
    // A value within 1e-9 of a half is taken as the half, whatever a float's
    // noise made of it: hsl(30, 100%, 50%) is green 127.5, and 128.
    const auto byte = [](double v) { return int(std::floor(clamp01(v) * 255 + 0.5 + 1e-9)); };
    return packColor(byte(srgb[0]), byte(srgb[1]), byte(srgb[2]));
}

std::optional<PackedColor> colorFromLinearSrgb(const Vec3& linear) {
    if (inUnitRange(linear))
        return packLinear(linear);
    if (!finite(linear))
        return std::nullopt;
    return mapOklch(polarFromRect(oklabFromXyzD65(xyzD65FromLinearSrgb(linear))));
}

std::optional<PackedColor> colorFromSrgb(const Vec3& srgb) {
    if (inUnitRange(srgb))
        return packSrgb(srgb);
    if (!finite(srgb))
        return std::nullopt;
    return colorFromLinearSrgb(
        {linearFromSrgb(srgb[0]), linearFromSrgb(srgb[1]), linearFromSrgb(srgb[2])});
}

std::optional<PackedColor> colorFromXyzD65(const Vec3& xyz) {
    const Vec3 linear = linearSrgbFromXyzD65(xyz);
    if (inUnitRange(linear))
        return packLinear(linear);
    if (!finite(xyz))
        return std::nullopt;
    return mapOklch(polarFromRect(oklabFromXyzD65(xyz)));
}

std::optional<PackedColor> colorFromXyzD50(const Vec3& xyz) {
    return colorFromXyzD65(xyzD65FromXyzD50(xyz));
}

std::optional<PackedColor> colorFromLab(const Vec3& lab) {
    return colorFromXyzD50(xyzD50FromLab(lab));
}

std::optional<PackedColor> colorFromLch(const Vec3& lch) {
    return colorFromLab(rectFromPolar(lch));
}

std::optional<PackedColor> colorFromOklab(const Vec3& oklab) {
    if (!finite(oklab))
        return std::nullopt;
    return fromLinear(linearOfOklab(oklab), oklab);
}

std::optional<PackedColor> colorFromOklch(const Vec3& oklch) {
    if (!finite(oklch))
        return std::nullopt;
    const Vec3 oklab = rectFromPolar(oklch);
    const Vec3 linear = linearOfOklab(oklab);
    if (inUnitRange(linear))
        return packLinear(linear);
    // The search reduces the chroma as given (a negative one counts as 0).
    return mapOklch({oklch[0], std::max(oklch[1], 0.0), polarFromRect(oklab)[2]});
}

} // namespace colorspace
