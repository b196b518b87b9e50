// libFuzzer target for the help file's context map (its #IVB and #STRINGS
// objects). The input is the two objects: a 16-bit little-endian length,
// that many bytes of #IVB (fewer when the input ends), the rest #STRINGS.
// Any bytes look up every listed number without reading past either object,
// giving a name from #STRINGS or nothing; and a map written from the input's
// names and numbers as the help compiler lays it out reads every number back
// to its name.
#include "help/ChmFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QtEndian>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

void appendWord(QByteArray& bytes, quint32 word) {
    char le[4];
    qToLittleEndian(word, le);
    bytes.append(le, 4);
}

/// The numbers the pairs of an #IVB list, as far as its bytes go.
QList<quint32> listedNumbers(const QByteArray& ivb) {
    QList<quint32> numbers;
    for (qsizetype at = 4; at + 8 <= ivb.size(); at += 8)
        numbers.append(qFromLittleEndian<quint32>(ivb.constData() + at));
    return numbers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size < 2)
        return 0;
    const qsizetype length =
        std::min<qsizetype>(qFromLittleEndian<quint16>(bytes), qsizetype(size) - 2);
    // Not copied: a read past either object's end reads past the input,
    // which the sanitizer reports.
    const QByteArray ivb = QByteArray::fromRawData(bytes + 2, length);
    const QByteArray strings =
        QByteArray::fromRawData(bytes + 2 + length, qsizetype(size) - 2 - length);

    QList<quint32> numbers = listedNumbers(ivb);
    numbers << 0 << 1 << 0xFFFFFFFFu;
    for (const quint32 id : numbers) {
        const QString page = help::contextPage(ivb, strings, id);
        check(id != 0 || page.isEmpty());
        check(!page.contains(QChar(0)) && page.size() <= strings.size());
    }

    // The same names and numbers, written as the help compiler writes a map:
    // #STRINGS opens with an empty name, each name ends in a zero byte. The
    // first pair of a number answers.
    QList<QByteArray> names = strings.split('\0');
    names.removeAll(QByteArray());
    names = names.mid(0, 512); // each look-up reads the pairs: keep it quick
    QByteArray newStrings(1, '\0');
    QByteArray newIvb;
    appendWord(newIvb, quint32(names.size() * 8));
    QHash<quint32, QByteArray> first;
    const QList<quint32> listed = listedNumbers(ivb);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const quint32 id = i < listed.size() ? listed[i] : quint32(i + 1);
        appendWord(newIvb, id);
        appendWord(newIvb, quint32(newStrings.size()));
        newStrings += names[i] + '\0';
        if (!first.contains(id))
            first.insert(id, names[i]);
    }
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        const QString expected = it.key() == 0 ? QString() : QString::fromUtf8(*it);
        check(help::contextPage(newIvb, newStrings, it.key()) == expected);
    }
    return 0;
}
