// libFuzzer target for the colour-text reader (Paste Color, --convert): any
// bytes, read as UTF-8 and as Latin-1 text, give a colour or nothing, the
// same each time and the same through the program's list of notations; a
// colour read writes in every notation a text that reads back as that
// notation promises: the same colour, one with the same text (oklab,
// oklch), or the colour the text means (hsl, hsv, hwb, cmyk, name), and the
// custom notations' texts read back too.
#include "color/ColorReader.h"
#include "color/CssColorNames.h"
#include "color/CustomNotations.h"
#include "color/NotationList.h"
#include "color/Notations.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

using namespace notation;

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

const NotationList& notations() {
    static const NotationList list(
        readCustomNotations({QStringLiteral("css-var=--accent: #%Rx%Gx%Bx;"),
                             QStringLiteral("swift=Color(red: %Rf, green: %Gf, blue: %Bf)"),
                             QStringLiteral("oklch-deg=L=%oklch.l C=%oklch.c h=%oklch.h°"),
                             QStringLiteral("hsl-like=[%hue|%hsl.s|%hsl.l]"),
                             QStringLiteral("named=%name!")})
            .notations);
    return list;
}

void readBack(PackedColor color) {
    for (Builtin b : builtins) {
        const QString text = write(color, b);
        const std::optional<PackedColor> read = colortext::readColor(text);
        check(read.has_value());
        switch (readBack(b)) {
        case ReadBack::Exact:
            check(*read == color);
            break;
        case ReadBack::SameText:
            check(write(*read, b) == text);
            break;
        case ReadBack::Meaning:
            if (b == Builtin::Name)
                check(*read == cssnames::find(text));
            break;
        }
        check(notations().read(text) == read);
    }
    const NotationList& list = notations();
    for (qsizetype i = BuiltinCount; i < list.size(); ++i)
        check(list.read(list.write(i, color)).has_value());
}

void readText(const QString& text) {
    const std::optional<PackedColor> color = colortext::readColor(text);
    check(colortext::readColor(text) == color);
    const std::optional<PackedColor> listed = notations().read(text);
    if (color)
        check(listed == color);
    if (listed)
        readBack(*listed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    readText(QString::fromUtf8(bytes, qsizetype(size)));
    readText(QString::fromLatin1(bytes, qsizetype(size)));
    return 0;
}
