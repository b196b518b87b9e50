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

} // namespace colortext
