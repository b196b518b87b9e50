// The notations, the colour-text reader and the templates, against figures
// made by colorjs.io 0.7.1 (tests/reference/notations.mjs, whose tables are
// committed beside it).
#include "color/ColorFigures.h"
#include "color/ColorReader.h"
#include "color/CssColorNames.h"
#include "color/CustomNotations.h"
#include "color/FigureSnap.h"
#include "color/NotationList.h"
#include "color/NotationTemplate.h"
#include "color/Notations.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <atomic>
#include <thread>

using namespace notation;

Q_DECLARE_METATYPE(notation::Builtin)

namespace {

QString reference(const char* name) {
    return QStringLiteral(MIRABOU_REFERENCE "/") + QLatin1String(name);
}

/// The rows of a reference table after its header, split at tabs.
QList<QStringList> table(const char* name) {
    QFile file(reference(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    QList<QStringList> rows;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            rows << QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
    }
    return rows;
}

QStringList tableHeader(const char* name) {
    QFile file(reference(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readLine().trimmed()).split(QLatin1Char('\t'));
}

PackedColor fromHex(const QString& hex) {
    const std::optional<PackedColor> c = colortext::readColor(hex);
    if (!c || hex.size() != 7)
        qFatal("not a hex colour: %s", qPrintable(hex));
    return *c;
}

QString hexOf(std::optional<PackedColor> c) {
    return c ? write(*c, Builtin::Hex) : QStringLiteral("(no colour)");
}

/// Each built-in notation written as a template.
const std::pair<Builtin, const char*> builtinTemplates[] = {
    {Builtin::Hex, "#%RX%GX%BX"},
    {Builtin::Dec, "%R,%G,%B"},
    {Builtin::Rgb, "rgb(%R, %G, %B)"},
    {Builtin::Hsl, "hsl(%hue, %hsl.s%%, %hsl.l%%)"},
    {Builtin::Hsv, "hsv(%hue, %hsv.s%%, %hsv.v%%)"},
    {Builtin::Hwb, "hwb(%hue %hwb.w%% %hwb.b%%)"},
    {Builtin::Cmyk, "cmyk(%cmyk.c%%, %cmyk.m%%, %cmyk.y%%, %cmyk.k%%)"},
    {Builtin::Lab, "lab(%lab.l %lab.a %lab.b)"},
    {Builtin::Lch, "lch(%lch.l %lch.c %lch.h)"},
    {Builtin::Oklab, "oklab(%oklab.l%% %oklab.a %oklab.b)"},
    {Builtin::Oklch, "oklch(%oklch.l%% %oklch.c %oklch.h)"},
    {Builtin::Xyz, "color(xyz-d65 %xyz.x %xyz.y %xyz.z)"},
    {Builtin::Name, "%name"},
    {Builtin::Int, "0x%RX%GX%BX"},
    {Builtin::Qt, "QColor(%R, %G, %B)"},
    {Builtin::Vec4, "vec4(%Rf, %Gf, %Bf, 1.0)"},
};

/// Runs check over every colour whose number is a multiple of stride, on
/// two threads; returns the first few colours it failed for.
template <typename Check> QList<PackedColor> failuresOver(quint32 stride, Check check) {
    std::atomic<int> count{0};
    QList<PackedColor> found[2];
    const auto run = [&](int half) {
        for (quint32 v = quint32(half) * stride; v < (1u << 24); v += 2 * stride) {
            if (!check(PackedColor(v)) && count++ < 5)
                found[half] << PackedColor(v);
        }
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    return found[0] + found[1];
}

QString describe(const QList<PackedColor>& colors) {
    QStringList hex;
    for (PackedColor c : colors)
        hex << write(c, Builtin::Hex);
    return hex.join(QLatin1Char(' '));
}

} // namespace

class tst_Notations : public QObject {
    Q_OBJECT
private slots:
    void names();
    void builtinTexts_data();
    void builtinTexts();
    void lossyTextsMeanTheirColour_data();
    void lossyTextsMeanTheirColour();
    void cssNames();
    void reading_data();
    void reading();
    void refusals_data();
    void refusals();
    void hugeTexts();
    void decimalFormsReadBackEveryColour();
    void textsReadBack_data();
    void textsReadBack();
    void builtinsAsTemplates_data();
    void builtinsAsTemplates();
    void templateRules_data();
    void templateRules();
    void templateReadsBack_data();
    void templateReadsBack();
    void bigTemplates();
    void customNames_data();
    void customNames();
    void customLines();
    void customLinesBounded();
    void notationList();
};

void tst_Notations::names() {
    // The reference table's columns are the notations, in the menus' order.
    const QStringList header = tableHeader("notations.tsv");
    for (int i = 0; i < BuiltinCount; ++i) {
        QCOMPARE(builtinName(builtins[size_t(i)]), header.value(i + 1));
        QCOMPARE(builtinByName(header.value(i + 1)), std::optional<Builtin>(builtins[size_t(i)]));
    }
    QVERIFY(!builtinByName(u"HEX"));
    QVERIFY(!builtinByName(u""));
    QVERIFY(!builtinByName(u"hex "));
}

void tst_Notations::builtinTexts_data() {
    QTest::addColumn<QString>("hex");
    QTest::addColumn<Builtin>("notation");
    QTest::addColumn<QString>("expected");
    for (const QStringList& row : table("notations.tsv")) {
        for (int i = 0; i < BuiltinCount; ++i) {
            const Builtin b = builtins[size_t(i)];
            QTest::addRow("%s %s %s", qPrintable(row[0]), qPrintable(row[1]),
                          qPrintable(builtinName(b)))
                << row[1] << b << row[i + 1];
        }
    }
}

void tst_Notations::builtinTexts() {
    QFETCH(QString, hex);
    QFETCH(Builtin, notation);
    QFETCH(QString, expected);
    QCOMPARE(write(fromHex(hex), notation), expected);
}

void tst_Notations::lossyTextsMeanTheirColour_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("means");
    const QStringList header = tableHeader("notations.tsv");
    for (const QStringList& row : table("notations.tsv")) {
        for (const char* name : {"hsl", "hsv", "hwb", "cmyk", "name"}) {
            const QString notation = QLatin1String(name);
            const QString text = row.value(header.indexOf(notation));
            const QString means = row.value(header.indexOf(notation + QStringLiteral(" means")));
            QTest::addRow("%s %s %s", qPrintable(row[0]), qPrintable(row[1]), name)
                << text << means;
        }
    }
}

void tst_Notations::lossyTextsMeanTheirColour() {
    QFETCH(QString, text);
    QFETCH(QString, means);
    QCOMPARE(hexOf(colortext::readColor(text)), means);
}

void tst_Notations::cssNames() {
    const QList<QStringList> rows = table("names.tsv");
    QCOMPARE(rows.size(), qsizetype(cssnames::all.size()));
    for (size_t i = 0; i < cssnames::all.size(); ++i) {
        const cssnames::CssColor& c = cssnames::all[i];
        QCOMPARE(QLatin1String(c.name), rows[qsizetype(i)][0]);
        QCOMPARE(write(c.color(), Builtin::Hex), rows[qsizetype(i)][1]);
        QCOMPARE(cssnames::find(QString::fromLatin1(c.name).toUpper()), c.color());
        // A named colour is its own nearest name, the first of its duplicates.
        const char* nearest = cssnames::nearest(c.color()).name;
        QCOMPARE(cssnames::find(QString::fromLatin1(nearest)), c.color());
        for (size_t j = 0; j < i; ++j)
            QVERIFY(cssnames::all[j].color() != c.color() || qstrcmp(nearest, c.name) != 0);
    }
    QCOMPARE(write(packColor(0, 255, 255), Builtin::Name), QStringLiteral("aqua"));
    QCOMPARE(write(packColor(255, 0, 255), Builtin::Name), QStringLiteral("fuchsia"));
    QCOMPARE(write(packColor(128, 128, 128), Builtin::Name), QStringLiteral("gray"));
    QCOMPARE(write(packColor(47, 79, 79), Builtin::Name), QStringLiteral("darkslategray"));
    QVERIFY(!cssnames::find(u"transparent"));
    QVERIFY(!cssnames::find(u"dark orange"));
    // The Kelvin sign folds to "k" in Unicode; a name is ASCII.
    QVERIFY(!cssnames::find(u"\u212Ahaki"));
}

void tst_Notations::reading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // Every syntax of CSS Color 4 for sRGB, and out-of-gamut colours, as
    // colorjs reads and gamut-maps them.
    for (const QStringList& row : table("reading.tsv")) {
        const QJsonArray text = QJsonDocument::fromJson("[" + row[0].toUtf8() + "]").array();
        QTest::addRow("css %s", qPrintable(row[0])) << text.at(0).toString() << row[1];
    }
    // CSS's rules where colorjs reads otherwise, and the program's own forms.
    const char* const own[][2] = {
        {"HSL(30DEG 100% 50%)", "#FF8000"}, // units are ASCII case-insensitive
        {"rgb(1e999, 0, -0)", "#FF0000"},   // CSS clamps rgb() channels
        {"rgb(300 -20 128)", "#FF0080"},
        {"rgb(-1e999 1e999 0)", "#00FF00"},
        {"hsl(30, 150%, 50%)", "#FF8000"},
        {"hwb(30 -10% 0%)", "#FF8000"},
        {"lab(150 0 0)", "#FFFFFF"}, // lightness clamped to 100
        {"lab(-5 0 0)", "#000000"},
        {"lch(50 -20 30)", "#777777"}, // negative chroma is 0
        {"oklch(50% -0.1 30)", "#636363"},
        {"lab(none none none)", "#000000"},
        {"255,128,0", "#FF8000"},
        {" 255 , 128 , 0 ", "#FF8000"},
        {"007,0,0", "#070000"},
        {"0xFF8000", "#FF8000"},
        {"0Xff8000", "#FF8000"},
        {"hsv(30, 100%, 100%)", "#FF8000"},
        {"hsv(30 100 100)", "#FF8000"},
        {"hsv(0.5turn 50% 50%)", "#408080"},
        {"cmyk(0%, 50%, 100%, 0%)", "#FF8000"},
        {"cmyk(0% 50% 100% 0%)", "#FF8000"},
        {"device-cmyk(0 0.5 1 0)", "#FF8000"},
        {"device-cmyk(0 0.5 1 0 / 50%)", "#FF8000"},
        {"cmyk(0%, 0%, 0%, 100%)", "#000000"},
        {"QColor(255, 128, 0)", "#FF8000"},
        {"qcolor(255, 128, 0, 255)", "#FF8000"},
        {"vec4(1.000, 0.502, 0.000, 1.0)", "#FF8000"},
        {"vec3(1.0, 0.5, 0.0)", "#FF8000"},
        {"vec4(2, -1, 0.5, 1)", "#FF0080"},
        {"color(srgb 0.5 0.5 0.5)", "#808080"},
        {"\t\r\n darkorange \f", "#FF8C00"},
    };
    for (const auto& [text, expected] : own) {
        const QString name = QString::fromUtf8(text).replace(
            QRegularExpression(QStringLiteral("[\\x00-\\x1f]")), QStringLiteral("?"));
        QTest::addRow("own %s", qPrintable(name))
            << QString::fromUtf8(text) << QString::fromLatin1(expected);
    }
}

void tst_Notations::reading() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(hexOf(colortext::readColor(text)), expected);
    // The program's list reads the same (built-ins first).
    QCOMPARE(hexOf(NotationList().read(text)), expected);
}

