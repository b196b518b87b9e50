#include "cli/Palettes.h"

#include "cli/CommandLine.h"
#include "color/CssColorNames.h"
#include "files/ProgramFolder.h"
#include "files/SettingsFile.h"

#include <cstdio>

namespace cli {

namespace {

void say(FILE* to, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

int failed(const QString& why) {
    say(stderr, QStringLiteral("mirabou: ") + why);
    return Refused;
}

QString nearestName(PackedColor color) {
    return QString::fromLatin1(cssnames::nearest(color).name);
}

palette::TextOptions textOptions(const notation::NotationList& list, qsizetype format) {
    palette::TextOptions options;
    options.write = [&list, format](PackedColor color) { return list.write(format, color); };
    options.read = [&list](const QString& text) { return list.read(text); };
    options.name = nearestName;
    return options;
}

} // namespace

palette::PaletteStore userStore() {
    return palette::PaletteStore(settings::dataFolder(files::programFolder()), nearestName);
}

int printPalette(const notation::NotationList& list, const QString& name, qsizetype format) {
    const palette::PaletteStore store = userStore();
    const palette::Result<palette::Palette> read = store.palette(name);
    if (!read)
        return failed(read.error());
    for (const palette::Swatch& swatch : read->colors)
        say(stdout, list.write(format, swatch.color));
    return 0;
}

int listPalettes() {
    const palette::PaletteStore store = userStore();
    const palette::Result<palette::Palette> history = store.history();
    if (!history)
        return failed(history.error());
    say(stdout, QStringLiteral("%1\t%2")
                    .arg(palette::PaletteStore::historyName())
                    .arg(history->colors.size()));
    for (const palette::PaletteInfo& info : store.palettes())
        say(stdout, QStringLiteral("%1\t%2").arg(info.name).arg(info.colors));
    return 0;
}

int importPalette(const notation::NotationList& list, const QString& path, const QString& name) {
    palette::PaletteStore store = userStore();
    const palette::Result<QString> made = store.importFile(path, name, textOptions(list, 0));
    if (!made)
        return failed(made.error());
    say(stdout, *made);
    return 0;
}

int exportPalette(const notation::NotationList& list, const QString& name, const QString& path,
                  qsizetype format) {
    const palette::PaletteStore store = userStore();
    const palette::Status done = store.exportFile(name, path, textOptions(list, format));
    if (!done)
        return failed(done.error());
    return 0;
}

} // namespace cli
