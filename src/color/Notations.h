#pragma once

#include "color/ColorValue.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

/// The notations the program writes a colour in: each has a name (used by
/// --format, the settings file and the menus) and an exact text.
namespace notation {

enum class Builtin {
    Hex,   ///< "#FF8000"
    Dec,   ///< "255,128,0"
    Rgb,   ///< "rgb(255, 128, 0)"
    Hsl,   ///< "hsl(30, 100%, 50%)", whole numbers
    Hsv,   ///< "hsv(30, 100%, 100%)", whole numbers
    Hwb,   ///< "hwb(30 0% 0%)", whole numbers
    Cmyk,  ///< "cmyk(0%, 50%, 100%, 0%)", naive: K = 1 - max
    Lab,   ///< "lab(67.82 45.49 74.84)", CIE Lab (D50), two decimals
    Lch,   ///< "lch(67.82 87.58 58.71)"
    Oklab, ///< "oklab(73.19% 0.1119 0.1484)"
    Oklch, ///< "oklch(73.19% 0.1858 52.98)"
    Xyz,   ///< "color(xyz-d65 0.48958 0.36702 0.04506)", five decimals
    Name,  ///< "darkorange", the nearest CSS colour name in OKLab
    Int,   ///< "0xFF8000"
    Qt,    ///< "QColor(255, 128, 0)"
    Vec4,  ///< "vec4(1.000, 0.502, 0.000, 1.0)", three decimals
};

inline constexpr int BuiltinCount = 16;

/// Every built-in notation in the order menus list them.
extern const std::array<Builtin, BuiltinCount> builtins;

/// The name of a built-in notation ("hex", "oklch", ...).
QString builtinName(Builtin notation);

/// The built-in notation of exactly that name (lower case), or nothing.
std::optional<Builtin> builtinByName(QStringView name);

/// What reading a notation's text back gives.
enum class ReadBack {
    /// The same colour, for every 8-bit colour: hex, dec, rgb, lab, lch,
    /// xyz, int, qt, vec4.
    Exact,
    /// The same colour, or where another colour writes the very same text
    /// that one: oklab and oklch, whose four decimals of a, b and C are too
    /// coarse next to a dark channel of a bright colour (#05B8AD and #06B8AD
    /// both write "oklab(70.51% -0.1214 -0.0154)").
    SameText,
    /// The colour the text means: hsl, hsv, hwb and cmyk (whole numbers
    /// cannot tell every colour apart), and name (the named colour).
    Meaning,
};
ReadBack readBack(Builtin notation);

/// color written in that notation.
QString write(PackedColor color, Builtin notation);

} // namespace notation
