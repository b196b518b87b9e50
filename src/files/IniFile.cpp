#include "files/IniFile.h"
#include "files/AtomicFile.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <unistd.h>
#include <vector>

namespace files {

IniWriteError::IniWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView v) {
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

bool isAscii(QByteArrayView v) {
    return std::all_of(v.begin(), v.end(), [](char c) { return c > 0; });
}

/// A wanted section or key name, ready for quick comparison.
struct Name {
    explicit Name(const QString& name)
        : utf8(name.toUtf8()), folded(name.toCaseFolded()), ascii(isAscii(utf8)) {}
    QByteArray utf8;
    QString folded;
    bool ascii;

    bool matches(QByteArrayView raw) const {
        QByteArrayView t = trimmed(raw);
        if (ascii) // the common case needs no decoding or allocation
            return t.size() == utf8.size() &&
                   qstrnicmp(t.data(), t.size(), utf8.constData(), utf8.size()) == 0;
        return QString::fromUtf8(t).toCaseFolded() == folded;
    }
};

/// One physical line: [begin, end) is its content, next is where the
/// following line starts (after "\n" or "\r\n").
struct Line {
    qsizetype begin;
    qsizetype end;
    qsizetype next;
};

/// What a line says, as far as the INI rules care.
struct LineKind {
    enum { Other, Section, Key } kind = Other;
    QByteArrayView name;  // section or key name, untrimmed
    QByteArrayView value; // raw value after '=' (keys only)
    qsizetype eq = -1;    // offset of '=' within the line content (keys only)
};

std::vector<Line> splitLines(const QByteArray& data) {
    std::vector<Line> lines;
    qsizetype pos = 0;
    const qsizetype size = data.size();
    if (data.startsWith("\xEF\xBB\xBF"))
        pos = 3; // the byte-order mark belongs to no line
    while (pos < size) {
        qsizetype nl = data.indexOf('\n', pos);
        if (nl < 0) {
            lines.push_back({pos, size, size});
            break;
        }
        qsizetype end = (nl > pos && data[nl - 1] == '\r') ? nl - 1 : nl;
        lines.push_back({pos, end, nl + 1});
        pos = nl + 1;
    }
    return lines;
}

LineKind classify(const QByteArray& data, const Line& line) {
    LineKind k;
    QByteArrayView content(data.constData() + line.begin, line.end - line.begin);
    QByteArrayView t = trimmed(content);
    if (t.startsWith('[')) {
        qsizetype close = t.indexOf(']');
        k.kind = LineKind::Section;
        k.name = close < 0 ? t.sliced(1) : t.sliced(1, close - 1);
        return k;
    }
    qsizetype eq = content.indexOf('=');
    if (eq > 0) {
        k.kind = LineKind::Key;
        k.name = content.first(eq);
        k.value = content.sliced(eq + 1);
        k.eq = eq;
    }
    return k;
}

QByteArray eolOf(const QByteArray& data, const std::vector<Line>& lines) {
    for (const Line& l : lines) {
        if (l.next > l.end)
            return data.mid(l.end, l.next - l.end);
    }
    return QByteArrayLiteral("\n");
}

/// A value as the reader hands it out: trimmed, one pair of enclosing quotes
/// removed, cut to the byte limit without splitting a UTF-8 sequence.
QString valueText(QByteArrayView raw) {
    QByteArrayView v = trimmed(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    if (v.size() > IniFile::MaxValueBytes) {
        qsizetype n = IniFile::MaxValueBytes;
        while (n > 0 && (static_cast<unsigned char>(v[n]) & 0xC0) == 0x80)
            --n;
        v = v.first(n);
    }
    return QString::fromUtf8(v);
}

/// The file's bytes; empty for a missing file, nothing for one that is
/// there but cannot be read (a directory, no permission, a read error).
std::optional<QByteArray> readAll(const QString& path) {
    QFile f(path);
    if (!f.exists())
        return QByteArray();
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

/// Where names first appear, for reading many keys of a large file without
/// scanning it once per key. A pure ASCII name is keyed by its lower-case
/// bytes, any other by a mark and its case folding, so that matches are
/// exactly those of Name::matches.
using NameIndex = QHash<QByteArray, qsizetype>; // name -> line number

QByteArray indexKey(QByteArrayView raw) {
    const QByteArrayView t = trimmed(raw);
    if (isAscii(t))
        return t.toByteArray().toLower();
    return '\x01' + QString::fromUtf8(t).toCaseFolded().toUtf8();
}

void keepFirst(NameIndex& index, const QByteArray& name, qsizetype line) {
    if (!index.contains(name))
        index.insert(name, line);
}

/// The line where want first appears in index, or -1.
qsizetype find(const NameIndex& index, const Name& want) {
    if (want.ascii)
        return index.value(want.utf8.toLower(), -1);
    // A folded name may be all ASCII, and then also matches ASCII names.
    const QByteArray folded = want.folded.toUtf8();
    qsizetype line = index.value('\x01' + folded, -1);
    if (isAscii(folded)) {
        const qsizetype plain = index.value(folded, -1);
        if (plain >= 0 && (line < 0 || plain < line))
            line = plain;
    }
    return line;
}

} // namespace

struct IniFile::Lines {
    explicit Lines(std::vector<Line> all) : lines(std::move(all)) {}

    std::vector<Line> lines;
    // Built on the first read.
    mutable std::optional<NameIndex> sections;
    mutable QHash<qsizetype, NameIndex> keys; // by the section's line

    const NameIndex& sectionIndex(const QByteArray& data) const {
        if (!sections) {
            sections.emplace();
            for (qsizetype n = 0; n < qsizetype(lines.size()); ++n) {
                const LineKind k = classify(data, lines[size_t(n)]);
                if (k.kind == LineKind::Section)
                    keepFirst(*sections, indexKey(k.name), n);
            }
        }
        return *sections;
    }
    const NameIndex& keyIndex(const QByteArray& data, qsizetype section) const {
        auto it = keys.find(section);
        if (it == keys.end()) {
            NameIndex index;
            for (qsizetype n = section + 1; n < qsizetype(lines.size()); ++n) {
                const LineKind k = classify(data, lines[size_t(n)]);
                if (k.kind == LineKind::Section)
                    break;
                if (k.kind == LineKind::Key)
                    keepFirst(index, indexKey(k.name), n);
            }
            it = keys.insert(section, index);
        }
        return *it;
    }
};

IniFile::IniFile(const QString& path) : IniFile(path, readAll(path)) {}

IniFile::IniFile(QString path, const std::optional<QByteArray>& content)
    : IniFile(std::move(path), content.value_or(QByteArray())) {
    // Writing over a file whose lines we never saw would lose them all.
    m_unreadable = !content;
}

IniFile::IniFile(QString path, QByteArray content)
    : m_path(std::move(path)), m_data(std::move(content)),
      m_lines(std::make_shared<Lines>(splitLines(m_data))) {}

IniFile::~IniFile() = default;

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    // The first section of that name answers, and in it the first such key.
    const qsizetype header = find(m_lines->sectionIndex(m_data), Name(section));
    if (header < 0)
        return def;
    const qsizetype line = find(m_lines->keyIndex(m_data, header), Name(key));
    if (line < 0)
        return def;
    return valueText(classify(m_data, m_lines->lines[size_t(line)]).value);
}

bool IniFile::parseInteger(const QString& input, int* value) {
    QString text = input;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        text = QLatin1Char('$') + text.mid(2);
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= text.size())
        return false;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    if (!negative && magnitude == limit)
        return false;
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    int v = 0;
    return parseInteger(readString(section, key, QString()), &v) ? v : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

namespace {

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

/// Takes the room for size bytes without growing the file, so that the
/// write that follows changes its bytes and its length at once (where the
/// file system cannot, the room is taken by growing it).
bool reserve(int fd, qsizetype size) {
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) == 0)
        return true;
    return errno == EOPNOTSUPP && ::posix_fallocate(fd, 0, off_t(size)) == 0;
}