void tst_Notations::refusals_data() {
    QTest::addColumn<QString>("text");
    const char* const texts[] = {
        "",
        "   ",
        "rgb(1e999, NaN, -0)", // NaN is no CSS number
        "#ff80f",
        "#ff80000",
        "#gg8000",
        "ff8000",
        "#",
        "0xff800",
        "0xff80000",
        "rgb(255, 128)",
        "rgb(255, 128, 0, 0.5, 1)",
        "rgb(255 128 0 0.5)",
        "rgb(255, 128 0)",
        "rgb(255,128,0",
        "rgb(255,128,0))",
        "rgb(255 128 0) x",
        "rgb (255 128 0)",
        "rgb(255, 50%, 0)", // no mixing in the comma syntax
        "rgb(none, 128, 0)",
        "rgb(255 128 0 / )",
        "rgb(255 128 0 / 50% / 1)",
        "rgb(255 128 0 / 50deg)",
        "rgb(255, 128, 0, none)",
        "rgb(255 128 0,)",
        "rgb(,255 128 0)",
        "rgb(1e 2 3)",
        "rgb(5. 2 3)",
        "rgb(+-5 2 3)",
        "rgb(255px 128 0)",
        "hsl(30, 100, 50)", // the comma syntax takes percentages
        "hsl(30% 100% 50%)",
        "hsl(30foo 100% 50%)",
        "hsl(1e999 50% 50%)", // an infinite hue
        "hsl(1e308turn 50% 50%)",
        "hwb(30, 0%, 0%)",
        "lab(50, 0, 0)",
        "lab(50 1e999 0)",
        "lch(50 1e999 30)",
        "oklab(50% 1e999 1e999)",
        "lab(50 0)",
        "color(display-p3 1 0 0)",
        "color(srgb 1 0)",
        "color(1 0 0)",
        "color()",
        "transparent",
        "notacolor",
        "dark orange",
        "256,0,0",
        "1,2",
        "1,2,3,4",
        "-1,2,3",
        "1,,3",
        "1.5,2,3",
        "QColor(255 128 0)",
        "QColor(255, 128, 0, 255, 1)",
        "QColor(50%, 0, 0)",
        "vec4(1, 0.5, 0)",
        "vec3(1, 0.5, 0, 1)",
        "cmyk(0%, 50%, 100%)",
        "rgb(\u0663\u0660, 0, 0)", // Arabic-Indic digits
        "\uFF03ff8000",            // a fullwidth number sign
        "rgb(255, 128, 0)\u00A0x",
    };
    for (const char* text : texts)
        QTest::addRow("%s", text) << QString::fromUtf8(text);
    // Zero bytes inside and at either end.
    const char* const zeros[][2] = {{"dark\0orange", "zero in a name"},
                                    {"darkorange\0", "zero after a name"},
                                    {"\0#ff8000", "zero before hex"},
                                    {"#ff\0"
                                     "8000",
                                     "zero in hex"},
                                    {"#ff8000\0", "zero after hex"},
                                    {"rgb(255,\0"
                                     "128,0)",
                                     "zero in rgb()"}};
    for (const auto& [text, row] : zeros) {
        const qsizetype size =
            qsizetype(qstrlen(text)) + 1 + qsizetype(qstrlen(text + qstrlen(text) + 1));
        QTest::addRow("%s", row) << QString::fromUtf8(text, size);
    }
}

