#include "palette/AseFile.h"

#include "palette/ColorSpaces.h"

#include <bit>
#include <cmath>

namespace palette {

namespace {

constexpr quint16 GroupStart = 0xC001;
constexpr quint16 GroupEnd = 0xC002;
constexpr quint16 ColorEntry = 0x0001;
constexpr quint16 NormalColor = 2;
constexpr qsizetype HeaderBytes = 12;
constexpr qsizetype BlockHeadBytes = 6; // type and length

Problem atByte(qint64 byte, const QString& what) {
    return Problem{QStringLiteral("byte %1: %2").arg(byte).arg(what), 0, byte};
}

/// Big-endian reading within the bytes of one block (or the file).
class Reader {
public:
    Reader(const QByteArray& bytes, qsizetype from, qsizetype end)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData())), m_at(from), m_end(end) {}

    qsizetype at() const { return m_at; }
    qsizetype left() const { return m_end - m_at; }
    quint16 u16() {
        const quint16 v = quint16(m_data[m_at] << 8 | m_data[m_at + 1]);
        m_at += 2;
        return v;
    }
    quint32 u32() {
        const quint32 v = quint32(m_data[m_at]) << 24 | quint32(m_data[m_at + 1]) << 16 |
                          quint32(m_data[m_at + 2]) << 8 | quint32(m_data[m_at + 3]);
        m_at += 4;
        return v;
    }
    QByteArray bytes(qsizetype n) {
        const QByteArray v(reinterpret_cast<const char*>(m_data + m_at), n);
        m_at += n;
        return v;
    }

private:
    const uchar* m_data;
    qsizetype m_at;
    qsizetype m_end;
};

/// A name: its length in UTF-16 units with the terminating zero, the units.
Result<QString> readName(Reader& in, qsizetype blockStart) {
    const qsizetype at = in.at();
    if (in.left() < 2)
        return atByte(at, QStringLiteral("the block that begins at byte %1 ends before its "
                                         "name's length")
                              .arg(blockStart));
    const quint16 units = in.u16();
    if (units == 0)
        return atByte(at, QStringLiteral("a name of length 0 (a name holds at least its "
                                         "terminating zero)"));
    if (units > MaxNameLength + 1)
        return atByte(at, QStringLiteral("a name of %1 characters, longer than %2")
                              .arg(units - 1)
                              .arg(MaxNameLength));
    if (in.left() < 2 * qsizetype(units))
        return atByte(
            at, QStringLiteral("the name's length %1 runs past the end of its block").arg(units));
    QString name(units, Qt::Uninitialized);
    for (quint16 i = 0; i < units; ++i)
        name[i] = QChar(in.u16());
    if (!name.back().isNull())
        return atByte(in.at() - 2, QStringLiteral("the name does not end in a zero"));
    name.truncate(name.indexOf(QChar::Null)); // a name ends at its first zero
    return cleanName(name);
}

/// Reads count values of the colour model at the reader's place.
Result<PackedColor> readColor(Reader& in, qsizetype blockStart) {
    const qsizetype modelAt = in.at();
    if (in.left() < 4)
        return atByte(modelAt, QStringLiteral("the colour block that begins at byte %1 ends "
                                              "before its colour model")
                                   .arg(blockStart));
    const QByteArray model = in.bytes(4);
    int count = 0;
    if (model == "RGB " || model == "LAB ")
        count = 3;
    else if (model == "CMYK")
        count = 4;
    else if (model == "Gray" || model == "GRAY")
        count = 1;
    else
        return atByte(modelAt, QStringLiteral("colour model %1 (hex) is none of RGB, CMYK, LAB "
                                              "and Gray")
                                   .arg(QString::fromLatin1(model.toHex(' '))));
    // The values, and the colour type after them.
    if (in.left() < 4 * count + 2)
        return atByte(in.at(), QStringLiteral("the colour block that begins at byte %1 ends "
                                              "before its %2 values and colour type")
                                   .arg(blockStart)
                                   .arg(count));
    double v[4] = {};
    for (int i = 0; i < count; ++i) {
        const qsizetype at = in.at();
        const float value = std::bit_cast<float>(in.u32());
        if (std::isnan(value))
            return atByte(at, QStringLiteral("a colour value that is not a number (NaN)"));
        if (std::isinf(value))
            return atByte(at, QStringLiteral("an infinite colour value"));
        v[i] = value;
    }
    in.u16(); // global, spot or normal: all read alike
    if (model == "RGB ")
        return detail::fromSrgb(v[0], v[1], v[2]);
    if (model == "LAB ")
        return detail::fromLabD50(v[0] * 100, v[1], v[2]);
    if (count == 4)
        return detail::fromCmyk(v[0], v[1], v[2], v[3]);
    return detail::fromGray(v[0]);
}

