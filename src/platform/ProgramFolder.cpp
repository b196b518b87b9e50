#include "platform/ProgramFolder.h"

#include <QCoreApplication>

namespace platform {

QString programFolder() {
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace platform
