#include "files/SettingsFile.h"
#include "palette/AseFile.h"
#include "palette/GplFile.h"
#include "palette/ImportExport.h"
#include "palette/PaletteStore.h"
#include "palette/TextFiles.h"
#include "support/SharedState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <bit>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace palette;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

/// A read palette as one text, or the message of its problem after "!".
QString describe(const Result<Palette>& read) {
    if (!read)
        return u"!"_s + read.error();
    const Palette& p = *read;
    QString text = p.name + u" ["_s + QString::number(p.columns) + u"]"_s;
    const auto swatch = [](const Swatch& s) { return hexText(s.color) + u' ' + s.name; };
    if (p.colors.size() > 8) // a summary of a long one
        return text + u" %1 colours: "_s.arg(p.colors.size()) + swatch(p.colors.first()) +
               u" ... "_s + swatch(p.colors.last());
    for (const Swatch& s : p.colors)
        text += u"; "_s + swatch(s);
    return text;
}

/// Colour n of a test's sequence, never black or the same twice below 2^24.
PackedColor nth(quint32 n) {
    return PackedColor(n & 0xFFFFFF);
}

QString python() {
    return QStandardPaths::findExecutable(u"python3"_s, {u"/usr/bin"_s});
}

QString aseTool() {
    return QStringLiteral(MIRABOU_TEST_SUPPORT "/ase_tool.py");
}

/// A little-endian-free builder of Adobe Swatch Exchange bytes.
struct Ase {
    QByteArray bytes;
    Ase& u16(quint16 v) {
        bytes += char(v >> 8);
        bytes += char(v & 0xFF);
        return *this;
    }
    Ase& u32(quint32 v) { return u16(quint16(v >> 16)).u16(quint16(v & 0xFFFF)); }
    Ase& f32(float v) { return u32(std::bit_cast<quint32>(v)); }
    Ase& raw(const QByteArray& b) {
        bytes += b;
        return *this;
    }
    /// A name with its length and terminating zero.
    Ase& name(const QString& n) {
        u16(quint16(n.size() + 1));
        for (const QChar c : n)
            u16(c.unicode());
        return u16(0);
    }
    static Ase header(quint32 blocks) { return Ase().raw("ASEF").u16(1).u16(0).u32(blocks); }
    /// A block of that type around body (its length given, or body's own).
    Ase& block(quint16 type, const Ase& body, qint64 length = -1) {
        u16(type).u32(quint32(length < 0 ? body.bytes.size() : length));
        return raw(body.bytes);
    }
    Ase& group(const QString& n) { return block(0xC001, Ase().name(n)); }
    Ase& end() { return block(0xC002, Ase()); }
    Ase& rgb(const QString& n, float r, float g, float b, quint16 type = 2) {
        return block(1, Ase().name(n).raw("RGB ").f32(r).f32(g).f32(b).u16(type));
    }
};

QByteArray gplLines(const QByteArray& body) {
    return "GIMP Palette\nName: P\nColumns: 0\n#\n" + body;
}

/// What the killed writer tells the test, through a small file both map.
struct WriterState {
    std::atomic<quint32> done;    // changes made and acknowledged
    std::atomic<quint32> writing; // 1 while inside a change
    std::atomic<quint64> lastNs;  // how long the last change took
};

WriterState* mapState(const QString& path) {
    return testsupport::mapSharedState<WriterState>(path);
}

// The kill test's palettes: one the writer grows, two names it renames
// between, and how many colours each starts with (enough that a write
// takes a while).
const QString KillPalette = u"Kill test"_s;
const QString KillNames[2] = {u"Kill A"_s, u"Kill B / renamed"_s};
constexpr int KillStartColors = 3000;

Palette killStart(const QString& name) {
    Palette p{name, 0, {}};
    for (int i = 0; i < KillStartColors; ++i)
        p.colors.append(Swatch{packColor(i & 0xFF, i >> 8, 0xEE), u"start %1"_s.arg(i)});
    return p;
}

} // namespace

class tst_Palette : public QObject {
    Q_OBJECT
private slots:
    void gplRead_data();
    void gplRead();
    void gplWrite();
    void gimpReadsExport();
    void aseRead_data();
    void aseRead();
    void aseExportReadByIndependentReader();
    void aseFromIndependentWriter_data();
    void aseFromIndependentWriter();
    void textExports();
    void textImport_data();
    void textImport();
    void files_data();
    void files();
    void unusableFiles_data();
    void unusableFiles();
    void history();
    void historyConcurrent_data();
    void historyConcurrent();
    void palettes();
    void fileNames_data();
    void fileNames();
    void paletteColors();
    void storeRefusals();
    void unreadableFileIsNeverWrittenOver();
    void killedWriterLeavesWholeFile_data();
    void killedWriterLeavesWholeFile();
    void dataFolder();

private:
    QTemporaryDir m_dir;
};

