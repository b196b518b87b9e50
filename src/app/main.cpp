#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mirabou"));
    int rc = 0;
    {
        Program program(platform::programFolder());
        program.form1.show();
        rc = app.exec();
    }
    return rc;
}
