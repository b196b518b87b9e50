// libFuzzer target for the INI reader and writer: any bytes as a settings
// file must read without a crash, give values within the limits, and a value
// written must read back exactly.
#include "platform/IniFile.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdint>
#include <cstdlib>

using platform::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QString path =
        QDir::tempPath() +
        QStringLiteral("/mirabou-fuzz-%1.ini").arg(QString::number(qint64(getpid())));
    IniFile ini(path, bytes);
    for (const char* key : {"ontop", "flat", "posx", "posy", "language"}) {
        const QString v = ini.readString(QStringLiteral("settings"), QLatin1String(key), {});
        if (v.toUtf8().size() > IniFile::MaxValueBytes)
            std::abort();
        ini.readInteger(QStringLiteral("settings"), QLatin1String(key), 200);
    }
    const QString lang =
        ini.readString(QStringLiteral("languages"), QStringLiteral("lang001"), QStringLiteral("x"));
    (void)lang;

    // Round trip: the written value reads back, from memory and from disk.
    const int value = int(size * 7919 % 100000) - 50000;
    ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posx"), value);
    if (ini.readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200) != value)
        std::abort();
    if (IniFile(path).readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200) != value)
        std::abort();
    return 0;
}