void putU16(QByteArray& out, quint16 v) {
    out += char(v >> 8);
    out += char(v & 0xFF);
}

void putU32(QByteArray& out, quint32 v) {
    putU16(out, quint16(v >> 16));
    putU16(out, quint16(v & 0xFFFF));
}

/// A name as ASE holds it, and its size in bytes.
QByteArray nameBytes(const QString& name) {
    QByteArray out;
    putU16(out, quint16(name.size() + 1));
    for (const QChar c : name)
        putU16(out, c.unicode());
    putU16(out, 0);
    return out;
}

} // namespace

Result<Palette> readAse(const QByteArray& bytes) {
    if (bytes.size() > MaxFileBytes)
        return Problem{QStringLiteral("larger than %1 MiB").arg(MaxFileBytes >> 20)};
    if (bytes.size() < HeaderBytes || !bytes.startsWith("ASEF"))
        return atByte(0, QStringLiteral("not an Adobe Swatch Exchange file (it must begin with "
                                        "\"ASEF\", a version and a block count)"));
    Reader head(bytes, 4, HeaderBytes);
    const quint16 major = head.u16();
    const quint16 minor = head.u16();
    if (major != 1)
        return atByte(
            4, QStringLiteral("version %1.%2; only version 1 is read").arg(major).arg(minor));
    const quint32 blocks = head.u32();
    const qsizetype room = (bytes.size() - HeaderBytes) / BlockHeadBytes;
    if (blocks > quint64(room))
        return atByte(8, QStringLiteral("a count of %1 blocks, but the file has room for at "
                                        "most %2")
                             .arg(blocks)
                             .arg(room));
    Palette palette;
    int groups = 0;
    QString groupName;
    qsizetype at = HeaderBytes;
    for (quint32 i = 0; i < blocks; ++i) {
        if (bytes.size() - at < BlockHeadBytes)
            return atByte(
                at, QStringLiteral("the file ends before block %1 of %2").arg(i + 1).arg(blocks));
        Reader block(bytes, at, bytes.size());
        const quint16 type = block.u16();
        const quint32 length = block.u32();
        if (length > quint64(block.left()))
            return atByte(at + 2, QStringLiteral("block %1's length %2 runs past the end of the "
                                                 "file (%3 bytes are left)")
                                      .arg(i + 1)
                                      .arg(length)
                                      .arg(block.left()));
        const qsizetype end = block.at() + qsizetype(length);
        Reader body(bytes, block.at(), end);
        if (type == GroupStart) {
            const Result<QString> name = readName(body, at);
            if (!name)
                return name.problem();
            if (++groups == 1)
                groupName = name.value();
        } else if (type == ColorEntry) {
            if (palette.colors.size() == MaxColors)
                return atByte(at, QStringLiteral("more than %1 colours").arg(MaxColors));
            const Result<QString> name = readName(body, at);
            if (!name)
                return name.problem();
            const Result<PackedColor> color = readColor(body, at);
            if (!color)
                return color.problem();
            palette.colors.append(Swatch{*color, name->isEmpty() ? untitled() : name.value()});
        }
        // A group's end, and blocks of other kinds, carry nothing of ours.
        at = end;
    }
    if (groups == 1)
        palette.name = groupName;
    return palette;
}

QByteArray writeAse(const Palette& palette) {
    QByteArray out;
    out.reserve(64 + palette.colors.size() * 48);
    out += "ASEF";
    putU16(out, 1);
    putU16(out, 0);
    putU32(out, quint32(palette.colors.size() + 2));
    const QByteArray group = nameBytes(cleanName(palette.name));
    putU16(out, GroupStart);
    putU32(out, quint32(group.size()));
    out += group;
    for (const Swatch& swatch : palette.colors) {
        const QString clean = cleanName(swatch.name);
        const QByteArray name = nameBytes(clean.isEmpty() ? untitled() : clean);
        putU16(out, ColorEntry);
        putU32(out, quint32(name.size() + 4 + 3 * 4 + 2));
        out += name;
        out += "RGB ";
        for (const int component :
             {redOf(swatch.color), greenOf(swatch.color), blueOf(swatch.color)})
            putU32(out, std::bit_cast<quint32>(float(component) / 255.0f));
        putU16(out, NormalColor);
    }
    putU16(out, GroupEnd);
    putU32(out, 0);
    return out;
}

} // namespace palette
