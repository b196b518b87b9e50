#include "app/PickCommand.h"

#include "cli/CommandLine.h"
#include "cli/Palettes.h"

#include "eyedropper/ScreenPicker.h"
#include "platform/ClipboardServer.h"
#include "platform/Display.h"
#include "platform/FontSetup.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace pick {

namespace {

/// Keeps text on the clipboard after the command returns: wl-copy serves it
/// on Wayland (where a program without the keyboard's focus may not set
/// the clipboard), a process of the program's own on X11.
void copy(const QString& text) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        QProcess copier;
        copier.setStandardOutputFile(QProcess::nullDevice());
        copier.setStandardErrorFile(QProcess::nullDevice());
        copier.start(QStringLiteral("wl-copy"), {QStringLiteral("--"), text});
        if (copier.waitForFinished(5000) && copier.exitStatus() == QProcess::NormalExit &&
            copier.exitCode() == 0)
            return;
        // Set here, it lasts where the desktop keeps what a program leaves.
        QGuiApplication::clipboard()->setText(text);
        std::fputs("mirabou: wl-copy (package wl-clipboard) is missing: the colour stays on the "
                   "clipboard only where the desktop keeps it\n",
                   stderr);
        return;
    }
    if (!clipboard::serveInBackground(text))
        std::fputs("mirabou: the colour could not be put on the clipboard\n", stderr);
}

} // namespace

int run(int& argc, char** argv, const Options& options) {
    if (platform::availableDisplay() == platform::Display::None) {
        std::fputs("mirabou: no display to pick from (neither X11 nor Wayland answers)\n", stderr);
        return NoDisplay;
    }
    platform::RepaintsInRequests inRequests; // before the fonts' thread reads the environment
    platform::FontSetup fonts;               // meanwhile the application connects to the display
    QApplication app(argc, argv);
    fonts.wait();
    inRequests.end();
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
    QGuiApplication::setDesktopFileName(QStringLiteral("mirabou"));
    // The command line named a notation it knows: refusals were told there.
    const notation::NotationList notations = cli::notations(false);
    TScreenPicker picker(openScreenContext());
    picker.setSampleSize(options.sample);
    int status = Cancelled;
    const auto end = [&status](int code) {
        status = code;
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    };
    QObject::connect(&picker, &TScreenPicker::picked, &app, [&](PackedColor color) {
        const QString text = notations.write(notations.indexOf(options.format).value_or(0), color);
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
        if (options.copy)
            copy(text);
        // Kept as a release of the Eye Wizard keeps it; the pick stands
        // either way.
        const palette::Status kept = cli::userStore().addToHistory(color);
        if (!kept)
            std::fprintf(stderr, "mirabou: the colour is not kept in the history: %s\n",
                         qPrintable(kept.error()));
        end(Picked);
    });
    QObject::connect(&picker, &TScreenPicker::cancelled, &app, [&] { end(Cancelled); });
    QObject::connect(&picker, &TScreenPicker::unavailable, &app, [&](PickFailure why) {
        std::fprintf(stderr, "mirabou: nothing picked: %s\n", pickFailureText(why));
        end(NoDisplay);
    });
    // Killed or interrupted, the pick ends as Escape ends it.
    const platform::TerminationSignals termination;
    QObject::connect(&termination, &platform::TerminationSignals::requested, &picker, [&] {
        picker.cancel();
        end(Cancelled);
    });
    QTimer::singleShot(0, &picker, &TScreenPicker::start);
    QApplication::exec();
    picker.settle();
    return status;
}

} // namespace pick
