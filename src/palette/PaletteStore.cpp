#include "palette/PaletteStore.h"

#include "files/AtomicFile.h"
#include "palette/FileLock.h"
#include "palette/GplFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace palette {

namespace detail {
/// A palette of the store, and the file that holds it.
struct FoundPalette {
    QString path;
    Palette palette;
};
} // namespace detail

namespace {

constexpr int MaxFileBaseLength = 64; // code points of a palette's file name

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

Status fail(const QString& message) {
    return Status::failed(message);
}

/// The palette in a .gpl file; a problem's message begins with the path.
Result<Palette> readPaletteFile(const QString& path) {
    const Result<QByteArray> bytes = readFileBytes(path);
    if (!bytes)
        return bytes.problem();
    Result<Palette> read = readGpl(*bytes);
    if (!read) {
        Problem problem = read.problem();
        problem.message = path + QStringLiteral(": ") + problem.message;
        return problem;
    }
    if (read->name.isEmpty())
        read.value().name = QFileInfo(path).completeBaseName();
    return read;
}

Status writePaletteFile(const QString& path, const Palette& palette) {
    QDir().mkpath(QFileInfo(path).path());
    switch (files::writeAtomically(path, writeGpl(palette))) {
    case files::AtomicWrite::Written:
        return {};
    case files::AtomicWrite::NotMade:
        return fail(path + QStringLiteral(": cannot be written (no file can be made in its "
                                          "folder); nothing changed"));
    case files::AtomicWrite::Failed:
        break;
    }
    return fail(path + QStringLiteral(": could not be written whole (is the disk full?); nothing "
                                      "changed"));
}

/// A palette's file name without ".gpl", from its name.
QString fileBaseFor(const QString& name) {
    QString base;
    int length = 0;
    bool gap = false; // a '_' is owed before the next character kept
    for (const uint c : name.toUcs4()) {
        if (length == MaxFileBaseLength)
            break;
        if (QChar::isLetterOrNumber(c) || c == U'-' || c == U'_') {
            if (gap && !base.isEmpty()) {
                base += QLatin1Char('_');
                ++length;
            }
            gap = false;
            base += QChar::fromUcs4(c);
            ++length;
        } else {
            gap = true;
        }
    }
    return base.isEmpty() ? QStringLiteral("palette") : base;
}

/// The palettes' files, in name order.
QStringList paletteFiles(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.gpl")}, QDir::Files, QDir::Name))
        paths << dir.filePath(file);
    return paths;
}

using Found = detail::FoundPalette;

/// The first file of the folder that holds the palette of that name.
std::optional<Found> findPalette(const QString& folder, const QString& name) {
    // Most often in the file named after it; otherwise anywhere.
    const QString likely = folder + fileBaseFor(name) + QStringLiteral(".gpl");
    QStringList paths = paletteFiles(folder);
    if (paths.removeOne(likely))
        paths.prepend(likely);
    for (const QString& path : paths) {
        Result<Palette> read = readPaletteFile(path);
        if (read && read->name == name)
            return Found{path, std::move(read.value())};
    }
    return std::nullopt;
}

/// A file name in the folder no other file has (ignoring case), for a
/// palette of that name; the file at own may keep its name.
QString freePath(const QString& folder, const QString& name, const QString& own = {}) {
    QSet<QString> taken;
    for (const QString& file : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        taken.insert(file.toLower());
    const QString ownFile = QFileInfo(own).fileName().toLower();
    const QString base = fileBaseFor(name);
    QString file = base + QStringLiteral(".gpl");
    for (int n = 2; taken.contains(file.toLower()) && file.toLower() != ownFile; ++n)
        file = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".gpl");
    return folder + file;
}

/// Where the colour at index stands, or the first swatch of that colour
/// when another stands there (the palette changed since it was shown).
qsizetype locate(const Palette& palette, int index, PackedColor color) {
    if (index >= 0 && index < palette.colors.size() && palette.colors[index].color == color)
        return index;
    return std::find_if(palette.colors.cbegin(), palette.colors.cend(),
                        [color](const Swatch& s) { return s.color == color; }) -
           palette.colors.cbegin();
}

Status full(const Palette& palette) {
    return fail(QStringLiteral("%1 holds %2 colours, the most a palette may")
                    .arg(quoted(palette.name))
                    .arg(palette.colors.size()));
}

} // namespace

PaletteStore::PaletteStore(QString folder, NameFunction names, int historyLimit)
    : m_folder(withSlash(std::move(folder))), m_names(std::move(names)),
      m_historyLimit(std::clamp(historyLimit, 1, MaxColors)) {}

