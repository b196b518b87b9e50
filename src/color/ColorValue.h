#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

/// A packed color: 0x00BBGGRR, red in the lowest byte.
using PackedColor = quint32;

/// The value a screen read gives for a point it cannot read; counts as white.
constexpr PackedColor UnreadablePixel = 0xFFFFFFFFu;

constexpr int redOf(PackedColor c) {
    return int(c & 0xFF);
}
constexpr int greenOf(PackedColor c) {
    return int((c >> 8) & 0xFF);
}
constexpr int blueOf(PackedColor c) {
    return int((c >> 16) & 0xFF);
}
constexpr PackedColor packColor(int r, int g, int b) {
    return PackedColor(r & 0xFF) | PackedColor(g & 0xFF) << 8 | PackedColor(b & 0xFF) << 16;
}

/// Three component texts, red, green, blue.
using ComponentTexts = std::array<QString, 3>;

/// A component as exactly two upper-case hexadecimal digits.
QString hexPair(int component);
