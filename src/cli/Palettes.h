#pragma once

#include "color/NotationList.h"
#include "palette/PaletteStore.h"

#include <QStringList>

/// The colour history and the palettes from the command line, and the store
/// every part of the program keeps them in.
namespace cli {

/// The user's store: in the data folder of the program's settings, its
/// colours named by the nearest CSS name when nothing else names them.
palette::PaletteStore userStore();

/// --palette NAME: the palette's colours (the history's newest first), one
/// per line in the notation at format.
int printPalette(const notation::NotationList& list, const QString& name, qsizetype format);
/// --list-palettes: "history" and each palette, with how many colours.
int listPalettes();
/// --import FILE [NAME]: the file as a new palette; prints its name.
int importPalette(const notation::NotationList& list, const QString& path, const QString& name);
/// --export NAME FILE: the palette (or the history) written to the file, of
/// the type its name tells; plain text in the notation at format.
int exportPalette(const notation::NotationList& list, const QString& name, const QString& path,
                  qsizetype format);

} // namespace cli
