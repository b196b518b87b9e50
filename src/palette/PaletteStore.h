#pragma once

#include "palette/ImportExport.h"
#include "palette/Palette.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace palette {

namespace detail {
class FileLock;
struct FoundPalette;
} // namespace detail

/// A named palette as the store lists it.
struct PaletteInfo {
    QString name;
    QString path; ///< its .gpl file
    qsizetype colors = 0;
};

/// The colour history and the named palettes of one user, kept as GIMP
/// palettes in a folder: history.gpl, newest first, and palettes/<name>.gpl.
///
/// Nothing is read before it is asked for, and nothing is kept between
/// calls: each read reads the file, and each change locks the store
/// (palettes.lock beside history.gpl), reads the file anew, changes it and
/// writes it atomically before it lets go, so that processes changing the
/// store at once (a pick from the command line while a window runs, two
/// windows) never lose one another's changes nor see a torn file. A change
/// that cannot be made changes nothing and says why; a file that is there
/// but cannot be read is never written over.
///
/// The history and the palettes are both addressed by name: the name
/// "history" (in any case) is the history's, which no palette may take.
/// Each palette's file name is made from its name (letters and digits of
/// any script, '-' and '_'; other runs of characters a '_'; at most 64
/// characters; "palette" when none is left; "-2", "-3"... added when another
/// file has it, ignoring case); the name itself is kept whole in the file's
/// "Name:" line.
class PaletteStore {
public:
    static constexpr int HistoryLimit = 50;

    /// The store in folder (a data folder, settings::dataFolder); names is
    /// what a colour added without a name is called.
    explicit PaletteStore(QString folder, NameFunction names = hexText,
                          int historyLimit = HistoryLimit);

    /// The folder with a trailing '/'.
    const QString& folder() const { return m_folder; }
    QString historyPath() const;
    QString palettesFolder() const;
    /// What the history is called in the store: "history".
    static QString historyName();
    static bool isHistory(const QString& name);

    /// The history, newest first; empty before the first pick.
    Result<Palette> history() const;
    /// Puts the colour at the front of the history, or moves it there (with
    /// its name) when it stands further back; the oldest beyond the limit
    /// are dropped.
    Status addToHistory(PackedColor color);

    /// The named palettes (files of palettes/ that read as GIMP palettes),
    /// sorted by name.
    QList<PaletteInfo> palettes() const;
    /// The palette of that name, or the history.
    Result<Palette> palette(const QString& name) const;
    /// Stores a new palette under its name (cleaned as cleanName does) and
    /// gives that name. Refused for a name that is empty, the history's or a
    /// palette's already, and for more than MaxColors colours.
    Result<QString> createPalette(const Palette& palette);
    /// Names the palette anew (its file too); the same rules as creating.
    Status renamePalette(const QString& name, const QString& newName);
    Status deletePalette(const QString& name);

    /// Adds a colour to the palette (at the index, at its end for -1), named
    /// colorName or, when that is empty, as the store names colours. Given
    /// the history, the colour goes to its front as addToHistory puts it.
    Status addColor(const QString& name, PackedColor color, const QString& colorName = {},
                    int at = -1);
    /// Puts a swatch back at the index (as an undo does); in the history, a
    /// swatch of the same colour elsewhere goes.
    Status insertSwatch(const QString& name, int at, const Swatch& swatch);
    /// Removes the colour at the index; when the palette changed meanwhile
    /// and another colour stands there, the first swatch of that colour
    /// goes, and none when there is none.
    Status removeColor(const QString& name, int index, PackedColor color);
    /// Renames the colour at the index (found as removeColor finds it).
    Status renameColor(const QString& name, int index, PackedColor color, const QString& colorName);

    /// Imports a file (importPalette) as a new palette, named name or, when
    /// that is empty, as the file names it; gives the name.
    Result<QString> importFile(const QString& path, const QString& name = {},
                               const TextOptions& options = {});
    /// Exports the palette of that name (or the history) to a file.
    Status exportFile(const QString& name, const QString& path,
                      const TextOptions& options = {}) const;

private:
    using Change = std::function<Status(Palette&)>;
    /// Runs use on the palette named name (not the history) and its file,
    /// under the store's lock; fails where there is no such palette.
    Status withPalette(const QString& name,
                       const std::function<Status(detail::FoundPalette&)>& use);
    Status change(const QString& name, const Change& edit);
    Status changeHistory(const Change& edit);
    QString lockPath() const;
    /// The store's lock, held until the pointer goes; null when it cannot be
    /// had, and problem says why.
    std::unique_ptr<detail::FileLock> lock(Problem* problem) const;
    QString nameFor(PackedColor color, const QString& given) const;

    QString m_folder;
    NameFunction m_names;
    int m_historyLimit;
};

} // namespace palette
