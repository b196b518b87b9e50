#include "color/NotationList.h"

#include "color/ColorReader.h"

namespace notation {

NotationList::NotationList() = default;

NotationList::NotationList(std::vector<CustomNotation> custom) : m_custom(std::move(custom)) {}

QString NotationList::name(qsizetype index) const {
    if (const std::optional<Builtin> b = builtin(index))
        return builtinName(*b);
    return m_custom[size_t(index - BuiltinCount)].name;
}

std::optional<Builtin> NotationList::builtin(qsizetype index) const {
    if (index < BuiltinCount)
        return builtins[size_t(index)];
    return std::nullopt;
}

std::optional<qsizetype> NotationList::indexOf(QStringView name) const {
    if (const std::optional<Builtin> b = builtinByName(name))
        return qsizetype(int(*b));
    for (size_t i = 0; i < m_custom.size(); ++i) {
        if (name.compare(m_custom[i].name, Qt::CaseInsensitive) == 0)
            return BuiltinCount + qsizetype(i);
    }
    return std::nullopt;
}

QString NotationList::write(qsizetype index, PackedColor color) const {
    if (const std::optional<Builtin> b = builtin(index))
        return notation::write(color, *b);
    return m_custom[size_t(index - BuiltinCount)].format.write(color);
}

std::optional<PackedColor> NotationList::read(QStringView text) const {
    if (text.size() > colortext::MaxColorTextLength)
        return std::nullopt;
    if (const std::optional<PackedColor> c = colortext::readColor(text))
        return c;
    for (const CustomNotation& n : m_custom) {
        if (!n.readable)
            continue;
        if (const std::optional<PackedColor> c = n.format.read(text))
            return c;
    }
    return std::nullopt;
}

} // namespace notation
