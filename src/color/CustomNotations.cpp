#include "color/CustomNotations.h"

#include "color/ColorReader.h"
#include "color/Notations.h"

namespace notation {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView trimmed(QStringView v) {
    qsizetype b = 0, e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.mid(b, e - b);
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

/// A text for a message: printable, and short.
QString shown(QStringView text) {
    QString s;
    for (qsizetype i = 0; i < text.size() && i < 40; ++i)
        s += text[i].isPrint() ? text[i] : QChar(u'?');
    if (text.size() > 40)
        s += QStringLiteral("...");
    return s;
}

QString refusal(QStringView name, const QString& why) {
    return QStringLiteral("Custom notation \"%1\" refused: %2").arg(shown(name), why);
}

/// Colours whose texts a readable template must read back.
const PackedColor samples[] = {packColor(0, 0, 0),       packColor(255, 255, 255),
                               packColor(255, 128, 0),   packColor(1, 2, 3),
                               packColor(18, 52, 86),    packColor(0, 255, 0),
                               packColor(127, 127, 128), packColor(254, 253, 10)};

} // namespace

std::optional<QString> nameRefusal(QStringView name) {
    if (name.isEmpty() || name.size() > MaxCustomNameLength || !isAsciiLetter(name[0]))
        return QStringLiteral("a name is a plain word of up to %1 letters, digits, \"-\" and "
                              "\"_\", beginning with a letter.")
            .arg(MaxCustomNameLength);
    for (QChar c : name) {
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'-' && c != u'_')
            return QStringLiteral("a name is a plain word of up to %1 letters, digits, \"-\" "
                                  "and \"_\", beginning with a letter.")
                .arg(MaxCustomNameLength);
    }
    for (Builtin b : builtins) {
        if (name.compare(builtinName(b), Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 is a built-in notation.").arg(builtinName(b));
    }
    return std::nullopt;
}

CustomNotation makeCustomNotation(const QString& name, QStringView format) {
    CustomNotation n{name, Template(format), false};
    // Every placeholder gives a character at least, so a template of more
    // than twice the reader's limit writes texts it never reads.
    n.readable = n.format.givesColor() && format.size() <= 2 * colortext::MaxColorTextLength;
    for (PackedColor c : samples) {
        if (!n.readable)
            break;
        n.readable = n.format.read(n.format.write(c)).has_value();
    }
    return n;
}

CustomNotationsRead readCustomNotations(const QStringList& lines) {
    CustomNotationsRead read;
    qsizetype unsaid = 0; // refused lines past the most reported
    const auto refuse = [&](const QString& why) {
        if (read.refusals.size() < MaxRefusalLines)
            read.refusals << why;
        else
            ++unsaid;
    };
    for (const QString& line : lines) {
        const QStringView t = trimmed(line);
        if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#'))
            continue;
        const qsizetype eq = t.indexOf(u'=');
        if (eq <= 0) {
            refuse(QStringLiteral("Custom notation line \"%1\" refused: not name=template.")
                       .arg(shown(t)));
            continue;
        }
        const QStringView name = trimmed(t.left(eq));
        QStringView format = trimmed(t.mid(eq + 1));
        if (format.size() >= 2 && (format.front() == u'"' || format.front() == u'\'') &&
            format.back() == format.front())
            format = format.mid(1, format.size() - 2);
        if (const std::optional<QString> why = nameRefusal(name)) {
            refuse(refusal(name, *why));
            continue;
        }
        bool twice = false;
        for (const CustomNotation& n : read.notations)
            twice = twice || n.name.compare(name, Qt::CaseInsensitive) == 0;
        if (twice) {
            refuse(refusal(name, QStringLiteral("given twice; the first is kept.")));
            continue;
        }
        if (format.isEmpty()) {
            refuse(refusal(name, QStringLiteral("its template is empty.")));
            continue;
        }
        if (int(read.notations.size()) >= MaxCustomNotations) {
            refuse(refusal(name, QStringLiteral("only the first %1 custom notations are taken.")
                                     .arg(MaxCustomNotations)));
            continue;
        }
        read.notations.push_back(makeCustomNotation(name.toString(), format));
    }
    if (unsaid > 0)
        read.refusals << QStringLiteral("Custom notations: %1 more lines refused.").arg(unsaid);
    return read;
}

} // namespace notation
