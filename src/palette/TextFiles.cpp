#include "palette/TextFiles.h"

#include "palette/TextLines.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

namespace palette {

namespace {

/// A name as a CSS identifier's characters, before it is made unique.
QString cssIdentifier(const QString& name) {
    QString id;
    bool dash = false; // a '-' is owed before the next character kept
    for (const QChar c : cleanName(name).normalized(QString::NormalizationForm_KD)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue; // the accent of a letter decomposed
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                          (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
        if (!kept) {
            dash = !id.isEmpty();
            continue;
        }
        if (dash)
            id += QLatin1Char('-');
        dash = false;
        id += c.toLower();
    }
    return id.isEmpty() ? QStringLiteral("color") : id;
}

} // namespace

QStringList cssPropertyNames(const Palette& palette) {
    QStringList names;
    names.reserve(palette.colors.size());
    QSet<QString> taken;
    // The number each name tries next, so that many colours of one name do
    // not each try every number before theirs.
    QHash<QString, int> next;
    for (const Swatch& swatch : palette.colors) {
        const QString base = QStringLiteral("--") + cssIdentifier(swatch.name);
        QString name = base;
        if (taken.contains(name)) {
            int& n = next[base];
            n = qMax(n, 2);
            do
                name = base + QLatin1Char('-') + QString::number(n++);
            while (taken.contains(name));
        }
        taken.insert(name);
        names << name;
    }
    return names;
}

QByteArray writeCss(const Palette& palette) {
    const QStringList names = cssPropertyNames(palette);
    QByteArray out = ":root {\n";
    for (qsizetype i = 0; i < names.size(); ++i)
        out +=
            "  " + names[i].toLatin1() + ": " + hexText(palette.colors[i].color).toLatin1() + ";\n";
    out += "}\n";
    return out;
}

QByteArray writeJson(const Palette& palette) {
    QJsonArray colors;
    for (const Swatch& swatch : palette.colors)
        colors.append(QJsonObject{{QStringLiteral("name"), cleanName(swatch.name)},
                                  {QStringLiteral("hex"), hexText(swatch.color)}});
    return QJsonDocument(colors).toJson(QJsonDocument::Indented);
}

QByteArray writeText(const Palette& palette, const TextFunction& text) {
    QByteArray out;
    for (const Swatch& swatch : palette.colors) {
        // A text that would break the line is written as the reader sees it.
        out += cleanName(text(swatch.color)).toUtf8();
        out += '\n';
    }
    return out;
}

Result<Palette> readText(const QByteArray& bytes, const ColorReader& read,
                         const NameFunction& name) {
    if (bytes.size() > MaxFileBytes)
        return Problem{QStringLiteral("larger than %1 MiB").arg(MaxFileBytes >> 20)};
    if (!read)
        return Problem{QStringLiteral("no reader of colour texts")};
    Palette palette;
    detail::TextLines lines(bytes);
    while (lines.next()) {
        const qint64 n = lines.number();
        const QByteArrayView line = detail::trimmed(lines.line());
        if (line.isEmpty())
            continue;
        const auto refuse = [n](const QString& what) {
            return Problem{QStringLiteral("line %1: %2").arg(n).arg(what), n};
        };
        if (line.size() > 4 * qsizetype(MaxNameLength))
            return refuse(
                QStringLiteral("longer than %1 characters, no colour").arg(MaxNameLength));
        const QString text = detail::decodeText(line).trimmed();
        if (text.size() > MaxNameLength)
            return refuse(
                QStringLiteral("longer than %1 characters, no colour").arg(MaxNameLength));
        const std::optional<PackedColor> color = read(text);
        if (!color)
            return refuse(QStringLiteral("\"%1\" is no colour").arg(cleanName(text).left(40)));
        if (palette.colors.size() == MaxColors)
            return refuse(QStringLiteral("more than %1 colours").arg(MaxColors));
        const QString named = name ? cleanName(name(*color)) : QString();
        palette.colors.append(Swatch{*color, named.isEmpty() ? hexText(*color) : named});
    }
    return palette;
}

std::optional<PackedColor> readHexOrDec(const QString& text) {
    const QString t = text.trimmed();
    const QStringView hex = t.startsWith(QLatin1Char('#')) ? QStringView(t).mid(1) : QStringView(t);
    const auto isHexDigit = [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    };
    if (hex.size() == 6 && std::all_of(hex.begin(), hex.end(), isHexDigit)) {
        const uint rgb = hex.toUInt(nullptr, 16);
        return packColor(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
    }
    const QList<QStringView> fields = QStringView(t).split(QLatin1Char(','));
    if (fields.size() != 3)
        return std::nullopt;
    int rgb[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QStringView field = fields[i].trimmed();
        bool ok = false;
        rgb[i] = field.toInt(&ok);
        const bool digits =
            !field.isEmpty() && std::all_of(field.begin(), field.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            });
        if (!ok || !digits || rgb[i] > 255)
            return std::nullopt;
    }
    return packColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace palette
