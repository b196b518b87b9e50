#include "cli/CommandLine.h"

#include "cli/Palettes.h"
#include "color/Contrast.h"
#include "files/IniFile.h"
#include "files/ProgramFolder.h"
#include "files/SettingsFile.h"
#include "files/Version.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

namespace cli {

namespace {

void say(FILE* to, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

/// A command line it cannot mean: what, and where to read more.
int refuse(const QString& what) {
    say(stderr, QStringLiteral("mirabou: %1 Try 'mirabou --help'.").arg(what));
    return Refused;
}

/// A text the command was given that is no colour.
int noColour(const QString& text) {
    say(stderr, QStringLiteral("mirabou: '%1' is no colour.").arg(text.left(200)));
    return Refused;
}

QString unknownFormat(const QString& name) {
    return QStringLiteral("unknown format '%1' (mirabou --list-formats lists them).")
        .arg(name.left(200));
}

int listFormats(const notation::NotationList& list) {
    qsizetype width = 0;
    for (qsizetype i = 0; i < list.size(); ++i)
        width = std::max(width, list.name(i).size());
    const PackedColor sample = packColor(0xFF, 0x80, 0x00);
    for (qsizetype i = 0; i < list.size(); ++i)
        say(stdout, list.name(i).leftJustified(width + 2) + list.write(i, sample));
    return 0;
}

int convert(const notation::NotationList& list, const QString& text, qsizetype format) {
    const std::optional<PackedColor> colour = list.read(text);
    if (!colour)
        return noColour(text);
    say(stdout, list.write(format, *colour));
    return 0;
}

int contrastOf(const notation::NotationList& list, const QStringList& pair) {
    const std::optional<PackedColor> text = list.read(pair[0]);
    if (!text)
        return noColour(pair[0]);
    const std::optional<PackedColor> background = list.read(pair[1]);
    if (!background)
        return noColour(pair[1]);
    for (const QString& line : contrast::reportLines(*text, *background))
        say(stdout, line);
    return 0;
}

} // namespace

notation::NotationList notations(bool tell) {
    return notations(files::IniFile(settings::filePath(files::programFolder())), tell);
}

notation::NotationList notations(const files::IniFile& file, bool tell) {
    notation::CustomNotationsRead read =
        notation::readCustomNotations(file.sectionLines(QLatin1String(notation::CustomSection)));
    if (tell) {
        for (const QString& refusal : std::as_const(read.refusals))
            say(stderr, QStringLiteral("mirabou: ") + refusal);
    }
    return notation::NotationList(std::move(read.notations));
}

Request run(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Mirabou, a small colour utility: one RGB colour as hex and decimal text, per "
        "component, as a swatch and by name, and an eyedropper.\n\n"
        "With --pick, the next click anywhere on the screen picks a colour (the arrow keys "
        "move the picked point by a pixel, with Shift by ten, Enter picks it, Escape or a right "
        "click cancels) and prints it on one line. Exit status: 0 picked, 1 cancelled, 2 a "
        "command line it cannot mean, 3 no display or desktop portal to pick from.\n\n"
        "The commands --convert, --list-formats, --contrast, --palette, --list-palettes, "
        "--import and --export need no display. A colour text is "
        "anything a "
        "browser reads as an sRGB colour (#rgb, #rrggbb, rgb(), hsl(), hwb(), lab(), lch(), "
        "oklab(), oklch(), color(srgb ...), color(xyz-d65 ...), the 148 CSS names) or any "
        "notation of --list-formats; exit status 2 for a text that is no colour.\n\n"
        "The colour history (the last 50 colours picked, newest first) and the palettes are "
        "GIMP palette files in ~/.local/share/mirabou/ (beside settings.ini for a portable "
        "program), which GIMP, Inkscape and Krita read; exit status 2 for a palette or a file "
        "that cannot be read or written, with a line saying why."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption pickOption(
        QStringLiteral("pick"),
        QStringLiteral("Pick the colour under the next click anywhere on the screen and print "
                       "it, without opening the window."));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("With --pick, --convert, --palette or --export to a .txt file, the "
                       "notation the colours are written in: hex "
                       "(#FF8000, the default), dec, rgb, hsl, hsv, hwb, cmyk, lab, lch, oklab, "
                       "oklch, xyz, name, int, qt, vec4, or one of your own (see "
                       "--list-formats)."),
        QStringLiteral("format"));
    const QCommandLineOption copyOption(
        QStringLiteral("copy"),
        QStringLiteral("With --pick, also put the colour on the clipboard, where it stays "
                       "after the command returns."));
    const QCommandLineOption sampleOption(
        QStringLiteral("sample"),
        QStringLiteral("With --pick, the mean of the N by N device pixels around the picked one "
                       "(N is 1, the default, 3, 5 or 9; pixels no screen shows do not count)."),
        QStringLiteral("N"));
    const QCommandLineOption convertOption(
        QStringLiteral("convert"),
        QStringLiteral("Print the colour text in the notation --format names (hex if none)."),
        QStringLiteral("text"));
    const QCommandLineOption listOption(
        QStringLiteral("list-formats"),
        QStringLiteral("Print every notation, built-in and your own, with #FF8000 written in it."));
    const QCommandLineOption contrastOption(
        QStringLiteral("contrast"),
        QStringLiteral("With two colour texts, TEXT BACKGROUND: print their WCAG 2 contrast ratio "
                       "(4.49:1), a line for each level (AA normal, AA large, AAA normal, AAA "
                       "large, Non-text) with pass or fail, and the APCA lightness contrast "
                       "(Lc 63.1)."));
    const QCommandLineOption paletteOption(
        QStringLiteral("palette"),
        QStringLiteral("Print the palette's colours, one per line (history: the colours picked, "
                       "newest first)."),
        QStringLiteral("name"));
    const QCommandLineOption listPalettesOption(
        QStringLiteral("list-palettes"),
        QStringLiteral("Print the history and each palette, with how many colours it holds."));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("With FILE [NAME]: add the palette file (.gpl, .ase, or .txt with a "
                       "colour text per line) as a new palette, named NAME or as the file names "
                       "it, and print its name."),
        QStringLiteral("file"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("With NAME FILE: write the palette (or the history) to FILE, of the type "
                       "its name ends in: .gpl (GIMP), .ase (Adobe Swatch Exchange), .css "
                       "(custom properties), .json or .txt."),
        QStringLiteral("name"));
    QCommandLineOption serve(QStringLiteral("serve-clipboard"), QString(), QStringLiteral("text"));
    serve.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption ready(QStringLiteral("ready"), QString(), QStringLiteral("fd"));
    ready.setFlags(QCommandLineOption::HiddenFromHelp);
    for (const QCommandLineOption& option :
         {help, versionOption, pickOption, format, copyOption, sampleOption, convertOption,
          listOption, contrastOption, paletteOption, listPalettesOption, importOption, exportOption,
          serve, ready})
        parser.addOption(option);