void tst_Notations::refusals() {
    QFETCH(QString, text);
    QCOMPARE(hexOf(colortext::readColor(text)), QStringLiteral("(no colour)"));
    QCOMPARE(hexOf(NotationList().read(text)), QStringLiteral("(no colour)"));
}

void tst_Notations::hugeTexts() {
    // A colour padded to past the limit is refused, one at it is read.
    QString padded = QStringLiteral("#ff8000");
    padded += QString(colortext::MaxColorTextLength - padded.size(), QLatin1Char(' '));
    QCOMPARE(hexOf(colortext::readColor(padded)), QStringLiteral("#FF8000"));
    padded += QLatin1Char(' ');
    QVERIFY(!colortext::readColor(padded));
    // 50 MB of clipboard text, and a number of thousands of digits.
    const QString huge(50 * 1024 * 1024, QLatin1Char('9'));
    QVERIFY(!colortext::readColor(huge));
    QVERIFY(!NotationList().read(huge));
    const QString digits = QStringLiteral("rgb(%1 0 0)").arg(QString(4000, QLatin1Char('9')));
    QCOMPARE(hexOf(colortext::readColor(digits)), QStringLiteral("#FF0000"));
    const QString tiny = QStringLiteral("rgb(0.%1 0 0)").arg(QString(4000, QLatin1Char('0')));
    QCOMPARE(hexOf(colortext::readColor(tiny)), QStringLiteral("#000000"));
    const QString spaces =
        QStringLiteral("rgb(") + QString(4000, QLatin1Char(' ')) + QStringLiteral("255 0 0)");
    QCOMPARE(hexOf(colortext::readColor(spaces)), QStringLiteral("#FF0000"));
}

