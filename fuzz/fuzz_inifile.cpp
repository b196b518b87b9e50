// libFuzzer target for the INI reader and writer: any bytes as a settings
// file must read without a crash and give values within the limits; a value
// written must read back exactly, from memory and from disk, and a write must
// leave every other key as it read before.
#include "files/IniFile.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

using files::IniFile;

namespace {

const char* const SettingsKeys[] = {"ontop", "flat", "posx", "posy", "language"};

void check(bool holds) {
    if (!holds)
        std::abort();
}

/// A value as the reader hands it out keeps within the byte limit: every
/// byte read gives at most one UTF-16 unit (a byte that is not UTF-8 gives a
/// replacement character), and valid text is cut to the limit.
void checkValue(const QString& v) {
    check(v.size() <= IniFile::MaxValueBytes);
    if (!v.contains(QChar::ReplacementCharacter))
        check(v.toUtf8().size() <= IniFile::MaxValueBytes);
    check(!v.contains(QLatin1Char('\n'))); // a value is one line
}

/// Every value the program reads from a settings file, in one text.
QStringList readAllKeys(const IniFile& ini) {
    QStringList values;
    for (const char* key : SettingsKeys)
        values << ini.readString(QStringLiteral("settings"), QLatin1String(key),
                                 QStringLiteral("<none>"));
    values << ini.readString(QStringLiteral("languages"), QStringLiteral("number"),
                             QStringLiteral("<none>"));
    for (const char* key : {"lang001", "name001", "lang002"})
        values << ini.readString(QStringLiteral("languages"), QLatin1String(key),
                                 QStringLiteral("<none>"));
    return values;
}

/// A text the reader hands back unchanged: no blanks at either end, no
/// enclosing quotes, within the limit, one line of valid UTF-8, and no
/// byte-order mark first (Qt's UTF-8 decoding drops one there).
bool readsBackAsIs(const QString& v) {
    const QByteArray bytes = v.toUtf8();
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    if (bytes.isEmpty())
        return true;
    if (bytes.size() > IniFile::MaxValueBytes || blank(bytes.front()) || blank(bytes.back()) ||
        v.contains(QChar::ReplacementCharacter) || bytes.contains('\r') || bytes.contains('\n') ||
        v.startsWith(QChar::ByteOrderMark))
        return false;
    return !(bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') &&
             bytes.back() == bytes.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QTemporaryDir folder; // removed at exit
    static const QString path = folder.filePath(QStringLiteral("settings.ini"));
    IniFile ini(path, bytes);
    for (const char* key : SettingsKeys) {
        checkValue(ini.readString(QStringLiteral("settings"), QLatin1String(key), {}));
        ini.readInteger(QStringLiteral("settings"), QLatin1String(key), 200);
    }
    const QStringList before = readAllKeys(ini);
    for (const QString& v : before)
        checkValue(v);

    // Round trip: the written value reads back, from memory and from disk,
    // and the other keys read as before.
    const int value = int(size * 7919 % 100000) - 50000;
    ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posx"), value);
    check(ini.readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200) == value);
    const IniFile disk(path);
    check(disk.readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200) == value);
    QStringList expected = before;
    expected[2] = QString::number(value);
    check(readAllKeys(ini) == expected);
    check(readAllKeys(disk) == expected);

    // A text value taken from the input: a line break becomes a blank, and
    // a value the reader would trim or unquote is left unchecked.
    QString text = QString::fromUtf8(bytes.left(2 * IniFile::MaxValueBytes));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    ini.writeString(QStringLiteral("settings"), QStringLiteral("language"), text);
    const QString read = IniFile(path).readString(
        QStringLiteral("settings"), QStringLiteral("language"), QStringLiteral("<none>"));
    checkValue(read);
    if (readsBackAsIs(text))
        check(read == text);
    expected[4] = read;
    check(readAllKeys(IniFile(path)) == expected);
    return 0;
}
