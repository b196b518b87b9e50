#include "eyedropper/EyeColor.h"

#include "color/ColorTexts.h"

void TEyeColor::set(PackedColor color, const QString& hex) {
    m_color = color;
    m_hex = hex;
    emit changed();
}

void TEyeColor::set(PackedColor color) {
    set(color, colortext::formatColor(color, colortext::Format::Hex));
}

void TEyeColor::clear() {
    m_color.reset();
    m_hex.clear();
    emit changed();
}

void TEyeColor::setNotSetText(const QString& text) {
    m_notSet = text;
    if (!m_color)
        emit changed();
}

void TEyeColor::restore(const State& state) {
    m_color = state.color;
    m_hex = state.hex;
    emit changed();
}
