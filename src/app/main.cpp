#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "help/HelpHook.h"
#include "help/ViewerLoader.h"
#include "platform/ProgramFolder.h"
#include "platform/TerminationSignals.h"

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    // No display name: Qt would append it to every window's shown caption.
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
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
