// libFuzzer target for the custom notations: any bytes after the first three
// (the colour) as a template write in one pass a text of at most four times
// its length, the same each time, the template itself where it holds no
// "%"; a template that reads reads its own texts as some colour; and the
// bytes as the lines of the settings file's section give at most the most
// notations, each with a good name, and refusals of one printable line each,
// a bounded number of them.
#include "color/CustomNotations.h"
#include "color/NotationList.h"
#include "color/NotationTemplate.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

using namespace notation;

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

void writeTemplate(const QString& text, PackedColor color) {
    const Template format(text);
    const QString written = format.write(color);
    // The longest expansion: "%name" (5) as "lightgoldenrodyellow" (20).
    check(written.size() <= 4 * text.size());
    check(format.write(color) == written);
    if (!text.contains(QLatin1Char('%')))
        check(written == text);
    if (!format.givesColor())
        check(!format.read(written));
    const CustomNotation custom = makeCustomNotation(QStringLiteral("custom"), text);
    if (custom.readable) {
        const NotationList list({custom});
        const std::optional<PackedColor> read = list.read(written);
        // The reader's own forms come first and may read it otherwise.
        if (written.size() <= 512)
            check(read.has_value());
    }
}

void readLines(const QString& text) {
    const CustomNotationsRead read = readCustomNotations(text.split(QLatin1Char('\n')));
    check(int(read.notations.size()) <= MaxCustomNotations);
    check(read.refusals.size() <= MaxRefusalLines + 1);
    for (const CustomNotation& n : read.notations) {
        check(!nameRefusal(n.name));
        check(!n.format.text().isEmpty());
    }
    for (const QString& refusal : read.refusals) {
        check(refusal.size() < 300);
        for (QChar c : refusal)
            check(c.isPrint());
    }
    const NotationList list(read.notations);
    for (qsizetype i = 0; i < list.size(); ++i)
        check(list.indexOf(list.name(i)) == i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const PackedColor color = packColor(data[0], data[1], data[2]);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 3, qsizetype(size - 3));
    writeTemplate(text, color);
    readLines(text);
    return 0;
}