void tst_Notations::decimalFormsReadBackEveryColour() {
    // Every 8-bit colour through the figures of lab, lch, oklab, oklch and
    // xyz and back through what the reader does with the numbers it parses
    // (the text between is checked on a sample in textsReadBack: its
    // numbers parse to the same doubles as the figures divided here).
    // lab, lch and xyz give back every colour; oklab and oklch the colour or,
    // where another colour writes the same text, that one.
    std::atomic<qint64> sharedOklab{0}, sharedOklch{0};
    const QList<PackedColor> failed = failuresOver(1, [&](PackedColor c) {
        const LabFigures lab = labFiguresOf(c);
        const LabFigures ok = oklabFiguresOf(c);
        const XyzFigures xyz = xyzFiguresOf(c);
        if (colorOfValues(DecimalForm::Lab, {lab.l / 100.0, lab.a / 100.0, lab.b / 100.0}) != c ||
            colorOfValues(DecimalForm::Lch, {lab.l / 100.0, lab.c / 100.0, lab.h / 100.0}) != c ||
            colorOfValues(DecimalForm::Xyz, {xyz.x / 1e5, xyz.y / 1e5, xyz.z / 1e5}) != c)
            return false;
        const std::optional<PackedColor> a =
            colorOfValues(DecimalForm::Oklab, {ok.l / 100.0 / 100, ok.a / 1e4, ok.b / 1e4});
        if (!a)
            return false;
        if (*a != c) {
            const LabFigures other = oklabFiguresOf(*a);
            if (other.l != ok.l || other.a != ok.a || other.b != ok.b)
                return false;
            ++sharedOklab;
        }
        const std::optional<PackedColor> p =
            colorOfValues(DecimalForm::Oklch, {ok.l / 100.0 / 100, ok.c / 1e4, ok.h / 100.0});
        if (!p)
            return false;
        if (*p != c) {
            const LabFigures other = oklabFiguresOf(*p);
            if (other.l != ok.l || other.c != ok.c || other.h != ok.h)
                return false;
            ++sharedOklch;
        }
        return true;
    });
    QVERIFY2(failed.isEmpty(), qPrintable(describe(failed)));
    qInfo("colours read as another that writes the same text: oklab %lld, oklch %lld",
          qint64(sharedOklab), qint64(sharedOklch));
    // Each such text is shared by two colours, of which one reads back.
    QVERIFY(sharedOklab > 0 && sharedOklab < 30000);
    QVERIFY(sharedOklch > 0 && sharedOklch < 6000);
}

