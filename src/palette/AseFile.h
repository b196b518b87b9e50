#pragma once

#include "palette/Palette.h"

#include <QByteArray>

namespace palette {

/// Reads an Adobe Swatch Exchange file (.ase, "ASEF" version 1.x, big-endian):
/// its colour blocks in file order, RGB, CMYK, LAB (CIE L*a*b*, D50) and
/// Gray converted to sRGB, rounded to 8 bits half up and held within range.
/// Groups are flattened into the one palette; it takes the name of the group
/// when the file has exactly one, else its name is empty. A colour without a
/// name is "Untitled". A file whose lengths or counts do not fit, a name
/// without its terminating zero (so also one of length 0), a value that is
/// not a finite number, an unknown colour model and a file beyond the limits
/// of Palette.h are refused with the byte offset where they stand.
Result<Palette> readAse(const QByteArray& bytes);

/// The palette as an ASE file: version 1.0, the palette a group of its name
/// holding a block per colour (its UTF-16BE name, "RGB " and three 32-bit
/// floats from 0 to 1, the colour type "normal").
QByteArray writeAse(const Palette& palette);

} // namespace palette
