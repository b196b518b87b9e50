#include "palette/GplFile.h"

#include "palette/TextLines.h"

#include <algorithm>

namespace palette {

using detail::decodeText;
using detail::isBlank;
using detail::trimmed;

namespace {

const char* const ComponentNames[] = {"red", "green", "blue"};

Problem atLine(qint64 line, const QString& what) {
    return Problem{QStringLiteral("line %1: %2").arg(line).arg(what), line};
}

/// A component: a decimal number at the start of text, up to a blank; text
/// moves past it. Nothing when the field is not a whole number; one out of
/// range has the value -1.
std::optional<int> takeNumber(QByteArrayView& text, QByteArrayView* field) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const qsizetype digits = i;
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        value = std::min(value * 10 + (text[i++] - '0'), 1000);
    if (i == digits || (i < text.size() && !isBlank(text[i])))
        return std::nullopt;
    *field = text.first(i);
    text = text.sliced(i);
    return field->front() == '-' || value > 255 ? -1 : value;
}

QByteArrayView skipBlanks(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    return text;
}

/// A name's text, or a problem when it is beyond the limit. The bytes are
/// checked first, so that a huge line is not decoded whole.
Result<QString> nameOf(QByteArrayView bytes, qint64 line, const char* whose) {
    const auto tooLong = [&] {
        return atLine(line, QStringLiteral("%1 name is longer than %2 characters")
                                .arg(QLatin1String(whose))
                                .arg(MaxNameLength));
    };
    if (bytes.size() > 4 * qsizetype(MaxNameLength))
        return tooLong();
    const QString text = decodeText(bytes);
    if (text.size() > MaxNameLength)
        return tooLong();
    return cleanName(text);
}

} // namespace

Result<Palette> readGpl(const QByteArray& bytes) {
    if (bytes.size() > MaxFileBytes)
        return Problem{QStringLiteral("larger than %1 MiB").arg(MaxFileBytes >> 20)};
    detail::TextLines lines(bytes);
    if (!lines.next() || !lines.line().startsWith("GIMP Palette"))
        return atLine(1, QStringLiteral("not a GIMP palette (its first line must begin with "
                                        "\"GIMP Palette\")"));
    Palette palette;
    bool header = true; // before the first colour
    while (lines.next()) {
        const qint64 n = lines.number();
        QByteArrayView line = trimmed(lines.line());
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (header && line.startsWith("Name:")) {
            const Result<QString> name = nameOf(trimmed(line.sliced(5)), n, "the palette's");
            if (!name)
                return name.problem();
            palette.name = name.value();
            continue;
        }
        if (header && line.startsWith("Columns:")) {
            // GIMP uses its default for a number it cannot use; so do we.
            bool ok = false;
            const int columns = trimmed(line.sliced(8)).toInt(&ok);
            if (ok && columns >= 0 && columns <= MaxColumns)
                palette.columns = columns;
            continue;
        }
        header = false;
        int rgb[3] = {};
        for (int i = 0; i < 3; ++i) {
            QByteArrayView field;
            const std::optional<int> value = takeNumber(line, &field);
            if (!value)
                return atLine(n, QStringLiteral("not a colour (red, green and blue from 0 to 255 "
                                                "and a name are expected)"));
            if (*value < 0) {
                QString shown =
                    QString::fromLatin1(field.first(std::min(field.size(), qsizetype(12))));
                if (field.size() > 12)
                    shown += QChar(0x2026); // an ellipsis
                return atLine(n, QStringLiteral("%1 %2 is outside 0 to 255")
                                     .arg(QLatin1String(ComponentNames[i]), shown));
            }
            rgb[i] = *value;
            line = skipBlanks(line);
        }
        if (palette.colors.size() == MaxColors)
            return atLine(n, QStringLiteral("more than %1 colours").arg(MaxColors));
        const Result<QString> name = nameOf(line, n, "the colour's");
        if (!name)
            return name.problem();
        palette.colors.append(
            Swatch{packColor(rgb[0], rgb[1], rgb[2]), name->isEmpty() ? untitled() : name.value()});
    }
    return palette;
}

QByteArray writeGpl(const Palette& palette) {
    QByteArray out;
    out.reserve(64 + palette.colors.size() * 24);
    out += "GIMP Palette\nName: ";
    out += cleanName(palette.name).toUtf8();
    out += "\nColumns: ";
    out += QByteArray::number(std::clamp(palette.columns, 0, MaxColumns));
    out += "\n#\n";
    for (const Swatch& swatch : palette.colors) {
        const QString name = cleanName(swatch.name);
        // "%3d %3d %3d\t"
        for (const int component :
             {redOf(swatch.color), greenOf(swatch.color), blueOf(swatch.color)}) {
            const QByteArray digits = QByteArray::number(component);
            out += QByteArray(3 - digits.size(), ' ') + digits + ' ';
        }
        out.back() = '\t';
        out += name.isEmpty() ? QByteArrayLiteral("Untitled") : name.toUtf8();
        out += '\n';
    }
    return out;
}

} // namespace palette
