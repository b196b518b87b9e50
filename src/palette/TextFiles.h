#pragma once

#include "palette/Palette.h"

#include <QByteArray>
#include <QStringList>

namespace palette {

/// CSS custom properties: ":root {", a line "  --name: #RRGGBB;" per colour,
/// "}".
QByteArray writeCss(const Palette& palette);

/// The property names writeCss gives the colours, in their order: each
/// colour's name in lower-case ASCII letters, digits, '-' and '_' (accents
/// dropped, every other run of characters a single '-'), "color" when
/// nothing is left, made unique by "-2", "-3"...; each begins with "--".
QStringList cssPropertyNames(const Palette& palette);

/// JSON: an array with an object per colour, {"hex": "#RRGGBB", "name": ...}.
QByteArray writeJson(const Palette& palette);

/// Plain text: a line per colour, written by text.
QByteArray writeText(const Palette& palette, const TextFunction& text = hexText);

/// Reads plain text: a colour text per line (blanks at either end and empty
/// lines ignored, a line of up to MaxNameLength characters), each read by
/// read and named by name. The first line that is no colour refuses the
/// whole file with its number.
Result<Palette> readText(const QByteArray& bytes, const ColorReader& read,
                         const NameFunction& name = hexText);

/// A simple reader of colour texts: "#RRGGBB" or "RRGGBB" (either case),
/// or "r,g,b" with decimal components from 0 to 255 (blanks allowed around
/// them).
std::optional<PackedColor> readHexOrDec(const QString& text);

} // namespace palette
