#include "app/MirabouApplication.h"

#include "platform/ErrorReport.h"

MirabouApplication::MirabouApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool MirabouApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        platform::reportError(QString::fromUtf8(e.what()));
    }
    return false;
}
