#include "color/NamedColors.h"

const std::array<NamedColor, 20> namedColors = {{
    {"Black", 0x000000}, {"Maroon", 0x000080},      {"Green", 0x008000},
    {"Olive", 0x008080}, {"Navy", 0x800000},        {"Purple", 0x800080},
    {"Teal", 0x808000},  {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},   {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF}, {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
    {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
}};

int namedColorIndex(PackedColor packed) {
    for (int i = 0; i < int(namedColors.size()); ++i) {
        if (namedColors[i].color == packed)
            return i;
    }
    return -1;
}
