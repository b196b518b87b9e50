#pragma once

#include "color/ColorValue.h"

#include <QString>
#include <optional>

/// The text forms a colour travels in between programs.
namespace colortext {

/// The three hex pairs of a pasted hex text: exactly seven characters, the
/// first of any kind, then six hexadecimal digits of either case, kept as
/// they were. Anything else gives nothing.
std::optional<ComponentTexts> parseHexText(const QString& text);

/// The three components of a pasted dec text ("255,128,0") in upper-case
/// hexadecimal without leading zeros (the empty text for zero). Three fields
/// of decimal digits only, each worth at most 255; anything else gives
/// nothing.
std::optional<ComponentTexts> parseDecText(const QString& text);

/// The forms a picked colour is written in: the hex text ("#FF8000"), the
/// dec text ("255,128,0"), and CSS's "rgb(255, 128, 0)" and
/// "hsl(30, 100%, 50%)".
enum class Format { Hex, Dec, Rgb, Hsl };

/// The format of that name ("hex", "dec", "rgb", "hsl"), or nothing.
std::optional<Format> parseFormat(const QString& name);

/// color in that form: the text of the built-in notation of the same name
/// (notation::write).
QString formatColor(PackedColor color, Format format);

} // namespace colortext
