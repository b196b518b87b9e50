#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <stdexcept>

namespace files {

/// Raised when a write cannot reach the disk; what() is
/// "Unable to write to <full path>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const QString& path);
};

/// Reader and writer of INI text files ("[section]" lines and "key=value"
/// lines, UTF-8).
///
/// Section and key names match without regard to case. Values lose blanks at
/// both ends and one pair of enclosing quotes, and are cut to 2047 bytes at a
/// character boundary. A missing file, section or key gives the caller's
/// default; a present empty value gives the empty text. Opening never fails.
///
/// A write changes only the line it writes (or appends one) and reaches the
/// disk atomically: the new file is written beside the old one and renamed
/// over it, so the file is always either wholly old or wholly new. A
/// writable file in a folder where no file can be made is written in place,
/// its room taken before a byte changes and its old bytes put back when a
/// write fails, so it is never left shortened; there it never shrinks (a
/// shorter value is followed by blanks), so that a process killed amid a
/// write leaves a file of up to a page wholly old or wholly new. A file that
/// is there but could not be read is never written over.
class IniFile {
public:
    explicit IniFile(const QString& path);
    /// A file at path whose bytes are already known (as read a moment ago).
    IniFile(QString path, QByteArray content);
    ~IniFile();

    const QString& fileName() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    /// The lines of a section as the file holds them (without their line
    /// ends), at most most of them: for sections whose keys are the user's
    /// own.
    QStringList sectionLines(const QString& section, qsizetype most = 10000) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    /// The integer rules on their own: decimal, or hexadecimal after "$" or
    /// "0x"/"0X", optional sign, whole text used, signed 32-bit.
    static bool parseInteger(const QString& input, int* value);

    static constexpr int MaxValueBytes = 2047;

private:
    IniFile(QString path, const std::optional<QByteArray>& content);

    QString m_path;
    struct Lines;
    QByteArray m_data; // the file's bytes as last read or written
    std::shared_ptr<const Lines> m_lines;
    bool m_unreadable = false;
};

} // namespace files
