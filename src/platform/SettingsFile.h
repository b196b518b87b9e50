#pragma once

#include "platform/IniFile.h"

#include <QString>

/// The settings file: its keys, their defaults and when each is read and
/// written, and where the file lives.
namespace settings {

/// The step of the main window that reads or writes a key.
enum class Step { Creation, Showing, ProgramEnd, Never };

struct Key {
    const char* section;
    const char* name;
    const char* fallback; // the default, as the file would write it
    Step read;
    Step written;
};

inline constexpr Key OnTop{"settings", "ontop", "0", Step::Creation, Step::ProgramEnd};
inline constexpr Key Flat{"settings", "flat", "1", Step::Creation, Step::ProgramEnd};
inline constexpr Key PosX{"settings", "posx", "200", Step::Showing, Step::ProgramEnd};
inline constexpr Key PosY{"settings", "posy", "200", Step::Showing, Step::ProgramEnd};
inline constexpr Key Language{"settings", "language", "lang001", Step::Creation, Step::ProgramEnd};
/// The list of languages ("lang001", "name001"... beside it) is only read.
inline constexpr Key LanguageCount{"languages", "number", "2", Step::Creation, Step::Never};

QString readString(const platform::IniFile& file, const Key& key);
int readInteger(const platform::IniFile& file, const Key& key);
bool readBool(const platform::IniFile& file, const Key& key);
void writeString(platform::IniFile& file, const Key& key, const QString& value);
void writeInteger(platform::IniFile& file, const Key& key, int value);
void writeBool(platform::IniFile& file, const Key& key, bool value);

/// The settings file of a program in programFolder (with its trailing '/'):
/// its "settings.ini" when the folder is writable or that file is (a
/// portable program); otherwise, and always for an installed program, the user's
/// $XDG_CONFIG_HOME/mirabou/settings.ini (~/.config/mirabou/settings.ini).
QString filePath(const QString& programFolder);

/// Where the list of languages is read: the settings file itself, or the
/// program's shipped settings.ini when the user's file lists none.
platform::IniFile languagesSource(const platform::IniFile& settings, const QString& programFolder);

} // namespace settings
