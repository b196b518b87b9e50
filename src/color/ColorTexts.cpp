#include "color/ColorTexts.h"

#include "color/ConvertBase.h"
#include "color/Notations.h"
#include "color/StrFuncs.h"

namespace colortext {

std::optional<ComponentTexts> parseHexText(const QString& text) {
    if (text.size() != 7)
        return std::nullopt;
    const QString six = text.mid(1);
    if (ConvertBase(six, 16, 10) == convertError())
        return std::nullopt;
    return ComponentTexts{six.mid(0, 2), six.mid(2, 2), six.mid(4, 2)};
}

std::optional<ComponentTexts> parseDecText(const QString& text) {
    const QStringList fields = SplitFields(text, QLatin1Char(','));
    if (fields.size() != 3)
        return std::nullopt;
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        hex[i] = ConvertBase(fields[i], 10, 16);
        // A component is a byte: a number above 255 ("300" -> "12C") is of the
        // wrong form as much as a letter is.
        if (hex[i] == convertError() || hex[i].size() > 2)
            return std::nullopt;
    }
    return hex;
}

std::optional<Format> parseFormat(const QString& name) {
    const std::pair<const char*, Format> formats[] = {
        {"hex", Format::Hex}, {"dec", Format::Dec}, {"rgb", Format::Rgb}, {"hsl", Format::Hsl}};
    for (const auto& [known, format] : formats) {
        if (name == QLatin1String(known))
            return format;
    }
    return std::nullopt;
}

QString formatColor(PackedColor color, Format format) {
    switch (format) {
    case Format::Hex:
        return notation::write(color, notation::Builtin::Hex);
    case Format::Dec:
        return notation::write(color, notation::Builtin::Dec);
    case Format::Rgb:
        return notation::write(color, notation::Builtin::Rgb);
    case Format::Hsl:
        return notation::write(color, notation::Builtin::Hsl);
    }
    return {};
}

} // namespace colortext
