#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "help/HelpHook.h"
#include "help/ViewerLoader.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mirabou"));
    help::setApplicationHelpFile(QString());
    int rc = 0;
    {
        Program program(platform::programFolder());
        program.form1.show();
        rc = app.exec();
    }
    help::UnloadViewer(); // after all windows are gone
    return rc;
}