    Request request;
    request.kind = Request::Answered;
    const auto answered = [&request](int status) {
        request.status = status;
        return request;
    };
    if (!parser.parse(arguments))
        return answered(refuse(parser.errorText()));
    const bool contrasting = parser.isSet(contrastOption);
    const bool importing = parser.isSet(importOption);
    const bool exporting = parser.isSet(exportOption);
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && !contrasting && !importing && !exporting)
        return answered(refuse(QStringLiteral("Unexpected argument '%1'.")
                                   .arg(parser.positionalArguments().value(0).left(200))));
    if (parser.isSet(help)) {
        // No application object exists to name the program.
        QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("mirabou"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        if (!text.endsWith(QLatin1Char('\n')))
            std::fputc('\n', stdout);
        return answered(0);
    }
    if (parser.isSet(versionOption)) {
        std::printf("Mirabou %s\n", version::Full);
        return answered(0);
    }
    if (parser.isSet(serve)) {
        request.kind = Request::ServeClipboard;
        request.text = parser.value(serve);
        bool number = false;
        request.readyFd = parser.value(ready).toInt(&number);
        if (!number)
            request.readyFd = -1;
        return request;
    }

    // One command at a time.
    QStringList commands;
    for (const QCommandLineOption* option :
         {&pickOption, &convertOption, &listOption, &contrastOption, &paletteOption,
          &listPalettesOption, &importOption, &exportOption}) {
        if (parser.isSet(*option))
            commands << QStringLiteral("--") + option->names().constFirst();
    }
    if (commands.size() > 1)
        return answered(
            refuse(QStringLiteral("%1 and %2 do not go together.").arg(commands[0], commands[1])));
    const bool picking = parser.isSet(pickOption);
    const bool converting = parser.isSet(convertOption);
    const bool printing = parser.isSet(paletteOption);
    if (parser.isSet(format) && !picking && !converting && !printing && !exporting)
        return answered(
            refuse(QStringLiteral("--format goes with --pick, --convert, --palette or --export.")));
    if (parser.isSet(copyOption) && !picking)
        return answered(refuse(QStringLiteral("--copy goes with --pick.")));
    int sample = 1;
    if (parser.isSet(sampleOption)) {
        if (!picking)
            return answered(refuse(QStringLiteral("--sample goes with --pick.")));
        bool number = false;
        sample = parser.value(sampleOption).toInt(&number);
        if (!number || !settings::isSampleSize(sample))
            return answered(refuse(QStringLiteral("--sample takes 1, 3, 5 or 9, not '%1'.")
                                       .arg(parser.value(sampleOption).left(200))));
    }
    if (contrasting && positional.size() != 2)
        return answered(
            refuse(QStringLiteral("--contrast takes two colour texts: TEXT BACKGROUND.")));
    if (importing && positional.size() > 1)
        return answered(refuse(QStringLiteral("--import takes a file and a name at most.")));
    if (exporting && positional.size() != 1)
        return answered(refuse(QStringLiteral("--export takes a palette's name and a file.")));
    if (exporting && parser.isSet(format) &&
        palette::fileTypeOf(positional[0]) != palette::FileType::Text)
        return answered(refuse(QStringLiteral("--format with --export goes with a .txt file.")));
    if (parser.isSet(listPalettesOption))
        return answered(listPalettes());
    if (commands.isEmpty()) {
        request.kind = Request::Window;
        return request;
    }

    // The commands that write colours know the user's own notations too.
    const notation::NotationList list = notations(true);
    std::optional<qsizetype> chosen = 0; // hex
    if (parser.isSet(format)) {
        chosen = list.indexOf(parser.value(format));
        if (!chosen)
            return answered(refuse(unknownFormat(parser.value(format))));
    }
    if (picking) {
        request.kind = Request::Pick;
        request.format = list.name(*chosen);
        request.copy = parser.isSet(copyOption);
        request.sample = sample;
        return request;
    }
    if (converting)
        return answered(convert(list, parser.value(convertOption), *chosen));
    if (contrasting)
        return answered(contrastOf(list, positional));
    if (printing)
        return answered(printPalette(list, parser.value(paletteOption), *chosen));
    if (importing)
        return answered(importPalette(list, parser.value(importOption), positional.value(0)));
    if (exporting)
        return answered(exportPalette(list, parser.value(exportOption), positional[0], *chosen));
    return answered(listFormats(list));
}

} // namespace cli