void tst_Palette::gplRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray gimp = "GIMP Palette\nName: Web\nColumns: 4\n#\n"
                            "255   0   0\tRed\n  0 128 255\tSky blue\n";
    QTest::newRow("as GIMP writes") << gimp << u"Web [4]; #FF0000 Red; #0080FF Sky blue"_s;
    QTest::newRow("no name, no columns")
        << QByteArray("GIMP Palette\n1 2 3 x\n") << u" [0]; #010203 x"_s;
    QTest::newRow("comments, empty lines, blanks")
        << QByteArray("GIMP Palette\n# made by hand\n\n   \nName:   Spaced  \n#\n\t10\t20  30 \t"
                      "a  b \n# 1 2 3 not a colour\n")
        << u"Spaced [0]; #0A141E a  b"_s;
    QTest::newRow("no name is Untitled")
        << gplLines("1 1 1\n2 2 2 \t \n") << u"P [0]; #010101 Untitled; #020202 Untitled"_s;
    QTest::newRow("name beginning with digits")
        << gplLines("1 2 3 45 6\n") << u"P [0]; #010203 45 6"_s;
    QTest::newRow("plus sign") << gplLines("+1 2 3 x\n") << u"P [0]; #010203 x"_s;
    QTest::newRow("CRLF") << QByteArray("GIMP Palette\r\nName: W\r\n#\r\n1 2 3\tA\r\n4 5 6\tB\r\n")
                          << u"W [0]; #010203 A; #040506 B"_s;
    QTest::newRow("CR alone") << QByteArray("GIMP Palette\rName: W\r1 2 3\tA\r4 5 6\tB")
                              << u"W [0]; #010203 A; #040506 B"_s;
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBFGIMP Palette\nName: W\n1 2 3\tA\n") << u"W [0]; #010203 A"_s;
    QTest::newRow("byte-order marks within names dropped") << gplLines("1 2 3\t\xEF\xBB\xBF"
                                                                       "a\xEF\xBB\xBF"
                                                                       "b\n")
                                                           << u"P [0]; #010203 ab"_s;
    QTest::newRow("no final newline")
        << QByteArray("GIMP Palette\nName: W\n1 2 3\tLast") << u"W [0]; #010203 Last"_s;
    QTest::newRow("UTF-8 names") << QByteArray("GIMP Palette\nName: Gr\xC3\xBCn \xE2\x9C\x93\n"
                                               "1 2 3\t\xE6\xB5\xB7 \xF0\x9F\x8C\x8A\n")
                                 << u"Grün ✓ [0]; #010203 海 🌊"_s;
    QTest::newRow("Latin-1 names are mapped")
        << QByteArray("GIMP Palette\nName: Caf\xE9\n1 2 3\tGr\xFCn \xBD\n4 5 6\tplain\n")
        << u"Café [0]; #010203 Grün ½; #040506 plain"_s;
    QTest::newRow("columns not a number")
        << QByteArray("GIMP Palette\nColumns: many\n1 2 3 x\n") << u" [0]; #010203 x"_s;
    QTest::newRow("columns beyond GIMP's")
        << QByteArray("GIMP Palette\nColumns: 999\n1 2 3 x\n") << u" [0]; #010203 x"_s;
    QTest::newRow("control characters in a name") << gplLines(QByteArray("1 2 3\ta\x01"
                                                                         "b\x7F"
                                                                         "c\0d\n",
                                                                         14))
                                                  << u"P [0]; #010203 a b c d"_s;
    QByteArray many = "GIMP Palette\nName: Many\n";
    for (int i = 0; i < MaxColors; ++i)
        many += QByteArray::number(i % 256) + ' ' + QByteArray::number(i / 256 % 256) + " 7\tc" +
                QByteArray::number(i) + '\n';
    QTest::newRow("100,000 colours")
        << many << u"Many [0] 100000 colours: #000007 c0 ... #9F8607 c99999"_s;
    QTest::newRow("100,001 colours") << many + "1 2 3\n"
                                     << u"!line 100003: more than 100000 colours"_s;
    const QByteArray longName(MaxNameLength, 'n');
    QTest::newRow("name of the longest") << gplLines("1 2 3\t" + longName + "\n")
                                         << u"P [0]; #010203 "_s + QString::fromLatin1(longName);
    QTest::newRow("name of 1 MB") << gplLines("1 2 3\t" + QByteArray(1 << 20, 'n') + "\n")
                                  << u"!line 5: the colour's name is longer than 1024 characters"_s;
    QTest::newRow("palette name of 1 MB")
        << "GIMP Palette\nName: " + QByteArray(1 << 20, 'n') + "\n"
        << u"!line 2: the palette's name is longer than 1024 characters"_s;
    QTest::newRow("name longer in characters")
        << gplLines("1 2 3\t" + QByteArray(MaxNameLength + 1, 'n') + "\n")
        << u"!line 5: the colour's name is longer than 1024 characters"_s;
    QTest::newRow("empty file") << QByteArray()
                                << u"!line 1: not a GIMP palette (its first line must begin with "
                                   "\"GIMP Palette\")"_s;
    QTest::newRow("other first line")
        << QByteArray("Name: x\nGIMP Palette\n")
        << u"!line 1: not a GIMP palette (its first line must begin with \"GIMP Palette\")"_s;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                            << u"!line 1: not a GIMP palette (its first line must begin with "
                               "\"GIMP Palette\")"_s;
    QTest::newRow("binary after the first line")
        << QByteArray("GIMP Palette\n\x01\x02\xFF\xFE\0\0", 19)
        << u"!line 2: not a colour (red, green and blue from 0 to 255 and a name are expected)"_s;
    QTest::newRow("256") << gplLines("1 2 3\n0 256 0\tx\n")
                         << u"!line 6: green 256 is outside 0 to 255"_s;
    QTest::newRow("negative") << gplLines("-1 0 0\n") << u"!line 5: red -1 is outside 0 to 255"_s;
    QTest::newRow("huge number") << gplLines("0 0 99999999999999999999\n")
                                 << u"!line 5: blue 999999999999… is outside 0 to 255"_s;
    QTest::newRow("two values")
        << gplLines("1 2\n")
        << u"!line 5: not a colour (red, green and blue from 0 to 255 and a name are expected)"_s;
    QTest::newRow("letters in a value")
        << gplLines("1 2x 3\n")
        << u"!line 5: not a colour (red, green and blue from 0 to 255 and a name are expected)"_s;
    QTest::newRow("Name: after the colours")
        << gplLines("1 2 3\nName: late\n")
        << u"!line 6: not a colour (red, green and blue from 0 to 255 and a name are expected)"_s;
    QTest::newRow("truncated amid a colour")
        << gplLines("1 2 3\tA\n4 5")
        << u"!line 6: not a colour (red, green and blue from 0 to 255 and a name are expected)"_s;
    QTest::newRow("larger than the limit")
        << QByteArray(MaxFileBytes + 1, '#') << u"!larger than 16 MiB"_s;
}

void tst_Palette::gplRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const Result<Palette> read = readGpl(bytes);
    QCOMPARE(describe(read), expected);
    if (!read && expected.startsWith(u"!line "_s)) // the line is told apart too
        QCOMPARE(u"!line %1:"_s.arg(read.problem().line), expected.section(u' ', 0, 1));
}

void tst_Palette::gplWrite() {
    // Byte for byte as GIMP writes a palette; the widths of "%3d".
    const Palette p{u"Mix – ü/ß"_s,
                    8,
                    {{packColor(255, 0, 0), u"Red"_s},
                     {packColor(7, 80, 100), u"Grün ✓"_s},
                     {packColor(0, 0, 0), QString()},
                     {packColor(1, 2, 3), u"  two\nlines\t"_s}}};
    QCOMPARE(writeGpl(p),
             QByteArray("GIMP Palette\nName: Mix \xE2\x80\x93 \xC3\xBC/\xC3\x9F\n"
                        "Columns: 8\n#\n255   0   0\tRed\n  7  80 100\tGr\xC3\xBCn "
                        "\xE2\x9C\x93\n  0   0   0\tUntitled\n  1   2   3\ttwo lines\n"));
    // What it writes reads back as it was meant.
    Palette expected = p;
    expected.colors[2].name = untitled();
    expected.colors[3].name = u"two lines"_s;
    QCOMPARE(describe(readGpl(writeGpl(p))), describe(expected));
    QCOMPARE(readGpl(writeGpl(p)).value(), expected);
}

void tst_Palette::gimpReadsExport() {
    const QString gimp = QStandardPaths::findExecutable(u"gimp"_s);
    if (gimp.isEmpty())
        QFAIL("GIMP is not installed (the Debian package gimp; make test installs it)");
    Palette p{u"Mirabou – GIMP test/ß"_s, 6, {}};
    const QStringList names = {u"Red"_s,         u"Grün ✓"_s,         u"海 🌊"_s,
                               u"two  blanks"_s, u"#not a comment"_s, u"12 34 56"_s,
                               QString()};
    QRandomGenerator rng(35);
    for (int i = 0; i < 40; ++i) {
        const int r = i == 0 ? 255 : int(rng.bounded(256));
        p.colors.append(
            Swatch{packColor(r, i == 0 ? 0 : int(rng.bounded(256)), i * 6),
                   names[i % names.size()] + (i >= names.size() ? u" %1"_s.arg(i) : QString())});
    }
    QTemporaryDir home;
    const QString folder = home.filePath(u".config/GIMP/2.10/palettes"_s);
    QVERIFY(QDir().mkpath(folder));
    // Through the program's own export; a name that cannot be a file name.
    QVERIFY(exportPalette(p, folder + u"/export.gpl"_s).ok());
    // Script-Fu prints each colour as GIMP read it, and its name.
    QString name = p.name;
    name.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
    const QString script =
        u"(begin (gimp-message-set-handler 1)"
        " (let* ((p \"%1\") (colors (vector->list (cadr (gimp-palette-get-colors p))))"
        "        (out \"\") (i 0))"
        "  (for-each (lambda (c)"
        "     (set! out (string-append out \"<\" (number->string (car c)) \" \""
        "       (number->string (cadr c)) \" \" (number->string (caddr c)) \"|\""
        "       (car (gimp-palette-entry-get-name p i)) \">\"))"
        "     (set! i (+ i 1))) colors)"
        "  (gimp-message (string-append \"columns \""
        "    (number->string (car (gimp-palette-get-columns p))) \" \" out))))"_s.arg(name);
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, home.path());
    env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u".config"_s));
    env.insert(u"XDG_DATA_HOME"_s, home.filePath(u".local/share"_s));
    env.insert(u"XDG_CACHE_HOME"_s, home.filePath(u".cache"_s));
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    run.setProcessEnvironment(env);
    run.start(gimp, {u"-i"_s, u"-f"_s, u"-b"_s, script, u"-b"_s, u"(gimp-quit 0)"_s});
    QVERIFY(run.waitForFinished(120000));
    const QString err = QString::fromUtf8(run.readAllStandardError());
    QCOMPARE(run.exitCode(), 0);
    const qsizetype at = err.indexOf(u"script-fu-Warning: columns "_s);
    QVERIFY2(at >= 0, qPrintable(u"GIMP did not read the palette: "_s + err));
    QString expected = u"columns 6 "_s;
    for (const Swatch& s : p.colors)
        expected += u"<%1 %2 %3|%4>"_s.arg(redOf(s.color))
                        .arg(greenOf(s.color))
                        .arg(blueOf(s.color))
                        .arg(cleanName(s.name).isEmpty() ? untitled() : cleanName(s.name));
    QCOMPARE(err.mid(at + 19, expected.size()), expected);
}

