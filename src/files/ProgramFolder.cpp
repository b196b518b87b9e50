#include "files/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace files {

namespace {

QString withSlash(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString executableFolder() {
    return withSlash(QCoreApplication::applicationDirPath());
}

/// The data folder an install puts beside the executable's folder.
QString installedDataFolder() {
    return withSlash(QDir::cleanPath(executableFolder() + QStringLiteral(MIRABOU_DATA_FROM_BIN)));
}

} // namespace

QString programFolder() {
    const QString beside = executableFolder();
    if (QFileInfo::exists(beside + QStringLiteral("settings.ini")))
        return beside;
    const QString installed = installedDataFolder();
    if (QFileInfo::exists(installed + QStringLiteral("settings.ini")))
        return installed;
    return beside;
}

bool isInstalledDataFolder(const QString& folder) {
    const QString installed = installedDataFolder();
    return installed != executableFolder() && withSlash(QDir::cleanPath(folder)) == installed;
}

} // namespace files
