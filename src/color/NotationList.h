#pragma once

#include "color/CustomNotations.h"
#include "color/Notations.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace notation {

/// Every notation the program offers: the built-ins in their order, then
/// the custom ones in the order of the settings file. What the menus,
/// --format, --convert and --list-formats use; an index stays valid for
/// the list's life.
class NotationList {
public:
    /// The built-in notations only.
    NotationList();
    /// The built-ins, then these (names already checked).
    explicit NotationList(std::vector<CustomNotation> custom);

    qsizetype size() const { return BuiltinCount + qsizetype(m_custom.size()); }
    QString name(qsizetype index) const;
    /// The built-in notation at index, or nothing for a custom one.
    std::optional<Builtin> builtin(qsizetype index) const;
    /// The notation of exactly that name; a custom name matches in any case.
    std::optional<qsizetype> indexOf(QStringView name) const;

    /// color written in the notation at index.
    QString write(qsizetype index, PackedColor color) const;

    /// A colour text: whatever colortext::readColor reads, or else a text
    /// one of the readable custom notations wrote (the first that reads it).
    std::optional<PackedColor> read(QStringView text) const;

private:
    std::vector<CustomNotation> m_custom;
};

} // namespace notation
