#include "app/MirabouApplication.h"
#include "app/PickCommand.h"
#include "app/Program.h"
#include "eyedropper/EyeWizard.h"
#include "files/ProgramFolder.h"
#include "files/Version.h"
#include "help/HelpHook.h"
#include "help/ViewerLoader.h"
#include "platform/ClipboardServer.h"
#include "platform/FontSetup.h"
#include "platform/TerminationSignals.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

namespace {

/// What the command line asks for.
struct Request {
    enum Kind { Window, Answered, Pick, ServeClipboard } kind = Window;
    int status = 0; ///< the exit status, for Answered
    pick::Options pick;
    QString text;     ///< ServeClipboard: the text to serve
    int readyFd = -1; ///< ServeClipboard: where to tell that it serves
};

int refuse(const QString& what) {
    std::fprintf(stderr, "mirabou: %s\nTry 'mirabou --help'.\n", qPrintable(what));
    return 2;
}

/// Answers --version and --help, refuses anything else it cannot mean.
/// Read before any window or display exists.
Request commandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Mirabou, a small colour utility: one RGB colour as hex and decimal "
                       "text, per component, as a swatch and by name, and an eyedropper.\n\n"
                       "With --pick, the next click anywhere on the screen picks a colour "
                       "(the arrow keys move the picked point by a pixel, with Shift by ten, "
                       "Enter picks it, Escape or a right click cancels) and prints it on one "
                       "line. Exit status: 0 picked, 1 cancelled, 2 a command line it cannot "
                       "mean, 3 no display or desktop portal to pick from."));
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
        QStringLiteral("With --pick, how the colour is written: hex (#FF8000, the default), "
                       "dec (255,128,0), rgb (rgb(255, 128, 0)) or hsl (hsl(30, 100%, 50%))."),
        QStringLiteral("format"));
    const QCommandLineOption copyOption(
        QStringLiteral("copy"),
        QStringLiteral("With --pick, also put the colour on the clipboard, where it stays "
                       "after the command returns."));
    QCommandLineOption serve(QLatin1String(clipboard::ServeOption), QString(),
                             QStringLiteral("text"));
    serve.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption ready(QStringLiteral("ready"), QString(), QStringLiteral("fd"));
    ready.setFlags(QCommandLineOption::HiddenFromHelp);
    for (const QCommandLineOption& option :
         {help, versionOption, pickOption, format, copyOption, serve, ready})
        parser.addOption(option);
    Request request;
    request.kind = Request::Answered;
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        request.status =
            refuse(parser.errorText().isEmpty() ? QStringLiteral("Unexpected argument '%1'.")
                                                      .arg(parser.positionalArguments().value(0))
                                                : parser.errorText());
        return request;
    }
    if (parser.isSet(help)) {
        // No application object exists yet to name the program.
        QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("mirabou"));
        if (!text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
        std::fputs(qPrintable(text), stdout);
        return request;
    }
    if (parser.isSet(versionOption)) {
        std::printf("Mirabou %s\n", version::Full);
        return request;
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
    const bool picking = parser.isSet(pickOption);
    if (!picking && (parser.isSet(format) || parser.isSet(copyOption))) {
        request.status = refuse(
            QStringLiteral("--%1 goes with --pick.")
                .arg(parser.isSet(format) ? QStringLiteral("format") : QStringLiteral("copy")));
        return request;
    }
    if (picking) {
        if (parser.isSet(format)) {
            const std::optional<colortext::Format> chosen =
                colortext::parseFormat(parser.value(format));
            if (!chosen) {
                request.status = refuse(QStringLiteral("Unknown format '%1': hex, dec, rgb or hsl.")
                                            .arg(parser.value(format)));
                return request;
            }
            request.pick.format = *chosen;
        }
        request.pick.copy = parser.isSet(copyOption);
        request.kind = Request::Pick;
        return request;
    }
    request.kind = Request::Window;
    return request;
}

} // namespace

int main(int argc, char** argv) {
    const Request request = commandLine(argc, argv);
    switch (request.kind) {
    case Request::Answered:
        return request.status;
    case Request::Pick:
        return pick::run(argc, argv, request.pick);
    case Request::ServeClipboard: {
        QGuiApplication app(argc, argv);
        return clipboard::serve(request.text, request.readyFd);
    }
    case Request::Window:
        break;
    }
    platform::FontSetup fonts; // meanwhile the application connects to the display
    MirabouApplication app(argc, argv);
    fonts.wait();
    // No display name: Qt would append it to every window's shown caption.
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
    // Wayland desktops find the menu entry, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("mirabou"));
    help::setApplicationHelpFile(QString());
    int rc = 0;
    {
        Program program(files::programFolder());
        // Logout, kill and Ctrl+C end the program as closing its window does,
        // so the settings are saved.
        const platform::TerminationSignals termination;
        QObject::connect(&termination, &platform::TerminationSignals::requested, &program.form1,
                         [&program] { program.closeAll(); });
        program.form1.show();
        rc = app.exec();
        // The windows are closed: what the desktop may still send for a pick
        // given up (a screenshot answered late) is taken away before the end.
        program.form1.eyeWizard().settle();
    }
    help::UnloadViewer(); // after all windows are gone
    return rc;
}
