// libFuzzer target for plain-text palettes and the text exports: any bytes
// must read as colour texts a line each without a crash, or be refused with
// the line; what was read writes and reads back the same. The input's lines
// taken as colour names give CSS custom properties that are valid and
// unique, and JSON that reads back.
#include "PaletteChecks.h"
#include "palette/TextFiles.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cstdint>

using namespace palette;
using fuzzcheck::check;

namespace {

bool isPropertyName(const QString& name) {
    if (name.size() < 3 || !name.startsWith(QLatin1String("--")))
        return false;
    for (const QChar c : name) {
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
              c == QLatin1Char('_')))
            return false;
    }
    return true;
}

void checkExports(const Palette& p) {
    const QStringList names = cssPropertyNames(p);
    check(names.size() == p.colors.size());
    check(QSet<QString>(names.begin(), names.end()).size() == names.size());
    for (const QString& name : names)
        check(isPropertyName(name));
    const QByteArray css = writeCss(p);
    check(css.startsWith(":root {\n") && css.endsWith("}\n"));
    check(css.count('\n') == p.colors.size() + 2);

    const QJsonArray json = QJsonDocument::fromJson(writeJson(p)).array();
    check(json.size() == p.colors.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const QJsonObject o = json[i].toObject();
        check(o.value(QLatin1String("name")).toString() == cleanName(p.colors[i].name));
        check(o.value(QLatin1String("hex")).toString() == hexText(p.colors[i].color));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<Palette> read = readText(bytes, readHexOrDec);
    if (read) {
        fuzzcheck::checkPalette(*read);
        const QByteArray text = writeText(*read);
        const Result<Palette> again = readText(text, readHexOrDec);
        check(again.ok() && *again == *read);
        check(writeText(*again) == text);
        fuzzcheck::checkRoundTrips(*read);
    } else {
        check(read.problem().line >= 1 || bytes.size() > MaxFileBytes);
    }

    // The lines as names of colours.
    Palette named;
    for (const QByteArray& line : bytes.left(1 << 16).split('\n'))
        named.colors.append(Swatch{PackedColor(named.colors.size()), QString::fromUtf8(line)});
    checkExports(named);
    return 0;
}