QString PaletteStore::historyPath() const {
    return m_folder + QStringLiteral("history.gpl");
}

QString PaletteStore::palettesFolder() const {
    return m_folder + QStringLiteral("palettes/");
}

QString PaletteStore::lockPath() const {
    return m_folder + QStringLiteral("palettes.lock");
}

QString PaletteStore::historyName() {
    return QStringLiteral("history");
}

bool PaletteStore::isHistory(const QString& name) {
    return name.compare(historyName(), Qt::CaseInsensitive) == 0;
}

QString PaletteStore::nameFor(PackedColor color, const QString& given) const {
    QString name = cleanName(given);
    if (name.isEmpty() && m_names)
        name = cleanName(m_names(color));
    return name.isEmpty() ? hexText(color) : name;
}

Result<Palette> PaletteStore::history() const {
    if (!QFileInfo::exists(historyPath()))
        return Palette{QStringLiteral("Mirabou History"), 0, {}};
    Result<Palette> read = readPaletteFile(historyPath());
    if (read && read->colors.size() > m_historyLimit)
        read.value().colors.resize(m_historyLimit);
    return read;
}

std::unique_ptr<detail::FileLock> PaletteStore::lock(Problem* problem) const {
    if (!QDir().mkpath(m_folder)) {
        *problem = Problem{m_folder + QStringLiteral(": cannot be made; nothing changed")};
        return nullptr;
    }
    auto lock = std::make_unique<detail::FileLock>(lockPath());
    if (!lock->locked()) {
        *problem = Problem{lock->error() + QStringLiteral("; nothing changed")};
        return nullptr;
    }
    return lock;
}

Status PaletteStore::changeHistory(const Change& edit) {
    Problem problem;
    const auto locked = lock(&problem);
    if (!locked)
        return problem;
    Result<Palette> read = history(); // anew, under the lock
    if (!read)
        return read.problem();
    Palette palette = std::move(read.value());
    if (Status done = edit(palette); !done)
        return done;
    if (palette.colors.size() > m_historyLimit)
        palette.colors.resize(m_historyLimit);
    return writePaletteFile(historyPath(), palette);
}

Status PaletteStore::change(const QString& name, const Change& edit) {
    if (isHistory(name))
        return changeHistory(edit);
    return withPalette(name, [&](Found& found) {
        if (Status done = edit(found.palette); !done)
            return done;
        return writePaletteFile(found.path, found.palette);
    });
}

Status PaletteStore::withPalette(const QString& name,
                                 const std::function<Status(detail::FoundPalette&)>& use) {
    Problem problem;
    const auto locked = lock(&problem);
    if (!locked)
        return problem;
    std::optional<Found> found = findPalette(palettesFolder(), name);
    if (!found)
        return fail(QStringLiteral("no palette is named %1").arg(quoted(name)));
    return use(*found);
}

Status PaletteStore::addToHistory(PackedColor color) {
    return changeHistory([&](Palette& history) {
        QString name;
        for (qsizetype i = history.colors.size() - 1; i >= 0; --i) {
            if (history.colors[i].color == color)
                name = history.colors.takeAt(i).name;
        }
        history.colors.prepend(Swatch{color, nameFor(color, name)});
        return Status();
    });
}