void tst_Notations::textsReadBack_data() {
    QTest::addColumn<Builtin>("notation");
    for (Builtin b : builtins)
        QTest::addRow("%s", qPrintable(builtinName(b))) << b;
}

void tst_Notations::textsReadBack() {
    // The whole text path on every 127th colour (an odd stride, so every
    // value of each channel comes up): texts that hold every colour give it
    // back, oklab and oklch give one that writes the same text, and the
    // others read as some colour.
    QFETCH(Builtin, notation);
    const ReadBack kind = readBack(notation);
    const QList<PackedColor> failed = failuresOver(127, [&](PackedColor c) {
        const QString text = write(c, notation);
        const std::optional<PackedColor> read = colortext::readColor(text);
        switch (kind) {
        case ReadBack::Exact:
            return read == c;
        case ReadBack::SameText:
            return read && write(*read, notation) == text;
        case ReadBack::Meaning:
            return read.has_value();
        }
        return false;
    });
    QVERIFY2(failed.isEmpty(), qPrintable(describe(failed)));
}

void tst_Notations::builtinsAsTemplates_data() {
    QTest::addColumn<Builtin>("notation");
    QTest::addColumn<QString>("format");
    for (const auto& [b, format] : builtinTemplates)
        QTest::addRow("%s", qPrintable(builtinName(b))) << b << QString::fromLatin1(format);
}

void tst_Notations::builtinsAsTemplates() {
    // Each built-in notation can be written as a template, and reads back as
    // the built-in reads.
    QFETCH(Builtin, notation);
    QFETCH(QString, format);
    const Template t(format);
    QVERIFY(t.givesColor());
    const QList<PackedColor> failed = failuresOver(4099, [&](PackedColor c) {
        const QString text = write(c, notation);
        return t.write(c) == text && t.read(text) == colortext::readColor(text);
    });
    QVERIFY2(failed.isEmpty(), qPrintable(describe(failed)));
    for (const QStringList& row : table("notations.tsv"))
        QCOMPARE(t.write(fromHex(row[1])), write(fromHex(row[1]), notation));
}

