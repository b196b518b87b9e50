#include "color/ColorTexts.h"
#include "color/ConvertBase.h"
#include "color/NamedColors.h"
#include "color/StrFuncs.h"

#include <QtTest>

class tst_Color : public QObject {
    Q_OBJECT
private slots:
    void convertBase_data();
    void convertBase();
    void splitFields_data();
    void splitFields();
    void hexPaste_data();
    void hexPaste();
    void decPaste_data();
    void decPaste();
    void namedColorLookup_data();
    void namedColorLookup();
    void formats_data();
    void formats();
};

void tst_Color::convertBase_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");
    QTest::newRow("FF") << "FF" << 16 << 10 << "255";
    QTest::newRow("ff lower") << "ff" << 16 << 10 << "255";
    QTest::newRow("0A") << "0A" << 16 << 10 << "10";
    QTest::newRow("00 is empty") << "00" << 16 << 10 << "";
    QTest::newRow("255 to hex") << "255" << 10 << 16 << "FF";
    QTest::newRow("7") << "7" << 10 << 16 << "7";
    QTest::newRow("0 is empty") << "0" << 10 << 16 << "";
    QTest::newRow("300") << "300" << 10 << 16 << "12C";
    QTest::newRow("1G bad digit") << "1G" << 16 << 10 << "Error";
    QTest::newRow("A in base 10") << "A" << 10 << 16 << "Error";
    QTest::newRow("leading blank") << " 5" << 10 << 16 << "Error";
    QTest::newRow("sign") << "-5" << 10 << 16 << "Error";
    QTest::newRow("hash") << "#FF" << 16 << 10 << "Error";
    QTest::newRow("non-ascii letter") << QString::fromUtf8("\xc3\xa9") << 16 << 10 << "Error";
    QTest::newRow("empty") << "" << 16 << 10 << "Error";
    QTest::newRow("base 1") << "1" << 1 << 10 << "Error";
    QTest::newRow("base 37") << "1" << 10 << 37 << "Error";
    QTest::newRow("base 36 digits") << "zz" << 36 << 10 << "1295";
    QTest::newRow("binary") << "1010" << 2 << 10 << "10";
    QTest::newRow("max int64") << "9223372036854775807" << 10 << 16 << "7FFFFFFFFFFFFFFF";
    QTest::newRow("above int64") << "9223372036854775808" << 10 << 16 << "Error";
    QTest::newRow("max int64 hex") << "7FFFFFFFFFFFFFFF" << 16 << 10 << "9223372036854775807";
    QTest::newRow("2^64 hex") << "10000000000000000" << 16 << 10 << "Error";
    QTest::newRow("leading zeros") << "000255" << 10 << 16 << "FF";
}

void tst_Color::convertBase() {
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    QCOMPARE(ConvertBase(text, from, to), expected);
}

void tst_Color::splitFields_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("three") << "1,2,3" << QStringList{"1", "2", "3"};
    QTest::newRow("empty middle") << "1,,3" << QStringList{"1", "", "3"};
    QTest::newRow("trailing separator") << "1,2,3," << QStringList{"1", "2", "3", ""};
    QTest::newRow("blanks kept") << " 1, 2" << QStringList{" 1", " 2"};
    QTest::newRow("only separators") << ",," << QStringList{"", "", ""};
}

void tst_Color::splitFields() {
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitFields(text, QLatin1Char(',')), fields);
}

void tst_Color::hexPaste_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pairs"); // empty: ignored
    QTest::newRow("lower case kept") << "#ff8000" << QStringList{"ff", "80", "00"};
    QTest::newRow("dollar") << "$123456" << QStringList{"12", "34", "56"};
    QTest::newRow("x") << "x123456" << QStringList{"12", "34", "56"};
    QTest::newRow("six chars") << "#FF800" << QStringList{};
    QTest::newRow("six digits without the mark") << "FF8000" << QStringList{};
    QTest::newRow("eight chars") << "#FF80000" << QStringList{};
    QTest::newRow("line end") << "#FF8000\n" << QStringList{};
    QTest::newRow("not hex") << "#GG0000" << QStringList{};
    QTest::newRow("blank inside") << "#FF 000" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("non-ascii digit")
        << QString::fromUtf8("#\xef\xbc\x91") + "23456" << QStringList{};
    QTest::newRow("megabytes") << QString(4 << 20, QLatin1Char('F')) << QStringList{};
}

void tst_Color::hexPaste() {
    QFETCH(QString, text);
    QFETCH(QStringList, pairs);
    const auto hex = colortext::parseHexText(text);
    QCOMPARE(hex.has_value(), !pairs.isEmpty());
    if (hex)
        QCOMPARE((QStringList{(*hex)[0], (*hex)[1], (*hex)[2]}), pairs);
}