QList<PaletteInfo> PaletteStore::palettes() const {
    QList<PaletteInfo> list;
    for (const QString& path : paletteFiles(palettesFolder())) {
        const Result<Palette> read = readPaletteFile(path);
        if (read)
            list.append(PaletteInfo{read->name, path, read->colors.size()});
    }
    std::stable_sort(list.begin(), list.end(), [](const PaletteInfo& a, const PaletteInfo& b) {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
    return list;
}

Result<Palette> PaletteStore::palette(const QString& name) const {
    if (isHistory(name))
        return history();
    std::optional<Found> found = findPalette(palettesFolder(), name);
    if (!found)
        return Problem{QStringLiteral("no palette is named %1").arg(quoted(name))};
    return std::move(found->palette);
}

namespace {

/// A name a new or renamed palette may take, or why not.
Result<QString> newName(const QString& folder, const QString& wanted) {
    const QString name = cleanName(wanted);
    if (name.isEmpty())
        return Problem{QStringLiteral("a palette needs a name")};
    if (PaletteStore::isHistory(name))
        return Problem{QStringLiteral("%1 is the history's name").arg(quoted(name))};
    if (findPalette(folder, name))
        return Problem{QStringLiteral("a palette is named %1 already").arg(quoted(name))};
    return name;
}

} // namespace

Result<QString> PaletteStore::createPalette(const Palette& palette) {
    if (palette.colors.size() > MaxColors)
        return Problem{QStringLiteral("%1 colours are more than a palette may hold (%2)")
                           .arg(palette.colors.size())
                           .arg(MaxColors)};
    Problem problem;
    const auto locked = lock(&problem);
    if (!locked)
        return problem;
    if (!QDir().mkpath(palettesFolder()))
        return Problem{palettesFolder() + QStringLiteral(": cannot be made; nothing changed")};
    const Result<QString> name = newName(palettesFolder(), palette.name);
    if (!name)
        return name.problem();
    Palette stored = palette;
    stored.name = *name;
    for (Swatch& swatch : stored.colors)
        swatch.name = nameFor(swatch.color, swatch.name);
    if (Status written = writePaletteFile(freePath(palettesFolder(), *name), stored); !written)
        return written.problem();
    return name;
}

Status PaletteStore::renamePalette(const QString& name, const QString& wanted) {
    if (isHistory(name))
        return fail(QStringLiteral("the history keeps its name"));
    return withPalette(name, [&](Found& found) -> Status {
        if (cleanName(wanted) == name)
            return {};
        const Result<QString> renamed = newName(palettesFolder(), wanted);
        if (!renamed)
            return renamed.problem();
        // The name changes in the file first, then the file's name: each step
        // whole, so that whenever it stops there is one file, of either name.
        found.palette.name = *renamed;
        if (Status written = writePaletteFile(found.path, found.palette); !written)
            return written;
        const QString path = freePath(palettesFolder(), *renamed, found.path);
        if (path != found.path)
            QFile::rename(found.path, path); // if not, the old file name holds the new name
        return {};
    });
}

Status PaletteStore::deletePalette(const QString& name) {
    if (isHistory(name))
        return fail(QStringLiteral("the history cannot be deleted"));
    return withPalette(name, [](const Found& found) -> Status {
        QFile file(found.path);
        if (!file.remove())
            return fail(found.path +
                        QStringLiteral(": cannot be removed (%1)").arg(file.errorString()));
        return {};
    });
}

Status PaletteStore::addColor(const QString& name, PackedColor color, const QString& colorName,
                              int at) {
    if (isHistory(name))
        return insertSwatch(name, 0, Swatch{color, colorName});
    return change(name, [&](Palette& palette) {
        if (palette.colors.size() >= MaxColors)
            return full(palette);
        const qsizetype index = at < 0 || at > palette.colors.size() ? palette.colors.size() : at;
        palette.colors.insert(index, Swatch{color, nameFor(color, colorName)});
        return Status();
    });
}

Status PaletteStore::insertSwatch(const QString& name, int at, const Swatch& swatch) {
    const bool history = isHistory(name);
    return change(name, [&](Palette& palette) {
        QString keptName = swatch.name;
        if (history) {
            for (qsizetype i = palette.colors.size() - 1; i >= 0; --i) {
                if (palette.colors[i].color != swatch.color)
                    continue;
                const Swatch gone = palette.colors.takeAt(i);
                if (keptName.isEmpty())
                    keptName = gone.name;
                if (i < at)
                    --at;
            }
        } else if (palette.colors.size() >= MaxColors) {
            return full(palette);
        }
        const qsizetype index = std::clamp(qsizetype(at < 0 ? palette.colors.size() : at),
                                           qsizetype(0), palette.colors.size());
        palette.colors.insert(index, Swatch{swatch.color, nameFor(swatch.color, keptName)});
        return Status();
    });
}

Status PaletteStore::removeColor(const QString& name, int index, PackedColor color) {
    return change(name, [&](Palette& palette) {
        const qsizetype i = locate(palette, index, color);
        if (i < palette.colors.size())
            palette.colors.removeAt(i);
        return Status();
    });
}

Status PaletteStore::renameColor(const QString& name, int index, PackedColor color,
                                 const QString& colorName) {
    return change(name, [&](Palette& palette) {
        const qsizetype i = locate(palette, index, color);
        if (i == palette.colors.size())
            return fail(
                QStringLiteral("%1 no longer holds %2").arg(quoted(palette.name), hexText(color)));
        palette.colors[i].name = nameFor(color, colorName);
        return Status();
    });
}

Result<QString> PaletteStore::importFile(const QString& path, const QString& name,
                                         const TextOptions& options) {
    Result<Palette> read = importPalette(path, options);
    if (!read)
        return read.problem();
    if (!cleanName(name).isEmpty())
        read.value().name = name;
    return createPalette(*read);
}

Status PaletteStore::exportFile(const QString& name, const QString& path,
                                const TextOptions& options) const {
    const Result<Palette> read = palette(name);
    if (!read)
        return read.problem();
    return exportPalette(*read, path, options);
}

} // namespace palette