void tst_Palette::aseRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qint64>("byte"); // where a refusal says it went wrong
    QTest::newRow("a group") << Ase::header(4)
                                    .group(u"Brand"_s)
                                    .rgb(u"Orange"_s, 1, 0.5f, 0)
                                    .rgb(u"Steel"_s, 0.2f, 0.4f, 0.6f, 0)
                                    .end()
                                    .bytes
                             << u"Brand [0]; #FF8000 Orange; #336699 Steel"_s << qint64(-1);
    QTest::newRow("no group end") << Ase::header(2).group(u"G"_s).rgb(u"A"_s, 0, 0, 1).bytes
                                  << u"G [0]; #0000FF A"_s << qint64(-1);
    QTest::newRow("no group") << Ase::header(1).rgb(u"A"_s, 0, 1, 0, 1).bytes
                              << u" [0]; #00FF00 A"_s << qint64(-1);
    QTest::newRow("two groups flattened")
        << Ase::header(7)
               .group(u"One"_s)
               .rgb(u"A"_s, 1, 0, 0)
               .end()
               .group(u"Two"_s)
               .rgb(u"B"_s, 0, 1, 0)
               .end()
               .rgb(u"C"_s, 0, 0, 1)
               .bytes
        << u" [0]; #FF0000 A; #00FF00 B; #0000FF C"_s << qint64(-1);
    QTest::newRow("empty name is Untitled") << Ase::header(1).rgb(QString(), 1, 1, 1).bytes
                                            << u" [0]; #FFFFFF Untitled"_s << qint64(-1);
    QTest::newRow("name ends at its first zero")
        << Ase::header(1).rgb(u"ab"_s + QChar(0) + u"cd"_s, 1, 1, 1).bytes << u" [0]; #FFFFFF ab"_s
        << qint64(-1);
    QTest::newRow("block of another kind skipped")
        << Ase::header(2).block(0x0002, Ase().raw("whatever")).rgb(u"A"_s, 1, 1, 1).bytes
        << u" [0]; #FFFFFF A"_s << qint64(-1);
    QTest::newRow("longer colour block") // a block may hold more than we read
        << Ase::header(2)
               .block(1, Ase().name(u"A"_s).raw("Gray").f32(0.5f).u16(2).raw("xyz"))
               .rgb(u"B"_s, 0, 0, 0)
               .bytes
        << u" [0]; #808080 A; #000000 B"_s << qint64(-1);
    QTest::newRow("bytes after the blocks") << Ase::header(1).rgb(u"A"_s, 1, 1, 1).raw("junk").bytes
                                            << u" [0]; #FFFFFF A"_s << qint64(-1);
    QTest::newRow("values beyond 0 to 1 held")
        << Ase::header(1).rgb(u"A"_s, 7, -3, 1e30f).bytes << u" [0]; #FF00FF A"_s << qint64(-1);
    Ase many = Ase::header(MaxColors);
    for (int i = 0; i < MaxColors; ++i)
        many.rgb(u"c"_s + QString::number(i), 0, 0, 1);
    QTest::newRow("100,000 colours")
        << many.bytes << u" [0] 100000 colours: #0000FF c0 ... #0000FF c99999"_s << qint64(-1);
    Ase more = many;
    more.rgb(u"one more"_s, 0, 0, 0);
    more.bytes[11] = char(quint8(MaxColors + 1)); // the count's low byte: 0x86A1
    const qint64 last = many.bytes.size();
    QTest::newRow("100,001 colours")
        << more.bytes << u"!byte %1: more than 100000 colours"_s.arg(last) << last;

    QTest::newRow("empty file")
        << QByteArray()
        << u"!byte 0: not an Adobe Swatch Exchange file (it must begin with \"ASEF\", a version "
           "and a block count)"_s
        << qint64(0);
    QTest::newRow("truncated header")
        << QByteArray("ASEF\0\1\0", 7)
        << u"!byte 0: not an Adobe Swatch Exchange file (it must begin with \"ASEF\", a version "
           "and a block count)"_s
        << qint64(0);
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                            << u"!byte 0: not an Adobe Swatch Exchange file (it must begin with "
                               "\"ASEF\", a version and a block count)"_s
                            << qint64(0);
    QTest::newRow("version 2") << Ase().raw("ASEF").u16(2).u16(0).u32(0).bytes
                               << u"!byte 4: version 2.0; only version 1 is read"_s << qint64(4);
    QTest::newRow("count of 4 billion")
        << Ase::header(0xFFFFFFFFu).rgb(u"A"_s, 1, 1, 1).bytes
        << u"!byte 8: a count of 4294967295 blocks, but the file has room for at most 5"_s
        << qint64(8);
    const Ase two = Ase::header(3).rgb(u"A"_s, 1, 1, 1).rgb(u"B"_s, 0, 0, 0);
    QTest::newRow("count beyond the blocks")
        << two.bytes << u"!byte %1: the file ends before block 3 of 3"_s.arg(two.bytes.size())
        << qint64(two.bytes.size());
    QTest::newRow("length past the end")
        << Ase::header(1).block(1, Ase().name(u"A"_s).raw("RGB "), 1000).bytes
        << u"!byte 14: block 1's length 1000 runs past the end of the file (10 bytes are left)"_s
        << qint64(14);
    QTest::newRow("length of 4 billion")
        << Ase::header(1).block(1, Ase().name(u"A"_s), 0xFFFFFFFFu).bytes
        << u"!byte 14: block 1's length 4294967295 runs past the end of the file (6 bytes are "
           "left)"_s
        << qint64(14);
    QTest::newRow("length too short for the values")
        << Ase::header(2)
               .block(1, Ase().name(u"A"_s).raw("RGB ").f32(1).f32(1).f32(1).u16(2), 14)
               .end()
               .bytes
        << u"!byte 28: the colour block that begins at byte 12 ends before its 3 values and "
           "colour type"_s
        << qint64(28);
    QTest::newRow("length too short for the model")
        << Ase::header(1)
               .block(1, Ase().name(u"A"_s).raw("RGB ").f32(1).f32(1).f32(1).u16(2), 6)
               .bytes
        << u"!byte 24: the colour block that begins at byte 12 ends before its colour model"_s
        << qint64(24);
    QTest::newRow("length swallowing the next block")
        << Ase::header(3)
               .block(1, Ase().name(u"A"_s).raw("Gray").f32(1).u16(2), 16 + 30)
               .rgb(u"B"_s, 0, 0, 0)
               .end()
               .bytes
        << u"!byte 70: the file ends before block 3 of 3"_s << qint64(70);
    QTest::newRow("zero-length name")
        << Ase::header(1).block(1, Ase().u16(0).raw("RGB ").f32(1).f32(1).f32(1).u16(2)).bytes
        << u"!byte 18: a name of length 0 (a name holds at least its terminating zero)"_s
        << qint64(18);
    QTest::newRow("zero-length group name") << Ase::header(1).block(0xC001, Ase().u16(0)).bytes
                                            << u"!byte 18: a name of length 0 (a name holds at "
                                               "least its terminating zero)"_s
                                            << qint64(18);
    QTest::newRow("name without its zero")
        << Ase::header(1).block(1, Ase().u16(2).u16('A').u16('B').raw("Gray").f32(1).u16(2)).bytes
        << u"!byte 22: the name does not end in a zero"_s << qint64(22);
    QTest::newRow("name past its block")
        << Ase::header(1).block(1, Ase().u16(40).u16('A').u16(0)).bytes
        << u"!byte 18: the name's length 40 runs past the end of its block"_s << qint64(18);
    QTest::newRow("name of 65535 characters")
        << Ase::header(1).block(1, Ase().u16(0xFFFF).raw(QByteArray(0x1FFFE, 'a'))).bytes
        << u"!byte 18: a name of 65534 characters, longer than 1024"_s << qint64(18);
    QTest::newRow("block too short for a name")
        << Ase::header(1).block(1, Ase().raw("A")).bytes
        << u"!byte 18: the block that begins at byte 12 ends before its name's length"_s
        << qint64(18);
    QTest::newRow("NaN") << Ase::header(1).rgb(u"A"_s, 1, std::nanf(""), 1).bytes
                         << u"!byte 32: a colour value that is not a number (NaN)"_s << qint64(32);
    QTest::newRow("infinite") << Ase::header(1).rgb(u"A"_s, 1, 1, INFINITY).bytes
                              << u"!byte 36: an infinite colour value"_s << qint64(36);
    QTest::newRow("minus infinite")
        << Ase::header(1)
               .block(1, Ase().name(u"A"_s).raw("LAB ").f32(-INFINITY).f32(0).f32(0).u16(2))
               .bytes
        << u"!byte 28: an infinite colour value"_s << qint64(28);
    QTest::newRow("unknown model")
        << Ase::header(1)
               .block(1, Ase().name(u"A"_s).raw("HSV\x01").f32(1).f32(1).f32(1).u16(2))
               .bytes
        << u"!byte 24: colour model 48 53 56 01 (hex) is none of RGB, CMYK, LAB and Gray"_s
        << qint64(24);
    QTest::newRow("truncated amid a block")
        << Ase::header(1).rgb(u"A"_s, 1, 1, 1).bytes.left(30)
        << u"!byte 14: block 1's length 24 runs past the end of the file (12 bytes are left)"_s
        << qint64(14);
    QTest::newRow("larger than the limit")
        << Ase::header(0).raw(QByteArray(MaxFileBytes, '\0')).bytes << u"!larger than 16 MiB"_s
        << qint64(-1);
}

