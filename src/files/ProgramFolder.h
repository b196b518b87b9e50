#pragma once

#include <QString>

namespace files {

/// The folder of the program's files (settings.ini, the language files,
/// Mirabou.chm), with a trailing '/'. A portable program has them beside its
/// executable; an installed one in its data folder, found from the
/// executable's place (<prefix>/share/mirabou for <prefix>/bin/mirabou). The
/// working directory is never used.
QString programFolder();

/// The folder of the running executable, with a trailing '/'; needs no
/// application object.
QString executableFolder();

/// Whether folder is an installed program's data folder: it is shared by
/// every user, so no user's settings are written there, not even root's.
bool isInstalledDataFolder(const QString& folder);

} // namespace files
