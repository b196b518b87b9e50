#pragma once

#include "color/ColorValue.h"

#include <QString>
#include <array>

struct NamedColor {
    const char* name;
    PackedColor color;
};

/// The twenty named colors in their fixed order. The names are never
/// translated.
extern const std::array<NamedColor, 20> namedColors;

/// The index of the entry whose color equals packed, or -1.
int namedColorIndex(PackedColor packed);