/// Replaces the file's bytes where it stands, for a file in a folder where
/// no new file can be made (so no atomic replace). The room is taken first,
/// so a full disk refuses before a byte changes; should a write still fail,
/// the old bytes go back where they were, which needs no new room. The file
/// never shrinks here (see writeString), so the bytes change in one write
/// call: a process killed amid it leaves a file of up to a page wholly old
/// or wholly new.
bool writeInPlace(const QString& path, const QByteArray& old, const QByteArray& out) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (out.size() > old.size() && !reserve(fd, out.size())) {
        // An emulated allocation may have grown it; nothing more to do if not.
        [[maybe_unused]] const int shrunk = ::ftruncate(fd, old.size());
        ::close(fd);
        return false;
    }
    const bool written = writeAll(fd, out) && ::ftruncate(fd, out.size()) == 0 && ::fsync(fd) == 0;
    if (!written) {
        writeAll(fd, old);
        [[maybe_unused]] const int truncated = ::ftruncate(fd, old.size());
        ::fsync(fd);
    }
    return ::close(fd) == 0 && written;
}

} // namespace

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    QByteArray v = value.toUtf8();
    v.replace('\r', ' ').replace('\n', ' '); // a value is one line
    const Name wantSection(section);
    const Name wantKey(key);
    const std::vector<Line>& lines = m_lines->lines;
    const QByteArray eol = eolOf(m_data, lines);

    QByteArray out;
    qsizetype valueEnd = -1; // where a replaced value ends in out
    qsizetype sectionLine = -1;
    qsizetype lastFilled = -1; // last non-blank line of the section
    for (qsizetype n = 0; n < qsizetype(lines.size()); ++n) {
        const Line& line = lines[n];
        LineKind k = classify(m_data, line);
        if (k.kind == LineKind::Section) {
            if (sectionLine >= 0)
                break;
            if (wantSection.matches(k.name)) {
                sectionLine = n;
                lastFilled = n;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (k.kind == LineKind::Key && wantKey.matches(k.name)) {
            // Replace the value in place, keeping the key as spelt in the file.
            out = m_data.left(line.begin + k.eq + 1) + v + m_data.mid(line.end);
            valueEnd = line.begin + k.eq + 1 + v.size();
            break;
        }
        if (!trimmed(QByteArrayView(m_data.constData() + line.begin, line.end - line.begin))
                 .isEmpty())
            lastFilled = n;
    }
    const QByteArray keyLine = key.toUtf8() + '=' + v;
    if (out.isNull() && sectionLine >= 0) {
        const Line& after = lines[lastFilled];
        QByteArray head = m_data.left(after.next);
        if (after.next == after.end) // the file ends without a line end
            head += eol;
        out = head + keyLine + eol + m_data.mid(after.next);
    } else if (out.isNull()) {
        out = m_data;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += eol;
        out += '[' + section.toUtf8() + ']' + eol + keyLine + eol;
    }

    if (m_unreadable)
        throw IniWriteError(m_path);
    const AtomicWrite atomic = writeAtomically(m_path, out);
    if (atomic == AtomicWrite::Failed)
        throw IniWriteError(m_path);
    if (atomic == AtomicWrite::NotMade) {
        // In place, a shorter value is followed by blanks, which the reader
        // drops: the file keeps its length, and no truncation follows the
        // write that a killed process could leave undone.
        if (out.size() < m_data.size() && valueEnd >= 0)
            out.insert(valueEnd, QByteArray(m_data.size() - out.size(), ' '));
        if (!writeInPlace(m_path, m_data, out))
            throw IniWriteError(m_path);
    }
    m_data = out;
    m_lines = std::make_shared<Lines>(splitLines(m_data));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace files
