#include "color/ClipboardExchange.h"
#include "color/ColorBox.h"
#include "color/ConvertBase.h"
#include "color/NamedColors.h"
#include "color/StrFuncs.h"

#include <QImage>
#include <QPainter>
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
    void entryFrame_data();
    void entryFrame();
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
    const auto hex = clipboard::parseHexText(text);
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
    const auto parsed = clipboard::parseDecText(text);
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

void tst_Color::entryFrame_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QColor>("frame");
    QTest::newRow("white") << "White" << false << QColor(Qt::black);
    QTest::newRow("cream") << "Cream" << false << QColor(Qt::black);
    QTest::newRow("cream selected") << "Cream" << true << QColor(Qt::black);
    QTest::newRow("black selected") << "Black" << true << QColor(Qt::white);
    QTest::newRow("black unselected") << "Black" << false << QColor(Qt::black);
    QTest::newRow("silver unselected") << "Silver" << false << QColor(192, 192, 192);
    QTest::newRow("navy selected") << "Navy" << true << QColor(Qt::white);
}

void tst_Color::entryFrame() {
    QFETCH(QString, name);
    QFETCH(bool, selected);
    QFETCH(QColor, frame);
    int entry = -1;
    for (int i = 0; i < int(namedColors.size()); ++i)
        if (name == QLatin1String(namedColors[i].name))
            entry = i;
    QVERIFY(entry >= 0);

    QImage image(120, 16, QImage::Format_RGB32);
    QPalette pal;
    pal.setColor(QPalette::Base, QColor(250, 250, 250));
    pal.setColor(QPalette::Highlight, QColor(40, 80, 160));
    image.fill(Qt::green);
    {
        QPainter p(&image);
        paintNamedColorEntry(&p, image.rect(), entry, selected, false, QFont(), pal);
    }
    const PackedColor c = namedColors[entry].color;
    const QColor fill(redOf(c), greenOf(c), blueOf(c));
    // Swatch: 14 x 14 at (1, 1); its outer ring is the frame.
    QCOMPARE(image.pixelColor(1, 1), frame);
    QCOMPARE(image.pixelColor(14, 14), frame);
    QCOMPARE(image.pixelColor(1, 8), frame);
    QCOMPARE(image.pixelColor(8, 8), fill);
    // Outside the swatch: the background of the entry.
    QCOMPARE(image.pixelColor(0, 0), selected ? QColor(40, 80, 160) : QColor(250, 250, 250));
    QCOMPARE(image.pixelColor(15, 8), selected ? QColor(40, 80, 160) : QColor(250, 250, 250));
}

QTEST_MAIN(tst_Color)
#include "tst_color.moc"