void tst_Notations::templateRules_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected"); // for #FF8000
    QTest::newRow("css-var") << "--accent: #%Rx%Gx%Bx;"
                             << "--accent: #ff8000;";
    QTest::newRow("swift") << "Color(red: %Rf, green: %Gf, blue: %Bf)"
                           << "Color(red: 1.000, green: 0.502, blue: 0.000)";
    QTest::newRow("no placeholder") << "plain text"
                                    << "plain text";
    QTest::newRow("%% is one %") << "100%%"
                                 << "100%";
    QTest::newRow("%%R stays") << "%%R"
                               << "%R";
    QTest::newRow("%%%R") << "%%%R"
                          << "%255";
    QTest::newRow("trailing %") << "%R%"
                                << "255%";
    QTest::newRow("lone %") << "%"
                            << "%";
    QTest::newRow("unknown stays") << "%q %Q %z1 %-"
                                   << "%q %Q %z1 %-";
    QTest::newRow("unknown braced stays") << "%{foo} %{} %{R"
                                          << "%{foo} %{} %{R";
    QTest::newRow("braced") << "%{R}x %{RX}%{hsl.s}s"
                            << "255x FF100s";
    QTest::newRow("longest name") << "%Rx %RX %R.x %Rfoo"
                                  << "ff FF 255.x 1.000oo";
    QTest::newRow("letter case") << "%r %rx %H %NAME"
                                 << "%r %rx %H %NAME";
    QTest::newRow("self-reference") << "%swift %{swift} %{css-var}"
                                    << "%swift %{swift} %{css-var}";
    QTest::newRow("not scanned again") << "%name%%R %%%%R"
                                       << "darkorange%R %%R";
    QTest::newRow("half a name") << "%hsl. %oklab %lab.q %xyz"
                                 << "%hsl. %oklab %lab.q %xyz";
    QTest::newRow("hue alone") << "%hue°"
                               << "30°";
    QTest::newRow("every whole figure")
        << "%hue %hsl.s %hsl.l %hsv.s %hsv.v %hwb.w %hwb.b %cmyk.c %cmyk.m %cmyk.y %cmyk.k"
        << "30 100 50 100 100 0 0 0 50 100 0";
    QTest::newRow("every lab figure") << "%lab.l %lab.a %lab.b %lab.c %lab.h %lch.l %lch.c %lch.h"
                                      << "67.82 45.49 74.84 87.58 58.71 67.82 87.58 58.71";
    QTest::newRow("every oklab figure")
        << "%oklab.l %oklab.a %oklab.b %oklab.c %oklab.h %oklch.l %oklch.c %oklch.h"
        << "73.19 0.1119 0.1484 0.1858 52.98 73.19 0.1858 52.98";
    QTest::newRow("xyz") << "%xyz.x/%xyz.y/%xyz.z"
                         << "0.48958/0.36702/0.04506";
    QTest::newRow("bytes and fractions") << "%R %G %B %Rf %Gf %Bf %GX %Gx %BX"
                                         << "255 128 0 1.000 0.502 0.000 80 80 00";
    QTest::newRow("not ASCII") << "✓ %R ✓"
                               << "✓ 255 ✓";
}

void tst_Notations::templateRules() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(Template(format).write(packColor(255, 128, 0)), expected);
}

void tst_Notations::templateReadsBack_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("readable");
    QTest::newRow("css-var") << "--accent: #%Rx%Gx%Bx;" << true;
    QTest::newRow("swift") << "Color(red: %Rf, green: %Gf, blue: %Bf)" << true;
    QTest::newRow("channels twice") << "%R %G %B (%RX%GX%BX)" << true;
    QTest::newRow("oklch in degrees") << "L=%oklch.l C=%oklch.c h=%oklch.h°" << true;
    QTest::newRow("xyz") << "XYZ %xyz.x %xyz.y %xyz.z" << true;
    QTest::newRow("hwb") << "[%hue|%hwb.w|%hwb.b]" << true;
    QTest::newRow("name") << "name: %name" << true;
    QTest::newRow("blanks around") << "  %R %G %B  " << true;
    QTest::newRow("no blue") << "%R %G" << false;
    QTest::newRow("no colour at all") << "%hue %hsl.s" << false;
    QTest::newRow("numbers run together") << "%R%G%B" << false;
    QTest::newRow("fractions run together") << "%Rf%Gf%Bf" << false;
}

void tst_Notations::templateReadsBack() {
    // A custom notation is read where what it writes reads back; one that
    // runs numbers into each other, or holds no colour, is not.
    QFETCH(QString, format);
    QFETCH(bool, readable);
    const CustomNotation n = makeCustomNotation(QStringLiteral("custom"), format);
    QCOMPARE(n.readable, readable);
    if (!readable)
        return;
    const NotationList list({n});
    const ReadBack kind = format.contains(u"%hue")    ? ReadBack::Meaning
                          : format.contains(u"%name") ? ReadBack::Meaning
                          : format.contains(u"oklch") ? ReadBack::SameText
                                                      : ReadBack::Exact;
    const QList<PackedColor> failed = failuresOver(65537, [&](PackedColor c) {
        const QString text = n.format.write(c);
        const std::optional<PackedColor> read = list.read(text);
        // Letter case and the blanks at both ends do not matter.
        if (list.read(QLatin1Char(' ') + text.toUpper() + QLatin1Char('\n')) != read)
            return false;
        if (kind == ReadBack::Exact)
            return read == c;
        return read && (kind == ReadBack::Meaning || n.format.write(*read) == text);
    });
    QVERIFY2(failed.isEmpty(), qPrintable(describe(failed)));
    // A text that differs from the template's is no colour.
    QVERIFY(!list.read(n.format.write(packColor(1, 2, 3)) + QStringLiteral("x")));
}

