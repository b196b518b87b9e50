#include "color/FigureSnap.h"

#include "color/ColorFigures.h"
#include "color/GamutMap.h"

#include <array>
#include <cmath>
#include <optional>

namespace notation {

namespace {

struct Scaled {
    qint64 v[3];
    bool operator==(const Scaled&) const = default;
};

std::array<int, 3> decimalsOf(DecimalForm form) {
    switch (form) {
    case DecimalForm::Lab:
    case DecimalForm::Lch:
        return {2, 2, 2};
    case DecimalForm::Oklab:
        return {2, 4, 4};
    case DecimalForm::Oklch:
        return {2, 4, 2};
    case DecimalForm::Xyz:
        return {5, 5, 5};
    }
    return {0, 0, 0};
}

/// The figures as the form's scaled integers, or nothing when one has more
/// decimals than the form writes.
std::optional<Scaled> scaled(DecimalForm form, const colorspace::Vec3& figures) {
    const std::array<int, 3> decimals = decimalsOf(form);
    Scaled s{};
    for (int i = 0; i < 3; ++i) {
        constexpr double powers[] = {1, 10, 100, 1e3, 1e4, 1e5};
        const double unit = powers[decimals[size_t(i)]];
        const double v = figures[size_t(i)] * unit;
        if (!std::isfinite(v) || std::abs(v) > 1e12)
            return std::nullopt;
        s.v[i] = qint64(std::floor(v + 0.5));
        if (std::abs(v - double(s.v[i])) > 1e-6)
            return std::nullopt;
    }
    return s;
}

Scaled figuresOf(PackedColor color, DecimalForm form) {
    switch (form) {
    case DecimalForm::Lab: {
        const LabFigures f = labFiguresOf(color);
        return {{f.l, f.a, f.b}};
    }
    case DecimalForm::Lch: {
        const LabFigures f = labFiguresOf(color);
        return {{f.l, f.c, f.h}};
    }
    case DecimalForm::Oklab: {
        const LabFigures f = oklabFiguresOf(color);
        return {{f.l, f.a, f.b}};
    }
    case DecimalForm::Oklch: {
        const LabFigures f = oklabFiguresOf(color);
        return {{f.l, f.c, f.h}};
    }
    case DecimalForm::Xyz: {
        const XyzFigures f = xyzFiguresOf(color);
        return {{f.x, f.y, f.z}};
    }
    }
    return {};
}

} // namespace

PackedColor snapToFigures(PackedColor near, DecimalForm form, const colorspace::Vec3& figures) {
    const std::optional<Scaled> wanted = scaled(form, figures);
    if (!wanted || figuresOf(near, form) == *wanted)
        return near;
    // The 26 neighbours, those differing in one channel first, then two, then three.
    for (int changed = 1; changed <= 3; ++changed) {
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dg = -1; dg <= 1; ++dg) {
                for (int db = -1; db <= 1; ++db) {
                    if ((dr != 0) + (dg != 0) + (db != 0) != changed)
                        continue;
                    const int r = redOf(near) + dr, g = greenOf(near) + dg, b = blueOf(near) + db;
                    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
                        continue;
                    const PackedColor candidate = packColor(r, g, b);
                    if (figuresOf(candidate, form) == *wanted)
                        return candidate;
                }
            }
        }
    }
    return near;
}

std::optional<PackedColor> colorOfValues(DecimalForm form, const colorspace::Vec3& values) {
    std::optional<PackedColor> c;
    colorspace::Vec3 figures = values;
    switch (form) {
    case DecimalForm::Lab:
        c = colorspace::colorFromLab(values);
        break;
    case DecimalForm::Lch:
        c = colorspace::colorFromLch(values);
        break;
    case DecimalForm::Oklab:
        c = colorspace::colorFromOklab(values);
        figures[0] *= 100; // written in percent
        break;
    case DecimalForm::Oklch:
        c = colorspace::colorFromOklch(values);
        figures[0] *= 100;
        break;
    case DecimalForm::Xyz:
        c = colorspace::colorFromXyzD65(values);
        break;
    }
    if (!c)
        return std::nullopt;
    return snapToFigures(*c, form, figures);
}

} // namespace notation