void tst_Palette::aseRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(qint64, byte);
    const Result<Palette> read = readAse(bytes);
    QCOMPARE(describe(read), expected);
    QCOMPARE(read.problem().byte, byte);
}

void tst_Palette::aseExportReadByIndependentReader() {
    const QString py = python();
    QVERIFY2(!py.isEmpty(), "python3 is not installed");
    const Palette p{u"Brand – Grün"_s,
                    0,
                    {{packColor(255, 128, 0), u"Orange"_s},
                     {packColor(0, 0, 0), QString()},
                     {packColor(1, 254, 127), u"海 🌊"_s},
                     {packColor(51, 102, 153), u"Steel"_s}}};
    const QString path = m_dir.filePath(u"export.ase"_s);
    QVERIFY(exportPalette(p, path).ok());
    QProcess reader;
    reader.start(py, {aseTool(), u"read"_s, path});
    QVERIFY(reader.waitForFinished(30000));
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QJsonObject file = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    QCOMPARE(file.value(u"version"_s).toArray(), QJsonArray({1, 0}));
    const QJsonArray blocks = file.value(u"blocks"_s).toArray();
    QCOMPARE(blocks.size(), p.colors.size() + 2);
    QCOMPARE(blocks.first().toObject().value(u"block"_s).toString(), u"group start"_s);
    QCOMPARE(blocks.first().toObject().value(u"name"_s).toString(), p.name);
    QCOMPARE(blocks.last().toObject().value(u"block"_s).toString(), u"group end"_s);
    for (int i = 0; i < p.colors.size(); ++i) {
        const QJsonObject c = blocks[i + 1].toObject();
        QCOMPARE(c.value(u"block"_s).toString(), u"colour"_s);
        QCOMPARE(c.value(u"name"_s).toString(),
                 p.colors[i].name.isEmpty() ? untitled() : p.colors[i].name);
        QCOMPARE(c.value(u"model"_s).toString(), u"RGB "_s);
        QCOMPARE(c.value(u"type"_s).toInt(), 2);
        const QJsonArray v = c.value(u"values"_s).toArray();
        const PackedColor color = p.colors[i].color;
        QCOMPARE(v.size(), 3);
        // Each component as a fraction of 255, to float precision.
        QCOMPARE(float(v[0].toDouble()), float(redOf(color)) / 255.0f);
        QCOMPARE(float(v[1].toDouble()), float(greenOf(color)) / 255.0f);
        QCOMPARE(float(v[2].toDouble()), float(blueOf(color)) / 255.0f);
    }
}

void tst_Palette::aseFromIndependentWriter_data() {
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("name");
    QTest::newRow("one group") << QStringList{u"Reference"_s} << u"Reference"_s;
    // Flattened: the colours of both groups and the one outside them, in order.
    QTest::newRow("two groups and a loose colour") << QStringList{u"A"_s, u"B"_s} << QString();
}

void tst_Palette::aseFromIndependentWriter() {
    QFETCH(QStringList, groups);
    QFETCH(QString, name);
    const QString py = python();
    QVERIFY2(!py.isEmpty(), "python3 is not installed");
    // Swatches in each colour model with the sRGB colour colorjs.io gives
    // them (ase_reference.mjs made the table).
    const QString referenceFile = QStringLiteral(MIRABOU_TEST_SUPPORT "/ase_reference.json");
    const QJsonArray reference = QJsonDocument::fromJson(readFile(referenceFile)).array();
    QVERIFY(reference.size() > 10);
    const QString path = m_dir.filePath(u"independent.ase"_s);
    QProcess writer;
    writer.start(py, QStringList{aseTool(), u"write"_s, referenceFile, path} + groups);
    QVERIFY(writer.waitForFinished(30000));
    QVERIFY2(writer.exitCode() == 0, writer.readAllStandardError().constData());
    const Result<Palette> read = importPalette(path);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->name, name.isEmpty() ? u"independent"_s : name); // else the file's name
    QCOMPARE(read->colors.size(), reference.size());
    QStringList models;
    for (int i = 0; i < reference.size(); ++i) {
        const QJsonObject r = reference[i].toObject();
        const QString wanted = r.value(u"name"_s).toString();
        QCOMPARE(read->colors[i].name, wanted.isEmpty() ? untitled() : wanted);
        QCOMPARE(hexText(read->colors[i].color), r.value(u"hex"_s).toString());
        models << r.value(u"model"_s).toString();
    }
    for (const QString& model : {u"RGB "_s, u"CMYK"_s, u"LAB "_s, u"Gray"_s})
        QVERIFY(models.contains(model));
}

