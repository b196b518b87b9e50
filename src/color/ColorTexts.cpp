#include "color/ColorTexts.h"

#include "color/ConvertBase.h"
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

} // namespace colortext
