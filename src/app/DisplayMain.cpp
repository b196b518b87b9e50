#include "app/MirabouApplication.h"
#include "app/PickCommand.h"
#include "app/Program.h"
#include "cli/DisplayPart.h"
#include "eyedropper/EyeWizard.h"
#include "files/ProgramFolder.h"
#include "help/HelpHook.h"
#include "help/ViewerLoader.h"
#include "platform/ClipboardServer.h"
#include "platform/Display.h"
#include "platform/FontSetup.h"
#include "platform/TerminationSignals.h"

#include <QGuiApplication>

namespace {

int runWindow(int& argc, char** argv) {
    platform::RepaintsInRequests inRequests; // before the fonts' thread reads the environment
    platform::FontSetup fonts;               // meanwhile the application connects to the display
    MirabouApplication app(argc, argv);
    fonts.wait();
    inRequests.end();
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

} // namespace

/// The program's part that needs a display, run by the executable for the
/// requests that need one (see cli/DisplayPart.h).
extern "C" Q_DECL_EXPORT int mirabou_display_main(int argc, char** argv,
                                                  const cli::Request* request) {
    switch (request->kind) {
    case cli::Request::Pick:
        return pick::run(argc, argv, {request->format, request->copy, request->sample});
    case cli::Request::ServeClipboard: {
        QGuiApplication app(argc, argv);
        return clipboard::serve(request->text, request->readyFd);
    }
    case cli::Request::Window:
        return runWindow(argc, argv);
    case cli::Request::Answered:
        break;
    }
    return request->status;
}