void tst_Palette::textExports() {
    const Palette p{u"Web"_s,
                    0,
                    {{packColor(135, 206, 235), u"Sky Blue"_s},
                     {packColor(1, 2, 3), u"sky-blue"_s},
                     {packColor(0, 128, 0), u"Grün"_s},
                     {packColor(4, 5, 6), QString()},
                     {packColor(7, 8, 9), u"1st"_s},
                     {packColor(10, 11, 12), u"  #Über!!  alles "_s},
                     {packColor(13, 14, 15), u"a_b"_s},
                     {packColor(16, 17, 18), u"海"_s},
                     {packColor(19, 20, 21), u"\"quoted\"\nline"_s}}};
    QCOMPARE(writeCss(p), QByteArray(":root {\n"
                                     "  --sky-blue: #87CEEB;\n"
                                     "  --sky-blue-2: #010203;\n"
                                     "  --grun: #008000;\n"
                                     "  --color: #040506;\n"
                                     "  --1st: #070809;\n"
                                     "  --uber-alles: #0A0B0C;\n"
                                     "  --a_b: #0D0E0F;\n"
                                     "  --color-2: #101112;\n"
                                     "  --quoted-line: #131415;\n"
                                     "}\n"));

    // Many of one name, and a name that looks like one made unique.
    Palette alike{u"Alike"_s, 0, QList<Swatch>(MaxColors, Swatch{0, u"Untitled"_s})};
    alike.colors[1].name = u"untitled 3"_s;
    const QStringList names = cssPropertyNames(alike);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), MaxColors);
    QCOMPARE(names.mid(0, 4), (QStringList{u"--untitled"_s, u"--untitled-3"_s, u"--untitled-2"_s,
                                           u"--untitled-4"_s}));
    QCOMPARE(names.last(), u"--untitled-100000"_s);

    const QJsonArray json = QJsonDocument::fromJson(writeJson(p)).array();
    QCOMPARE(json.size(), p.colors.size());
    for (int i = 0; i < p.colors.size(); ++i) {
        QCOMPARE(json[i].toObject().value(u"hex"_s).toString(), hexText(p.colors[i].color));
        QCOMPARE(json[i].toObject().value(u"name"_s).toString(), cleanName(p.colors[i].name));
    }
    QCOMPARE(json[8].toObject().value(u"name"_s).toString(), u"\"quoted\" line"_s);

    // Plain text in the notation the caller gives, hex by default.
    QCOMPARE(
        writeText(Palette{u"x"_s, 0, {{packColor(255, 128, 0), {}}, {packColor(1, 2, 3), {}}}}),
        QByteArray("#FF8000\n#010203\n"));
    const TextFunction dec = [](PackedColor c) {
        return u"%1,%2,%3"_s.arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c));
    };
    const QByteArray text = writeText(p, dec);
    QVERIFY(text.startsWith("135,206,235\n1,2,3\n"));
    const Result<Palette> back = readText(text, readHexOrDec);
    QVERIFY(back.ok());
    QCOMPARE(back->colors.size(), p.colors.size());
    for (int i = 0; i < p.colors.size(); ++i)
        QCOMPARE(back->colors[i].color, p.colors[i].color);
}

void tst_Palette::textImport_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hex and dec")
        << QByteArray("#FF8000\nff8001\n  1, 2 ,3  \n")
        << u" [0]; #FF8000 named FF8000; #FF8001 named FF8001; #010203 named 010203"_s;
    QTest::newRow("empty lines, CRLF, BOM, no final newline")
        << QByteArray("\xEF\xBB\xBF\r\n#000001\r\n\r\n\t\n#000002")
        << u" [0]; #000001 named 000001; #000002 named 000002"_s;
    QTest::newRow("nothing") << QByteArray("\n\n") << u" [0]"_s;
    QTest::newRow("a line that is no colour")
        << QByteArray("#FF8000\n#01020\n#FFFFFF\n") << u"!line 2: \"#01020\" is no colour"_s;
    QTest::newRow("256") << QByteArray("1,2,256\n") << u"!line 1: \"1,2,256\" is no colour"_s;
    QTest::newRow("0x prefix") << QByteArray("0x1234\n") << u"!line 1: \"0x1234\" is no colour"_s;
    QTest::newRow("Latin-1") << QByteArray("#FF8000\nGr\xFCn\n")
                             << u"!line 2: \"Grün\" is no colour"_s;
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\0\0\0",
                                          10)
                            << u"!line 1: \"ELF\" is no colour"_s;
    QTest::newRow("line of 1 MB") << "#000000\n" + QByteArray(1 << 20, 'f') + "\n"
                                  << u"!line 2: longer than 1024 characters, no colour"_s;
    QByteArray many;
    for (int i = 0; i <= MaxColors; ++i)
        many += "#0000FF\n";
    QTest::newRow("100,001 colours") << many << u"!line 100001: more than 100000 colours"_s;
    many.chop(8);
    QTest::newRow("100,000 colours")
        << many << u" [0] 100000 colours: #0000FF named 0000FF ... #0000FF named 0000FF"_s;
}

void tst_Palette::textImport() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    // The caller's reader and namer are the ones used.
    const NameFunction named = [](PackedColor c) { return u"named "_s + hexText(c).mid(1); };
    const Result<Palette> read = readText(bytes, readHexOrDec, named);
    const QString got = describe(read);
    QCOMPARE(got, expected);
}

void tst_Palette::files_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("importable");
    QTest::newRow("gpl") << u"p.gpl"_s << true;
    QTest::newRow("ase, upper case") << u"P.ASE"_s << true;
    QTest::newRow("txt") << u"p.txt"_s << true;
    QTest::newRow("css") << u"p.css"_s << false;
    QTest::newRow("json") << u"p.json"_s << false;
}

void tst_Palette::files() {
    QFETCH(QString, file);
    QFETCH(bool, importable);
    const Palette p{
        u"Files"_s, 0, {{packColor(255, 128, 0), u"Orange"_s}, {packColor(1, 2, 3), u"Dark"_s}}};
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(writeFile(path, "old"));
    const Status written = exportPalette(p, path);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    const std::optional<FileType> type = fileTypeOf(path);
    QVERIFY(type);
    QCOMPARE(readFile(path), exportBytes(p, *type));
    const Result<Palette> read = importPalette(path);
    QCOMPARE(read.ok(), importable);
    if (!importable) {
        QCOMPARE(read.error(), path + u": not a .gpl, .ase or .txt file (the type is told by the "
                                      "name's ending)"_s);
        return;
    }
    Palette expected = p;
    if (*type == FileType::Text) { // plain text keeps no names
        expected.name = u"p"_s;
        for (Swatch& s : expected.colors)
            s.name = hexText(s.color);
    }
    QCOMPARE(read.value(), expected);
}

void tst_Palette::unusableFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << u"missing"_s;
    QTest::newRow("folder") << u"folder"_s;
    QTest::newRow("pipe") << u"pipe"_s;
    QTest::newRow("device") << u"device"_s;
    QTest::newRow("100 MB") << u"huge"_s;
    QTest::newRow("unknown type") << u"type"_s;
    QTest::newRow("bad line") << u"bad"_s;
}

void tst_Palette::unusableFiles() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(u"p.gpl"_s);
    QString expected;
    if (kind == u"missing"_s) {
        expected = u"no such file"_s;
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir().mkpath(path));
        expected = u"not a file"_s;
    } else if (kind == u"pipe"_s) { // opening it would wait for a writer
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        expected = u"not a file"_s;
    } else if (kind == u"device"_s) { // endless
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
        expected = u"not a file"_s;
    } else if (kind == u"huge"_s) { // sparse: no disk taken, nothing read
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("GIMP Palette\n") > 0 && file.resize(100 << 20));
        expected = u"larger than 16 MiB"_s;
    } else if (kind == u"type"_s) {
        path = dir.filePath(u"p.aco"_s);
        QVERIFY(writeFile(path, "GIMP Palette\n"));
        expected = u"not a .gpl, .ase or .txt file (the type is told by the name's ending)"_s;
    } else {
        QVERIFY(writeFile(path, "GIMP Palette\n1 2 3\n\n1 2 256\n"));
        expected = u"line 4: blue 256 is outside 0 to 255"_s;
    }
    QCOMPARE(importPalette(path).error(), path + u": "_s + expected);
    // Nothing half imported into a store.
    PaletteStore store(dir.filePath(u"store"_s));
    QCOMPARE(store.importFile(path).error(), path + u": "_s + expected);
    QVERIFY(store.palettes().isEmpty());
}

