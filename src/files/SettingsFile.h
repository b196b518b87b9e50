#pragma once

#include "files/IniFile.h"

#include <QPoint>
#include <QString>
#include <mutex>

/// The settings file: its keys and their defaults, the options the program
/// keeps in it, and where the file lives.
namespace settings {

struct Key {
    const char* section;
    const char* name;
    const char* fallback; // the default, as the file would write it
};

inline constexpr Key OnTop{"settings", "ontop", "0"};
inline constexpr Key Flat{"settings", "flat", "1"};
inline constexpr Key PosX{"settings", "posx", "200"};
inline constexpr Key PosY{"settings", "posy", "200"};
inline constexpr Key Language{"settings", "language", "lang001"};
inline constexpr Key Magnifier{"settings", "magnifier", "1"};
/// The notation Copy As used last, by its name.
inline constexpr Key CopyAs{"settings", "copyas", "hex"};
/// The side of the square of device pixels a pick averages.
inline constexpr Key Sample{"settings", "sample", "1"};
/// The list of languages ("lang001", "name001"... beside it) is only read.
inline constexpr Key LanguageCount{"languages", "number", "2"};

/// The squares a pick may average, by their side in device pixels: 1 is
/// the picked pixel alone.
inline constexpr int SampleSizes[] = {1, 3, 5, 9};
bool isSampleSize(int across);

/// What the program writes to the section "settings" when it ends, in the
/// order it writes them.
struct Options {
    bool onTop = false;
    bool flat = true;
    QPoint position{200, 200};
    QString language = QLatin1String(Language.fallback); // "lang" + the chosen number
    bool magnifier = true;
    QString copyAs = QLatin1String(CopyAs.fallback);
    int sample = 1;
};

/// Writes the options, key by key; raises IniWriteError at the first key
/// that cannot be written (the keys after it are not written).
void writeOptions(files::IniFile& file, const Options& options);

/// Writes the options to the settings file at path as the program end does,
/// making its folder first (a user's own settings folder is made on the
/// first write); raises IniWriteError as writeOptions does.
void saveOptions(const QString& path, const Options& options);

/// The options as they stand during a run, kept for an end that comes with
/// no window left to ask (the display gone): written then, once, unless the
/// program's own end wrote them. Safe to use from any thread.
class OptionsKeeper {
public:
    explicit OptionsKeeper(QString path) : m_path(std::move(path)) {}
    void keep(const Options& options);
    /// The program's end writes them itself.
    void ended();
    /// Writes the kept options unless written; says nothing of a failure
    /// (there is no window to say it in).
    void saveNow();

private:
    std::mutex m_lock;
    QString m_path;
    Options m_options;
    bool m_ended = false;
};

QString readString(const files::IniFile& file, const Key& key);
int readInteger(const files::IniFile& file, const Key& key);
bool readBool(const files::IniFile& file, const Key& key);
/// The sample size the file keeps; 1 for any value that is not one of
/// SampleSizes.
int readSampleSize(const files::IniFile& file);
void writeString(files::IniFile& file, const Key& key, const QString& value);
void writeInteger(files::IniFile& file, const Key& key, int value);
void writeBool(files::IniFile& file, const Key& key, bool value);

/// The settings file of a program in programFolder (with its trailing '/'):
/// its "settings.ini" when the folder is writable or that file is (a
/// portable program); otherwise, and always for an installed program, the user's
/// $XDG_CONFIG_HOME/mirabou/settings.ini (~/.config/mirabou/settings.ini).
QString filePath(const QString& programFolder);

/// The folder of the files the program gathers as it runs (the colour
/// history, the palettes), with a trailing '/': beside the settings file of
/// a portable program, otherwise the user's $XDG_DATA_HOME/mirabou/
/// (~/.local/share/mirabou/). Made by whoever writes there first.
QString dataFolder(const QString& programFolder);

/// Where the list of languages is read: the settings file itself, or the
/// program's shipped settings.ini when the user's file lists none.
files::IniFile languagesSource(const files::IniFile& settings, const QString& programFolder);

} // namespace settings