void tst_Notations::bigTemplates() {
    // 100 KB of placeholders, and of text around one: written in one pass.
    QString placeholders;
    for (int i = 0; i < 50 * 1024; ++i)
        placeholders += QStringLiteral("%R");
    const QString text = Template(placeholders).write(packColor(255, 0, 0));
    QCOMPARE(text.size(), 3 * 50 * 1024);
    QVERIFY(text.startsWith(QStringLiteral("255255")) && text.endsWith(QStringLiteral("255")));
    QString names;
    for (int i = 0; i < 20 * 1024; ++i)
        names += QStringLiteral("%name");
    QCOMPARE(Template(names).write(packColor(250, 250, 210)).size(),
             qsizetype(20 * 1024 * qstrlen("lightgoldenrodyellow")));
    QString percents(100 * 1024, QLatin1Char('%'));
    QCOMPARE(Template(percents).write(0), QString(50 * 1024, QLatin1Char('%')));
    const QString literal = QString(100 * 1024, QLatin1Char('x')) + QStringLiteral("%RX");
    const CustomNotation big = makeCustomNotation(QStringLiteral("big"), literal);
    QCOMPARE(big.format.write(packColor(255, 0, 0)).right(3), QStringLiteral("xFF"));
    // What it writes is too long to read: the notation is write-only.
    QVERIFY(!big.readable);
    QVERIFY(!NotationList({big}).read(big.format.write(0)));
}

void tst_Notations::customNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // its start; empty: taken
    const QString word = QStringLiteral("a name is a plain word");
    QTest::newRow("css-var") << "css-var"
                             << "";
    QTest::newRow("swift") << "swift"
                           << "";
    QTest::newRow("underscore and digits") << "My_Format2"
                                           << "";
    QTest::newRow("32 letters") << QString(32, QLatin1Char('a')) << "";
    QTest::newRow("33 letters") << QString(33, QLatin1Char('a')) << word;
    QTest::newRow("built-in") << "hex"
                              << "hex is a built-in notation.";
    QTest::newRow("built-in in capitals") << "OKLCH"
                                          << "oklch is a built-in notation.";
    QTest::newRow("name") << "Name"
                          << "name is a built-in notation.";
    QTest::newRow("blank inside") << "my format" << word;
    QTest::newRow("empty") << "" << word;
    QTest::newRow("digit first") << "1st" << word;
    QTest::newRow("dash first") << "-x" << word;
    QTest::newRow("dot") << "a.b" << word;
    QTest::newRow("percent") << "a%b" << word;
    QTest::newRow("not ASCII") << QString::fromUtf8("naïve") << word;
    QTest::newRow("zero byte") << QString::fromUtf8("a\0b", 3) << word;
}

void tst_Notations::customNames() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const std::optional<QString> why = nameRefusal(name);
    if (refusal.isEmpty())
        QVERIFY2(!why, qPrintable(why.value_or(QString())));
    else
        QVERIFY2(why && why->startsWith(refusal), qPrintable(why.value_or(QString())));
}