void tst_Palette::history() {
    QTemporaryDir dir;
    const NameFunction names = [](PackedColor c) { return u"n"_s + hexText(c); };
    PaletteStore store(dir.path(), names);
    QCOMPARE(store.history()->colors.size(), 0);
    QVERIFY(QDir(dir.path()).isEmpty()); // nothing written before a pick

    for (quint32 n = 1; n <= 3; ++n)
        QVERIFY(store.addToHistory(nth(n)).ok());
    const auto colors = [](const PaletteStore& s) {
        QList<PackedColor> list;
        const Result<Palette> read = s.history();
        for (const Swatch& sw : read->colors)
            list << sw.color;
        return list;
    };
    QCOMPARE(colors(store), (QList<PackedColor>{nth(3), nth(2), nth(1)}));
    QCOMPARE(store.history()->colors[0].name, u"n#030000"_s);

    // A colour already there moves to the front, keeping a name given it.
    QVERIFY(store.renameColor(u"history"_s, 2, nth(1), u"first pick"_s).ok());
    QVERIFY(store.addToHistory(nth(1)).ok());
    QCOMPARE(colors(store), (QList<PackedColor>{nth(1), nth(3), nth(2)}));
    QCOMPARE(store.history()->colors[0].name, u"first pick"_s);
    QVERIFY(store.addToHistory(nth(1)).ok());
    QCOMPARE(colors(store), (QList<PackedColor>{nth(1), nth(3), nth(2)}));

    // The newest 50, the oldest dropped.
    for (quint32 n = 4; n <= 60; ++n)
        QVERIFY(store.addToHistory(nth(n)).ok());
    const QList<PackedColor> held = colors(store);
    QCOMPARE(held.size(), PaletteStore::HistoryLimit);
    QCOMPARE(held.first(), nth(60));
    QCOMPARE(held.last(), nth(11));

    // A GIMP palette, read anew after a restart, and by another store at once.
    const Result<Palette> file = readGpl(readFile(store.historyPath()));
    QVERIFY(file.ok());
    QCOMPARE(file->colors.size(), 50);
    QCOMPARE(colors(PaletteStore(dir.path())), held);
    PaletteStore other(dir.path());
    QVERIFY(other.addToHistory(nth(100)).ok());
    QCOMPARE(colors(store).first(), nth(100));
    QCOMPARE(colors(store).size(), 50);

    // Removed, put back (an undo), and the same colour not twice.
    QVERIFY(store.removeColor(u"History"_s, 1, nth(60)).ok());
    QCOMPARE(colors(store).size(), 49);
    QVERIFY(!colors(store).contains(nth(60)));
    QVERIFY(store.insertSwatch(u"history"_s, 1, Swatch{nth(60), u"back"_s}).ok());
    QCOMPARE(colors(store).mid(0, 3), (QList<PackedColor>{nth(100), nth(60), nth(59)}));
    QVERIFY(store.insertSwatch(u"history"_s, 5, Swatch{nth(100), {}}).ok());
    QCOMPARE(colors(store).mid(0, 5),
             (QList<PackedColor>{nth(60), nth(59), nth(58), nth(57), nth(100)}));
    QCOMPARE(colors(store).count(nth(100)), 1);
    // Through the palette commands: "history" in any case is the history.
    QVERIFY(store.addColor(u"HISTORY"_s, nth(7)).ok());
    QCOMPARE(colors(store).first(), nth(7));
    QCOMPARE(store.palette(u"history"_s)->colors, store.history()->colors);
}

void tst_Palette::historyConcurrent_data() {
    QTest::addColumn<int>("limit");
    QTest::newRow("all kept") << 1000;
    QTest::newRow("the newest 50") << 50;
}

void tst_Palette::historyConcurrent() {
    QFETCH(int, limit);
    constexpr int Each = 200;
    QTemporaryDir dir;
    // Two processes add 200 colours each at once; none may be lost.
    QList<QProcess*> adders;
    for (const int tag : {1, 2}) {
        auto* p = new QProcess(this);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {u"--add-history"_s, dir.path(), QString::number(tag), QString::number(Each),
                  QString::number(limit)});
        adders << p;
    }
    const auto cleanup = qScopeGuard([&] { qDeleteAll(adders); });
    // Meanwhile the file is always whole.
    const QString path = PaletteStore(dir.path()).historyPath();
    int reads = 0;
    const auto running = [&] {
        bool any = false;
        for (QProcess* p : adders) {
            if (p->state() != QProcess::NotRunning && !p->waitForFinished(0))
                any = true;
        }
        return any;
    };
    QElapsedTimer clock;
    clock.start();
    while (running() && clock.elapsed() < 120000) {
        const QByteArray bytes = readFile(path);
        if (!bytes.isEmpty()) {
            const Result<Palette> read = readGpl(bytes);
            QVERIFY2(read.ok(), qPrintable(read.error()));
            QVERIFY(read->colors.size() <= limit);
            ++reads;
        }
        QThread::usleep(200);
    }
    for (QProcess* p : adders) {
        QCOMPARE(p->state(), QProcess::NotRunning);
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
    }
    QVERIFY(reads > 0);
    const Result<Palette> history = PaletteStore(dir.path(), hexText, limit).history();
    QVERIFY(history.ok());
    // Each process's colours newest first, interleaved; all of them, or the 50 newest.
    QCOMPARE(history->colors.size(), qMin(limit, 2 * Each));
    int next[3] = {0, Each - 1, Each - 1};
    for (const Swatch& s : history->colors) {
        const int tag = blueOf(s.color);
        QVERIFY(tag == 1 || tag == 2);
        const int n = redOf(s.color) | greenOf(s.color) << 8;
        QCOMPARE(n, next[tag]--);
    }
    // The last colour added stands first.
    QVERIFY(redOf(history->colors[0].color) == Each - 1);
}

void tst_Palette::palettes() {
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    QVERIFY(store.palettes().isEmpty());
    const Palette warm{u"Warm / sunset: ü"_s, 4, {{packColor(255, 128, 0), u"Orange"_s}}};
    const Result<QString> made = store.createPalette(warm);
    QVERIFY2(made.ok(), qPrintable(made.error()));
    QCOMPARE(*made, warm.name);
    // Its file is named after it; the name that cannot be one kept whole.
    const QString file = store.palettesFolder() + u"Warm_sunset_ü.gpl"_s;
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(readGpl(readFile(file)).value(), warm);
    QCOMPARE(store.palette(warm.name).value(), warm);

    QVERIFY(store.createPalette(Palette{u"  cold\n"_s, 0, {}}).ok()); // named "cold"
    QVERIFY(store.createPalette(Palette{u"Warm - sunset - ü"_s, 0, {}}).ok());
    QList<PaletteInfo> list = store.palettes();
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].name, u"cold"_s);
    QCOMPARE(list[1].name, u"Warm - sunset - ü"_s);
    QCOMPARE(QFileInfo(list[1].path).fileName(), u"Warm_-_sunset_-_ü.gpl"_s);
    QCOMPARE(list[2].name, warm.name);
    QCOMPARE(list[2].colors, 1);

    // Renamed: its file too, its colours kept; a taken name refused.
    QCOMPARE(store.renamePalette(u"cold"_s, warm.name).error(),
             u"a palette is named \"Warm / sunset: ü\" already"_s);
    QVERIFY(store.renamePalette(warm.name, u"Hot"_s).ok());
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(store.palette(u"Hot"_s)->colors, warm.colors);
    QCOMPARE(store.palette(u"Hot"_s)->columns, 4);
    QVERIFY(QFileInfo::exists(store.palettesFolder() + u"Hot.gpl"_s));
    QCOMPARE(store.palette(warm.name).error(), u"no palette is named \"Warm / sunset: ü\""_s);
    QVERIFY(store.renamePalette(u"Hot"_s, u"hot"_s).ok()); // only its case
    QVERIFY(QFileInfo::exists(store.palettesFolder() + u"hot.gpl"_s));
    QCOMPARE(QDir(store.palettesFolder()).entryList(QDir::Files).size(), 3);

    // A palette GIMP made, copied in by hand, is one of them.
    QVERIFY(writeFile(store.palettesFolder() + u"byhand.gpl"_s,
                      "GIMP Palette\nName: By hand\n#\n1 2 3\tx\n"));
    QVERIFY(writeFile(store.palettesFolder() + u"broken.gpl"_s, "not a palette"));
    QVERIFY(writeFile(store.palettesFolder() + u"noname.gpl"_s, "GIMP Palette\n"));
    list = store.palettes();
    QStringList names;
    for (const PaletteInfo& info : list)
        names << info.name;
    QCOMPARE(names,
             (QStringList{u"By hand"_s, u"cold"_s, u"hot"_s, u"noname"_s, u"Warm - sunset - ü"_s}));
    QVERIFY(store.addColor(u"By hand"_s, packColor(9, 9, 9)).ok());
    QCOMPARE(store.palette(u"By hand"_s)->colors.size(), 2);

    QVERIFY(store.deletePalette(u"cold"_s).ok());
    QCOMPARE(store.palette(u"cold"_s).error(), u"no palette is named \"cold\""_s);
    QCOMPARE(store.deletePalette(u"cold"_s).error(), u"no palette is named \"cold\""_s);
    QCOMPARE(store.palettes().size(), 4);

    // Imported under its own name, or the one given; exported by name.
    const QString gpl = dir.filePath(u"in.gpl"_s);
    QVERIFY(writeFile(gpl, "GIMP Palette\nName: Imported\n1 2 3\tx\n"));
    QCOMPARE(store.importFile(gpl).value(), u"Imported"_s);
    QCOMPARE(store.importFile(gpl).error(), u"a palette is named \"Imported\" already"_s);
    QCOMPARE(store.importFile(gpl, u"Again"_s).value(), u"Again"_s);
    const QString css = dir.filePath(u"out.css"_s);
    QVERIFY(store.exportFile(u"Again"_s, css).ok());
    QCOMPARE(readFile(css), QByteArray(":root {\n  --x: #010203;\n}\n"));
    QVERIFY(store.addToHistory(nth(5)).ok());
    QVERIFY(store.exportFile(u"history"_s, css).ok());
    QCOMPARE(readFile(css), QByteArray(":root {\n  --050000: #050000;\n}\n"));
}

