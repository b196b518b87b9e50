#pragma once

#include "palette/Palette.h"

#include <QByteArray>

namespace palette {

/// Reads a GIMP palette (.gpl) as GIMP's loader does: the first line begins
/// with "GIMP Palette"; "Name:" and "Columns:" lines may follow before the
/// first colour; lines that are empty or begin with '#' are skipped; a
/// colour is red, green and blue from 0 to 255 separated by blanks or tabs,
/// the rest of the line its name ("Untitled" when there is none). Lines end
/// in LF, CRLF or CR, the last may lack one; a UTF-8 byte-order mark is
/// skipped; a line that is not UTF-8 is read as Latin-1. A palette without
/// a "Name:" line has an empty name. Anything else, and a file beyond the
/// limits of Palette.h, is refused with its line number.
Result<Palette> readGpl(const QByteArray& bytes);

/// The palette as GIMP writes it: "GIMP Palette", "Name: ", "Columns: ", a
/// "#" line, then "%3d %3d %3d", a tab and the name, a line per colour,
/// UTF-8. Names are written as cleanName() makes them, an empty one as
/// "Untitled".
QByteArray writeGpl(const Palette& palette);

} // namespace palette
