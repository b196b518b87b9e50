#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "help/HelpHook.h"
#include "help/ViewerLoader.h"
#include "platform/FontSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/TerminationSignals.h"
#include "platform/Version.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

/// Answers --version and --help, refuses anything else; -1 when the program
/// is to run, else the exit code. Read before any window or display exists.
int commandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Mirabou, a small colour utility: one RGB colour as hex and decimal "
                       "text, per component, as a swatch and by name, and an eyedropper."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(versionOption);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString what = parser.errorText().isEmpty()
                                 ? QStringLiteral("Unexpected argument '%1'.")
                                       .arg(parser.positionalArguments().value(0))
                                 : parser.errorText();
        std::fprintf(stderr, "mirabou: %s\nTry 'mirabou --help'.\n", qPrintable(what));
        return 2;
    }
    if (parser.isSet(help)) {
        // No application object exists yet to name the program.
        QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("mirabou"));
        if (!text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("Mirabou %s\n", version::Full);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int answered = commandLine(argc, argv); answered >= 0)
        return answered;
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
        Program program(platform::programFolder());
        // Logout, kill and Ctrl+C end the program as closing its window does,
        // so the settings are saved.
        const platform::TerminationSignals termination;
        QObject::connect(&termination, &platform::TerminationSignals::requested, &program.form1,
                         [&program] { program.closeAll(); });
        program.form1.show();
        rc = app.exec();
    }
    help::UnloadViewer(); // after all windows are gone
    return rc;
}