void tst_Palette::fileNames_data() {
    QTest::addColumn<QStringList>("names"); // created in turn
    QTest::addColumn<QStringList>("files");
    QTest::newRow("plain") << QStringList{u"Brand"_s} << QStringList{u"Brand.gpl"_s};
    QTest::newRow("blanks and marks")
        << QStringList{u"  my  palette: v1.2 "_s} << QStringList{u"my_palette_v1_2.gpl"_s};
    QTest::newRow("slashes and dots")
        << QStringList{u"../../etc/passwd"_s, u"."_s, u"a/b"_s}
        << QStringList{u"etc_passwd.gpl"_s, u"palette.gpl"_s, u"a_b.gpl"_s};
    QTest::newRow("other scripts")
        << QStringList{u"夕焼け 🌅 Grün"_s} << QStringList{u"夕焼け_Grün.gpl"_s};
    QTest::newRow("same file name, other case")
        << QStringList{u"Blue"_s, u"blue"_s, u"BLUE!"_s, u"blue-2"_s}
        << QStringList{u"Blue.gpl"_s, u"blue-2.gpl"_s, u"BLUE-3.gpl"_s, u"blue-2-2.gpl"_s};
    QTest::newRow("no letters") << QStringList{u"!!!"_s, u"???"_s}
                                << QStringList{u"palette.gpl"_s, u"palette-2.gpl"_s};
    QTest::newRow("long") << QStringList{QString(300, u'x')}
                          << QStringList{QString(64, u'x') + u".gpl"_s};
}

void tst_Palette::fileNames() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const Result<QString> made = store.createPalette(Palette{names[i], 0, {}});
        QVERIFY2(made.ok(), qPrintable(made.error()));
        const QString path = store.palettesFolder() + files[i];
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        // The name whole in the file, and found by it.
        QCOMPARE(readGpl(readFile(path))->name, names[i].trimmed());
        QCOMPARE(store.palette(names[i].trimmed())->name, names[i].trimmed());
    }
    QCOMPARE(QDir(store.palettesFolder()).entryList(QDir::Files).size(), names.size());
}

void tst_Palette::paletteColors() {
    QTemporaryDir dir;
    const NameFunction names = [](PackedColor c) { return u"css "_s + hexText(c); };
    PaletteStore store(dir.path(), names);
    QVERIFY(store.createPalette(Palette{u"P"_s, 0, {{packColor(1, 1, 1), QString()}}}).ok());
    const auto shown = [&] {
        QStringList list;
        const Result<Palette> read = store.palette(u"P"_s);
        for (const Swatch& s : read->colors)
            list << hexText(s.color) + u' ' + s.name;
        return list.join(u", "_s);
    };
    QCOMPARE(shown(), u"#010101 css #010101"_s); // named as the store names colours
    QVERIFY(store.addColor(u"P"_s, packColor(2, 2, 2)).ok());
    QVERIFY(store.addColor(u"P"_s, packColor(3, 3, 3), u"three"_s, 0).ok());
    QVERIFY(store.addColor(u"P"_s, packColor(2, 2, 2), u"again"_s).ok()); // a palette may repeat
    QCOMPARE(shown(), u"#030303 three, #010101 css #010101, #020202 css #020202, #020202 again"_s);
    QVERIFY(store.renameColor(u"P"_s, 3, packColor(2, 2, 2), u"  twice\t"_s).ok());
    QVERIFY(store.removeColor(u"P"_s, 1, packColor(1, 1, 1)).ok());
    QCOMPARE(shown(), u"#030303 three, #020202 css #020202, #020202 twice"_s);
    // Changed elsewhere meanwhile: the colour is found where it went.
    QVERIFY(store.removeColor(u"P"_s, 0, packColor(2, 2, 2)).ok());
    QCOMPARE(shown(), u"#030303 three, #020202 twice"_s);
    QVERIFY(store.removeColor(u"P"_s, 0, packColor(9, 9, 9)).ok()); // gone already: nothing
    QCOMPARE(shown(), u"#030303 three, #020202 twice"_s);
    QCOMPARE(store.renameColor(u"P"_s, 0, packColor(9, 9, 9), u"x"_s).error(),
             u"\"P\" no longer holds #090909"_s);
    // An undo puts it back where it stood.
    QVERIFY(store.insertSwatch(u"P"_s, 1, Swatch{packColor(1, 1, 1), u"back"_s}).ok());
    QCOMPARE(shown(), u"#030303 three, #010101 back, #020202 twice"_s);
    QCOMPARE(store.addColor(u"Q"_s, 0).error(), u"no palette is named \"Q\""_s);
}

void tst_Palette::storeRefusals() {
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    QVERIFY(store.createPalette(Palette{u"P"_s, 0, {}}).ok());
    QCOMPARE(store.createPalette(Palette{u"P"_s, 0, {}}).error(),
             u"a palette is named \"P\" already"_s);
    QCOMPARE(store.createPalette(Palette{u" \n "_s, 0, {}}).error(), u"a palette needs a name"_s);
    QCOMPARE(store.createPalette(Palette{u"History"_s, 0, {}}).error(),
             u"\"History\" is the history's name"_s);
    QCOMPARE(store.renamePalette(u"P"_s, u"history"_s).error(),
             u"\"history\" is the history's name"_s);
    QCOMPARE(store.renamePalette(u"history"_s, u"x"_s).error(), u"the history keeps its name"_s);
    QCOMPARE(store.deletePalette(u"history"_s).error(), u"the history cannot be deleted"_s);
    Palette big{u"Big"_s, 0, QList<Swatch>(MaxColors + 1)};
    QCOMPARE(store.createPalette(big).error(),
             u"100001 colours are more than a palette may hold (100000)"_s);
    big.colors.removeLast();
    QVERIFY(store.createPalette(big).ok());
    QCOMPARE(store.addColor(u"Big"_s, 1).error(),
             u"\"Big\" holds 100000 colours, the most a palette may"_s);
    QCOMPARE(store.palette(u"Big"_s)->colors.size(), MaxColors);

    // A folder that cannot be written: refused, nothing changed.
    if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!store.addToHistory(1).ok());
        QVERIFY(!store.addColor(u"P"_s, 1).ok());
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QCOMPARE(PaletteStore(u"/proc/self/no/store"_s).addToHistory(1).error(),
             u"/proc/self/no/store/: cannot be made; nothing changed"_s);
}

void tst_Palette::unreadableFileIsNeverWrittenOver() {
    QTemporaryDir dir;
    PaletteStore store(dir.path());
    const QByteArray edited = "GIMP Palette\n1 2 3 kept\n1 2 300 typo\n";
    QVERIFY(writeFile(store.historyPath(), edited));
    QCOMPARE(store.addToHistory(nth(1)).error(),
             store.historyPath() + u": line 3: blue 300 is outside 0 to 255"_s);
    QCOMPARE(readFile(store.historyPath()), edited);
    QCOMPARE(store.history().error(),
             store.historyPath() + u": line 3: blue 300 is outside 0 to 255"_s);
}

void tst_Palette::killedWriterLeavesWholeFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("history") << u"history"_s;
    QTest::newRow("palette") << u"palette"_s;
    QTest::newRow("palette renamed") << u"rename"_s;
}

void tst_Palette::killedWriterLeavesWholeFile() {
    QFETCH(QString, kind);
    // The short form by default; MIRABOU_KILL_ROUNDS asks for more (make killtest).
    const int rounds = qEnvironmentVariableIsSet("MIRABOU_KILL_ROUNDS")
                           ? qEnvironmentVariableIntValue("MIRABOU_KILL_ROUNDS")
                           : 25;
    QVERIFY(rounds > 0);
    QTemporaryDir top;
    const QString folder = top.filePath(u"data"_s);
    const QString statePath = top.filePath(u"state"_s);
    QVERIFY(writeFile(statePath, QByteArray(sizeof(WriterState), '\0')));
    WriterState* state = mapState(statePath);
    QVERIFY(state);
    const auto unmap = qScopeGuard([state] { ::munmap(state, sizeof(WriterState)); });

    // Each round starts from a full history, or a palette of some thousand colours.
    Palette startHistory{u"Mirabou History"_s, 0, {}};
    for (int i = 0; i < PaletteStore::HistoryLimit; ++i)
        startHistory.colors.append(Swatch{packColor(i, 0, 0xEE), u"old %1"_s.arg(i)});
    const QByteArray historyStart = writeGpl(startHistory);
    const QByteArray paletteStart =
        writeGpl(killStart(kind == u"rename"_s ? KillNames[0] : KillPalette));
    const PaletteStore store(folder);

    QRandomGenerator rng(35);
    int kills = 0;
    int duringChange = 0;
    quint32 most = 0;     // changes acknowledged in a round, at most
    quint64 total = 0;    // changes acknowledged, all rounds
    quint64 changeNs = 0; // how long a change takes, learnt in the first round
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < rounds; ++round) {
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(store.palettesFolder()));
        QVERIFY(writeFile(store.historyPath(), historyStart));
        const QString startFile = store.palettesFolder() + u"start.gpl"_s;
        QVERIFY(writeFile(startFile, paletteStart));
        state->done = 0;
        state->writing = 0;
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(),
                     {u"--kill-writer"_s, kind, folder, statePath});
        QVERIFY(writer.waitForStarted());
        QElapsedTimer started;
        started.start();
        while (state->writing == 0 && state->done == 0 && writer.state() == QProcess::Running &&
               started.elapsed() < 20000)
            QThread::usleep(50);
        QVERIFY2(state->writing != 0 || state->done > 0, "the writer never wrote");
        // The first round learns how long a change takes, once warm.
        while (changeNs == 0 && state->done < 3 && started.elapsed() < 20000)
            QThread::usleep(50);
        if (changeNs == 0)
            changeNs = state->lastNs;
        // Killed at a random point of its first ten changes or so.
        QThread::usleep(quint64(rng.bounded(qint64(10 * changeNs / 1000 + 1))));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        kills += writer.exitStatus() == QProcess::CrashExit;
        duringChange += state->writing != 0;
        const quint32 acked = state->done;
        most = qMax(most, acked);
        total += acked;

        // Whole, with every acknowledged change, and the one under way at most.
        const auto fails = [&](const QString& why) {
            return qPrintable(
                u"round %1, %2 changes acknowledged: %3"_s.arg(round).arg(acked).arg(why));
        };
        if (kind == u"history"_s) {
            const Result<Palette> read = readGpl(readFile(store.historyPath()));
            QVERIFY2(read.ok(), fails(read.error()));
            bool matches = false;
            for (const quint32 k : {acked, acked + 1}) {
                QList<Swatch> expected;
                for (quint32 n = k; n >= 1 && expected.size() < PaletteStore::HistoryLimit; --n)
                    expected.append(Swatch{nth(n), hexText(nth(n))});
                expected +=
                    startHistory.colors.mid(0, PaletteStore::HistoryLimit - expected.size());
                matches = matches || read->colors == expected;
            }
            QVERIFY2(matches, fails(u"the history is not what was added"_s));
        } else {
            const QStringList files =
                QDir(store.palettesFolder()).entryList({u"*.gpl"_s}, QDir::Files);
            QVERIFY2(files.size() == 1, fails(files.join(u", "_s)));
            const Result<Palette> read = readGpl(readFile(store.palettesFolder() + files[0]));
            QVERIFY2(read.ok(), fails(read.error()));
            const Palette start = killStart(read->name);
            if (kind == u"palette"_s) {
                QCOMPARE(read->name, KillPalette);
                const qsizetype added = read->colors.size() - KillStartColors;
                QVERIFY2(added == acked || added == acked + 1, fails(u"%1 added"_s.arg(added)));
                QList<Swatch> expected = start.colors;
                for (quint32 n = 1; n <= quint32(added); ++n)
                    expected.append(Swatch{nth(n), hexText(nth(n))});
                QVERIFY2(read->colors == expected, fails(u"colours not as added"_s));
            } else {
                // Renamed back and forth: either name, in a file of its own.
                QVERIFY2(read->name == KillNames[acked % 2] ||
                             read->name == KillNames[(acked + 1) % 2],
                         fails(read->name));
                QVERIFY2(read->colors == start.colors, fails(u"colours lost"_s));
            }
        }
    }
    qInfo("%s: %d rounds, %d kills, %d amid a change, %llu changes acknowledged and found (at "
          "most %u in a round), %lld ms",
          qPrintable(kind), rounds, kills, duringChange, total, most, qint64(clock.elapsed()));
    QCOMPARE(kills, rounds);
    QVERIFY(duringChange > rounds / 2);
}

void tst_Palette::dataFolder() {
    QTemporaryDir dir;
    const QString portable = dir.path() + u"/"_s;
    QCOMPARE(settings::dataFolder(portable), portable);
    // A folder the user cannot write: the user's own data folder.
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", oldData); });
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(u"data"_s)));
    QCOMPARE(settings::dataFolder(u"/proc/self/no/such/folder/"_s),
             dir.filePath(u"data"_s) + u"/mirabou/"_s);
}

/// A helper process of the concurrency test: adds count colours of its tag.
static int addHistory(const QString& folder, int tag, int count, int limit) {
    PaletteStore store(folder, hexText, limit);
    for (int i = 0; i < count; ++i) {
        const Status added = store.addToHistory(packColor(i & 0xFF, i >> 8, tag));
        if (!added) {
            std::fprintf(stderr, "%s\n", qPrintable(added.error()));
            return 1;
        }
    }
    return 0;
}

/// The kill test's writer: changes the store for ever and tells the test
/// how far it is.
static int killWriter(const QString& kind, const QString& folder, const QString& statePath) {
    WriterState* state = mapState(statePath);
    if (!state)
        return 2;
    PaletteStore store(folder);
    QElapsedTimer clock;
    for (quint32 n = 1;; ++n) {
        clock.start();
        state->writing = 1;
        Status done;
        if (kind == u"history"_s)
            done = store.addToHistory(nth(n));
        else if (kind == u"palette"_s)
            done = store.addColor(KillPalette, nth(n));
        else
            done = store.renamePalette(KillNames[(n - 1) % 2], KillNames[n % 2]);
        if (!done) {
            std::fprintf(stderr, "%s\n", qPrintable(done.error()));
            return 1;
        }
        state->writing = 0;
        state->lastNs = quint64(clock.nsecsElapsed());
        ++state->done;
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == u"--add-history"_s)
        return addHistory(args[2], args[3].toInt(), args[4].toInt(), args[5].toInt());
    if (args.size() == 5 && args[1] == u"--kill-writer"_s)
        return killWriter(args[2], args[3], args[4]);
    tst_Palette test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_palette.moc"
