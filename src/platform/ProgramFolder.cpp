#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString withSlash(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

/// The data folder an install puts beside the executable's folder.
QString installedDataFolder() {
    return withSlash(QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                     QStringLiteral(MIRABOU_DATA_FROM_BIN)));
}

} // namespace

QString programFolder() {
    const QString beside = withSlash(QCoreApplication::applicationDirPath());
    if (QFileInfo::exists(beside + QStringLiteral("settings.ini")))
        return beside;
    const QString installed = installedDataFolder();
    if (QFileInfo::exists(installed + QStringLiteral("settings.ini")))
        return installed;
    return beside;
}

bool isInstalledDataFolder(const QString& folder) {
    const QString beside = withSlash(QCoreApplication::applicationDirPath());
    const QString installed = installedDataFolder();
    return installed != beside && withSlash(QDir::cleanPath(folder)) == installed;
}

} // namespace platform
