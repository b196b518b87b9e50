#pragma once

#include "palette/Palette.h"
#include "palette/TextFiles.h"

#include <QByteArray>
#include <QString>

namespace palette {

/// The kinds of palette file, told by the file name's extension (any case):
/// .gpl, .ase, .css, .json, .txt.
enum class FileType { Gpl, Ase, Css, Json, Text };

std::optional<FileType> fileTypeOf(const QString& path);
/// Whether files of the type can be imported (.gpl, .ase, .txt) or only
/// exported (.css, .json).
bool canImport(FileType type);
/// "a .gpl, .ase or .txt file" and the like, for messages.
QString importableTypes();
QString exportableTypes();

/// How plain text is read and written, and what its colours are called.
struct TextOptions {
    TextFunction write = hexText;    ///< a colour's line in an export
    ColorReader read = readHexOrDec; ///< a line of an import
    NameFunction name = hexText;     ///< the name an imported colour gets
};

/// The bytes of a file of up to MaxFileBytes; anything but a regular file
/// (a folder, a pipe, a device) is refused unread.
Result<QByteArray> readFileBytes(const QString& path);

/// Reads the palette in the file at path, of the type its name tells. The
/// palette is named as the file names it, or after the file (its name
/// without the extension). A problem's message begins with the path.
Result<Palette> importPalette(const QString& path, const TextOptions& options = {});

/// The palette as a file of that type.
QByteArray exportBytes(const Palette& palette, FileType type, const TextOptions& options = {});

/// Writes the palette to path, of the type its name tells, atomically: the
/// file there before is whole until the new one replaces it.
Status exportPalette(const Palette& palette, const QString& path, const TextOptions& options = {});

} // namespace palette