void tst_Notations::customLines() {
    const CustomNotationsRead read = readCustomNotations({
        QStringLiteral("css-var=--accent: #%Rx%Gx%Bx;"),
        QStringLiteral("  swift = \"Color(red: %Rf, green: %Gf, blue: %Bf)\"  "),
        QStringLiteral("quoted=' %R '"),
        QString(),
        QStringLiteral("   "),
        QStringLiteral("; a comment"),
        QStringLiteral("# another"),
        QStringLiteral("hex=%R"),
        QStringLiteral("my format=%R"),
        QStringLiteral("SWIFT=%R"),
        QStringLiteral("empty="),
        QStringLiteral("=%R"),
        QStringLiteral("no equals sign"),
        QString::fromUtf8("bin\x01\x02=%R"),
        QStringLiteral("eq=a=b %R"),
    });
    QCOMPARE(read.notations.size(), size_t(4));
    QCOMPARE(read.notations[0].name, QStringLiteral("css-var"));
    QCOMPARE(read.notations[0].format.write(packColor(255, 128, 0)),
             QStringLiteral("--accent: #ff8000;"));
    QCOMPARE(read.notations[1].name, QStringLiteral("swift"));
    QCOMPARE(read.notations[1].format.text(),
             QStringLiteral("Color(red: %Rf, green: %Gf, blue: %Bf)"));
    QCOMPARE(read.notations[2].format.write(0), QStringLiteral(" 0 "));
    QCOMPARE(read.notations[3].format.write(packColor(7, 0, 0)), QStringLiteral("a=b 7"));
    const QStringList expected = {
        QStringLiteral("Custom notation \"hex\" refused: hex is a built-in notation."),
        QStringLiteral("Custom notation \"my format\" refused: a name is a plain word"),
        QStringLiteral("Custom notation \"SWIFT\" refused: given twice; the first is kept."),
        QStringLiteral("Custom notation \"empty\" refused: its template is empty."),
        QStringLiteral("Custom notation line \"=%R\" refused: not name=template."),
        QStringLiteral("Custom notation line \"no equals sign\" refused: not name=template."),
        QStringLiteral("Custom notation \"bin??\" refused: a name is a plain word"),
    };
    QCOMPARE(read.refusals.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(read.refusals[i].startsWith(expected[i]), qPrintable(read.refusals[i]));
    // One line each.
    for (const QString& r : read.refusals)
        QVERIFY(!r.contains(QLatin1Char('\n')));
}

void tst_Notations::customLinesBounded() {
    // 10,000 lines, and lines of binary bytes: the first hundred notations
    // are kept, the refusals are told in a bounded number of lines.
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines << QStringLiteral("n%1=%R").arg(i);
    CustomNotationsRead read = readCustomNotations(lines);
    QCOMPARE(read.notations.size(), size_t(MaxCustomNotations));
    QCOMPARE(read.refusals.size(), MaxRefusalLines + 1);
    QCOMPARE(read.refusals.last(), QStringLiteral("Custom notations: %1 more lines refused.")
                                       .arg(10000 - MaxCustomNotations - MaxRefusalLines));
    QByteArray bytes;
    for (int i = 0; i < 64 * 1024; ++i)
        bytes += char((i * 7919) % 256);
    read = readCustomNotations(QString::fromUtf8(bytes).split(QLatin1Char('\n')));
    QVERIFY(read.refusals.size() <= MaxRefusalLines + 1);
    for (const QString& r : read.refusals) {
        for (QChar c : r)
            QVERIFY(c.isPrint());
        QVERIFY(r.size() < 200);
    }
}

void tst_Notations::notationList() {
    const CustomNotationsRead custom = readCustomNotations(
        {QStringLiteral("css-var=--accent: #%Rx%Gx%Bx;"), QStringLiteral("digits=%R%G%B"),
         QStringLiteral("hexish=#%RX%GX%BX!")});
    const NotationList list(custom.notations);
    QCOMPARE(list.size(), qsizetype(BuiltinCount + 3));
    for (int i = 0; i < BuiltinCount; ++i) {
        QCOMPARE(list.name(i), builtinName(builtins[size_t(i)]));
        QCOMPARE(list.builtin(i), std::optional<Builtin>(builtins[size_t(i)]));
        QCOMPARE(list.indexOf(list.name(i)), std::optional<qsizetype>(i));
        QCOMPARE(list.write(i, packColor(255, 128, 0)),
                 write(packColor(255, 128, 0), builtins[size_t(i)]));
    }
    QCOMPARE(list.name(BuiltinCount), QStringLiteral("css-var"));
    QVERIFY(!list.builtin(BuiltinCount));
    QCOMPARE(list.indexOf(u"CSS-VAR"), std::optional<qsizetype>(BuiltinCount));
    QCOMPARE(list.indexOf(u"hexish"), std::optional<qsizetype>(BuiltinCount + 2));
    QVERIFY(!list.indexOf(u"HEX"));
    QVERIFY(!list.indexOf(u"nothing"));
    QCOMPARE(list.write(BuiltinCount, packColor(255, 128, 0)),
             QStringLiteral("--accent: #ff8000;"));
    QCOMPARE(hexOf(list.read(u"--accent: #ff8000;")), QStringLiteral("#FF8000"));
    QCOMPARE(hexOf(list.read(u"  --ACCENT: #FF8000;  ")), QStringLiteral("#FF8000"));
    QCOMPARE(hexOf(list.read(u"#FF8000!")), QStringLiteral("#FF8000"));
    // A template whose numbers run together writes, but is not read.
    QCOMPARE(list.write(BuiltinCount + 1, packColor(255, 128, 0)), QStringLiteral("2551280"));
    QVERIFY(!list.read(u"2551280"));
    // Built-in texts come first; the built-ins alone read no custom text.
    QCOMPARE(hexOf(list.read(u"rgb(1 2 3)")), QStringLiteral("#010203"));
    QVERIFY(!NotationList().read(u"--accent: #ff8000;"));
}

QTEST_GUILESS_MAIN(tst_Notations)
#include "tst_notations.moc"
