#pragma once

#include "color/NotationTemplate.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace notation {

/// The settings file's section that holds the custom notations, one per
/// line as name=template.
inline constexpr char CustomSection[] = "formats";
/// The most custom notations taken; the lines after them are refused.
inline constexpr int MaxCustomNotations = 100;
/// The most refusals told one by one; the rest are counted in one more line.
inline constexpr int MaxRefusalLines = 20;
/// The longest custom name.
inline constexpr qsizetype MaxCustomNameLength = 32;

/// A notation of the user's own.
struct CustomNotation {
    QString name;
    Template format;
    /// Whether the reader tries it: its placeholders give a colour, and
    /// texts it writes read back (it holds no two numbers that run into
    /// each other, and is short enough to read).
    bool readable = false;
};

/// Why a custom notation cannot have that name, as the end of a sentence;
/// nothing for a good name. A name is a plain word: 1 to 32 ASCII letters,
/// digits, "-" and "_", beginning with a letter, and no built-in name in
/// any letter case.
std::optional<QString> nameRefusal(QStringView name);

/// A custom notation of that name and template, with its readability
/// worked out.
CustomNotation makeCustomNotation(const QString& name, QStringView format);

/// What the lines of the custom notations' section give.
struct CustomNotationsRead {
    std::vector<CustomNotation> notations;
    /// One line each (for stderr) for a line refused: a name that is no
    /// plain word or a built-in's, a name given twice (the first is kept),
    /// a line that is not name=template, an empty template, a notation past
    /// the most taken. Past MaxRefusalLines, one line counts the rest. The
    /// other notations are kept.
    QStringList refusals;
};

/// The custom notations of the lines of the section, as the INI reader
/// reads a key's line: the name and the template lose blanks at both ends
/// (space, tab, CR, VT, FF), the template one pair of enclosing double or
/// single quotes. Blank lines and lines beginning with ";" or "#" are
/// passed over; names match without regard to case, as keys do.
CustomNotationsRead readCustomNotations(const QStringList& lines);

} // namespace notation
