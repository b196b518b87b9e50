#include "files/SettingsFile.h"

#include "files/Logging.h"
#include "files/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>

namespace settings {

namespace {

QString section(const Key& key) {
    return QLatin1String(key.section);
}

QString name(const Key& key) {
    return QLatin1String(key.name);
}

} // namespace

QString readString(const files::IniFile& file, const Key& key) {
    return file.readString(section(key), name(key), QLatin1String(key.fallback));
}

int readInteger(const files::IniFile& file, const Key& key) {
    int fallback = 0;
    files::IniFile::parseInteger(QLatin1String(key.fallback), &fallback);
    return file.readInteger(section(key), name(key), fallback);
}

bool readBool(const files::IniFile& file, const Key& key) {
    return file.readBool(section(key), name(key), QLatin1String(key.fallback) != u"0");
}

bool isSampleSize(int across) {
    return std::find(std::begin(SampleSizes), std::end(SampleSizes), across) !=
           std::end(SampleSizes);
}

int readSampleSize(const files::IniFile& file) {
    const int across = readInteger(file, Sample);
    return isSampleSize(across) ? across : 1;
}

void writeString(files::IniFile& file, const Key& key, const QString& value) {
    file.writeString(section(key), name(key), value);
}

void writeInteger(files::IniFile& file, const Key& key, int value) {
    file.writeInteger(section(key), name(key), value);
}

void writeBool(files::IniFile& file, const Key& key, bool value) {
    file.writeBool(section(key), name(key), value);
}

void writeOptions(files::IniFile& file, const Options& options) {
    writeBool(file, OnTop, options.onTop);
    writeBool(file, Flat, options.flat);
    writeInteger(file, PosX, options.position.x());
    writeInteger(file, PosY, options.position.y());
    writeString(file, Language, options.language);
    writeBool(file, Magnifier, options.magnifier);
    writeString(file, CopyAs, options.copyAs);
    writeInteger(file, Sample, options.sample);
    writeInteger(file, ContrastX, options.contrastPosition.x());
    writeInteger(file, ContrastY, options.contrastPosition.y());
    writeBool(file, ContrastSwap, options.contrastSwap);
}

void saveOptions(const QString& path, const Options& options) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        qCWarning(lcSettings) << "cannot make the settings folder"
                              << QFileInfo(path).absolutePath();
    files::IniFile file(path);
    writeOptions(file, options);
}

void OptionsKeeper::keep(const Options& options) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_options = options;
}

void OptionsKeeper::ended() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_ended = true;
}

void OptionsKeeper::saveNow() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (std::exchange(m_ended, true))
        return;
    try {
        saveOptions(m_path, m_options);
    } catch (const std::exception&) {
    }
}

QString filePath(const QString& programFolder) {
    QString beside = programFolder + QStringLiteral("settings.ini");
    const QFileInfo file(beside);
    const bool portable = !files::isInstalledDataFolder(programFolder);
    if (portable &&
        (QFileInfo(programFolder).isWritable() || (file.isFile() && file.isWritable()))) {
        qCInfo(lcSettings) << "settings beside the program:" << beside;
        return beside;
    }
    QString own = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/mirabou/settings.ini");
    qCInfo(lcSettings) << "the user's own settings:" << own;
    return own;
}

QString dataFolder(const QString& programFolder) {
    if (filePath(programFolder) == programFolder + QStringLiteral("settings.ini"))
        return programFolder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/mirabou/");
}

files::IniFile languagesSource(const files::IniFile& settings, const QString& programFolder) {
    const QString shipped = programFolder + QStringLiteral("settings.ini");
    if (settings.fileName() == shipped ||
        !settings.readString(section(LanguageCount), name(LanguageCount), QString()).isNull())
        return settings;
    return files::IniFile(shipped);
}

} // namespace settings
