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

} // namespace

QString executableFolder() {
    // Read where the kernel has it, so that no application object is needed
    // (the commands that need no display make none).
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString path = self.canonicalFilePath();
    if (!path.isEmpty())
        return withSlash(QFileInfo(path).absolutePath());
    return withSlash(QCoreApplication::applicationDirPath());
}

namespace {

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