void tst_Color::decPaste_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hex"); // empty: ignored
    QTest::newRow("orange") << "255,128,0" << QStringList{"FF", "80", ""};
    QTest::newRow("leading zeros") << "007,0,0" << QStringList{"7", "", ""};
    QTest::newRow("black") << "0,0,0" << QStringList{"", "", ""};
    QTest::newRow("blanks") << "255, 128, 0" << QStringList{};
    QTest::newRow("line end") << "255,128,0\n" << QStringList{};
    QTest::newRow("two fields") << "255,128" << QStringList{};
    QTest::newRow("four fields") << "255,128,0,0" << QStringList{};
    QTest::newRow("empty field") << "1,,3" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("sign") << "+1,2,3" << QStringList{};
    QTest::newRow("above 255") << "300,0,0" << QStringList{};
    QTest::newRow("256") << "0,256,0" << QStringList{};
    QTest::newRow("huge number") << "99999999999999999999,0,0" << QStringList{};
    QTest::newRow("semicolons") << "1;2;3" << QStringList{};
    QTest::newRow("megabytes") << QString(2 << 20, QLatin1Char(',')) << QStringList{};
}

void tst_Color::decPaste() {
    QFETCH(QString, text);
    QFETCH(QStringList, hex);
    const auto parsed = colortext::parseDecText(text);
    QCOMPARE(parsed.has_value(), !hex.isEmpty());
    if (parsed)
        QCOMPARE((QStringList{(*parsed)[0], (*parsed)[1], (*parsed)[2]}), hex);
}

void tst_Color::namedColorLookup_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("name"); // empty: no entry
    QTest::newRow("maroon") << 128 << 0 << 0 << "Maroon";
    QTest::newRow("navy") << 0 << 0 << 128 << "Navy";
    QTest::newRow("sky blue") << 166 << 202 << 240 << "Sky Blue";
    QTest::newRow("medium gray") << 160 << 160 << 164 << "Medium Gray";
    QTest::newRow("cream") << 255 << 251 << 240 << "Cream";
    QTest::newRow("money green") << 192 << 220 << 192 << "Money Green";
    QTest::newRow("one step off silver") << 192 << 192 << 193 << "";
    QTest::newRow("red plus blue 1") << 255 << 0 << 1 << "";
}

void tst_Color::namedColorLookup() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(QString, name);
    const int i = namedColorIndex(packColor(r, g, b));
    QCOMPARE(i >= 0 ? QString::fromLatin1(namedColors[i].name) : QString(), name);
}

void tst_Color::formats_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<QStringList>("texts"); // hex, dec, rgb, hsl
    QTest::newRow("black") << 0 << 0 << 0
                           << QStringList{"#000000", "0,0,0", "rgb(0, 0, 0)", "hsl(0, 0%, 0%)"};
    QTest::newRow("white") << 255 << 255 << 255
                           << QStringList{"#FFFFFF", "255,255,255", "rgb(255, 255, 255)",
                                          "hsl(0, 0%, 100%)"};
    QTest::newRow("grey") << 128 << 128 << 128
                          << QStringList{"#808080", "128,128,128", "rgb(128, 128, 128)",
                                         "hsl(0, 0%, 50%)"};
    QTest::newRow("orange") << 255 << 128 << 0
                            << QStringList{"#FF8000", "255,128,0", "rgb(255, 128, 0)",
                                           "hsl(30, 100%, 50%)"};
    // 359.76 degrees: a whole turn, so 0.
    QTest::newRow("hue rounds to 360")
        << 255 << 0 << 1
        << QStringList{"#FF0001", "255,0,1", "rgb(255, 0, 1)", "hsl(0, 100%, 50%)"};
    // 7.5 degrees and 12.5 % exactly: half up.
    QTest::newRow("hue half way") << 8 << 1 << 0
                                  << QStringList{"#080100", "8,1,0", "rgb(8, 1, 0)",
                                                 "hsl(8, 100%, 2%)"};
    QTest::newRow("saturation half way")
        << 9 << 7 << 7 << QStringList{"#090707", "9,7,7", "rgb(9, 7, 7)", "hsl(0, 13%, 3%)"};
    QTest::newRow("dark teal, saturation past half")
        << 10 << 100 << 90
        << QStringList{"#0A645A", "10,100,90", "rgb(10, 100, 90)", "hsl(173, 82%, 22%)"};
    QTest::newRow("pale lilac, lightness past half")
        << 200 << 180 << 230
        << QStringList{"#C8B4E6", "200,180,230", "rgb(200, 180, 230)", "hsl(264, 50%, 80%)"};
}

void tst_Color::formats() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(QStringList, texts);
    const char* names[] = {"hex", "dec", "rgb", "hsl"};
    for (int i = 0; i < 4; ++i) {
        const std::optional<colortext::Format> format =
            colortext::parseFormat(QLatin1String(names[i]));
        QVERIFY(format);
        QCOMPARE(colortext::formatColor(packColor(r, g, b), *format), texts[i]);
    }
    QVERIFY(!colortext::parseFormat(QStringLiteral("HEX")));
    QVERIFY(!colortext::parseFormat(QString()));
}

QTEST_MAIN(tst_Color)
#include "tst_color.moc"
