#include "color/Contrast.h"

#include <QFile>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace contrast;

namespace {

/// The rows of a table that reference/contrast.mjs wrote, without its
/// comment lines ("# " first) and its line of column names, each row split
/// into its fields.
QList<QStringList> referenceRows(const QString& name, qsizetype columns) {
    QFile file(QStringLiteral(MIRABOU_CONTRAST_REFERENCE "/") + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    QList<QStringList> rows;
    bool header = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("# ")))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != columns)
            qFatal("%s: a line of %d fields: %s", qPrintable(name), int(fields.size()),
                   qPrintable(line));
        if (!header)
            rows << fields;
        header = false;
    }
    return rows;
}

QList<QStringList> pairRows() {
    return referenceRows(QStringLiteral("contrast.tsv"), 8);
}

PackedColor colorOf(const QString& hex) {
    bool ok = false;
    const uint rgb = hex.mid(1).toUInt(&ok, 16);
    if (hex.size() != 7 || !ok)
        qFatal("not a colour: %s", qPrintable(hex));
    return packColor(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

/// The columns of the deficiency tables, in the order of deficiencies.
const char* const deficiencyNames[] = {"protanopia", "deuteranopia", "tritanopia", "achromatopsia"};

QString hexOf(PackedColor color) {
    return QStringLiteral("#%1%2%3").arg(hexPair(redOf(color)), hexPair(greenOf(color)),
                                         hexPair(blueOf(color)));
}

/// The reference's pairs as rows of text, background, ratio, ratio text,
/// the five levels' "pass" or "fail", Lc and Lc text.
void addPairColumns() {
    QTest::addColumn<PackedColor>("text");
    QTest::addColumn<PackedColor>("background");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("ratioShown");
    QTest::addColumn<QStringList>("verdicts");
    QTest::addColumn<double>("lc");
    QTest::addColumn<QString>("lcShown");
    for (const QStringList& row : pairRows()) {
        QTest::newRow(qPrintable(row[0]))
            << colorOf(row[1]) << colorOf(row[2]) << row[3].toDouble() << row[4]
            << row[5].split(QLatin1Char(' ')) << row[6].toDouble() << row[7];
    }
}

} // namespace

class tst_Contrast : public QObject {
    Q_OBJECT
private slots:
    void referenceCoversTheEdges();
    void ratio_data();
    void ratio();
    void lightness_data();
    void lightness();
    void report_data();
    void report();
    void exactRatios_data();
    void exactRatios();
    void ratioShown_data();
    void ratioShown();
    void lcShown_data();
    void lcShown();
    void deficiency_data();
    void deficiency();
    void deficiencyOfShortHexColours();
};

// The table must hold pairs on both sides of every threshold, and the
// exact and clipped ends, or the rows below prove less than they claim.
void tst_Contrast::referenceCoversTheEdges() {
    const QList<QStringList> rows = pairRows();
    const auto any = [&](auto test) {
        return std::any_of(rows.begin(), rows.end(), [&](const QStringList& row) {
            return test(row[3].toDouble(), row[6].toDouble());
        });
    };
    for (const double t : {3.0, 4.5, 7.0}) {
        QVERIFY2(any([t](double r, double) { return r < t && r > t - 0.01; }),
                 qPrintable(QStringLiteral("no pair just below %1").arg(t)));
        QVERIFY2(any([t](double r, double) { return r >= t && r < t + 0.01; }),
                 qPrintable(QStringLiteral("no pair at or just above %1").arg(t)));
    }
    QVERIFY(any([](double r, double) { return r == 1; }));
    QVERIFY(any([](double r, double) { return r == 21; }));
    QVERIFY(any([](double, double lc) { return lc > 0; }));
    QVERIFY(any([](double, double lc) { return lc < 0; }));
    // The low clip: the smallest Lc either side of 0.
    QVERIFY(any([](double, double lc) { return lc >= 7.3 && lc < 7.31; }));
    QVERIFY(any([](double, double lc) { return lc <= -7.3 && lc > -7.31; }));
    QVERIFY(any([](double r, double lc) { return lc == 0 && r > 1; }));
}

void tst_Contrast::ratio_data() {
    addPairColumns();
}

void tst_Contrast::ratio() {
    QFETCH(PackedColor, text);
    QFETCH(PackedColor, background);
    QFETCH(double, ratio);
    QFETCH(QString, ratioShown);
    QFETCH(QStringList, verdicts);
    const double got = contrastRatio(text, background);
    QVERIFY2(std::abs(got - ratio) <= 1e-12 * ratio,
             qPrintable(QString::number(got, 'g', 17) + QStringLiteral(" against ") +
                        QString::number(ratio, 'g', 17)));
    QCOMPARE(contrastRatio(background, text), got);
    QCOMPARE(ratioText(got), ratioShown);
    QCOMPARE(verdicts.size(), qsizetype(levels.size()));
    for (size_t i = 0; i < levels.size(); ++i) {
        QVERIFY2(passes(got, levels[i]) == (verdicts[i] == QLatin1String("pass")),
                 qPrintable(levelName(levels[i])));
    }
}

void tst_Contrast::lightness_data() {
    addPairColumns();
}

void tst_Contrast::lightness() {
    QFETCH(PackedColor, text);
    QFETCH(PackedColor, background);
    QFETCH(double, lc);
    QFETCH(QString, lcShown);
    const double got = lightnessContrast(text, background);
    QVERIFY2(std::abs(got - lc) <= 1e-9,
             qPrintable(QString::number(got, 'g', 17) + QStringLiteral(" against ") +
                        QString::number(lc, 'g', 17)));
    QCOMPARE(lcText(got), lcShown);
}

void tst_Contrast::report_data() {
    addPairColumns();
}

void tst_Contrast::report() {
    QFETCH(PackedColor, text);
    QFETCH(PackedColor, background);
    QFETCH(QString, ratioShown);
    QFETCH(QStringList, verdicts);
    QFETCH(QString, lcShown);
    const QStringList names{QStringLiteral("AA normal"), QStringLiteral("AA large"),
                            QStringLiteral("AAA normal"), QStringLiteral("AAA large"),
                            QStringLiteral("Non-text")};
    QStringList expected{ratioShown + QStringLiteral(":1")};
    for (qsizetype i = 0; i < names.size(); ++i)
        expected << names[i] + QStringLiteral(": ") + verdicts.value(i);
    expected << QStringLiteral("Lc ") + lcShown;
    QCOMPARE(reportLines(text, background), expected);
}

// Pairs whose ratio is a whole number in real arithmetic come out exactly,
// so no float noise shows them a hundredth low.
void tst_Contrast::exactRatios_data() {
    QTest::addColumn<PackedColor>("a");
    QTest::addColumn<PackedColor>("b");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black and white") << packColor(0, 0, 0) << packColor(255, 255, 255) << 21.0;
    QTest::newRow("white and black") << packColor(255, 255, 255) << packColor(0, 0, 0) << 21.0;
    QTest::newRow("same white") << packColor(255, 255, 255) << packColor(255, 255, 255) << 1.0;
    QTest::newRow("same colour") << packColor(51, 102, 204) << packColor(51, 102, 204) << 1.0;
    QTest::newRow("same dark") << packColor(3, 1, 2) << packColor(3, 1, 2) << 1.0;
}

void tst_Contrast::exactRatios() {
    QFETCH(PackedColor, a);
    QFETCH(PackedColor, b);
    QFETCH(double, ratio);
    QCOMPARE(contrastRatio(a, b), ratio);
}

void tst_Contrast::ratioShown_data() {
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("shown");
    const double below = 0;
    QTest::newRow("4.5") << 4.5 << "4.50";
    QTest::newRow("just below 4.5") << std::nextafter(4.5, below) << "4.49";
    QTest::newRow("3") << 3.0 << "3.00";
    QTest::newRow("just below 3") << std::nextafter(3.0, below) << "2.99";
    QTest::newRow("7") << 7.0 << "7.00";
    QTest::newRow("just below 7") << std::nextafter(7.0, below) << "6.99";
    // Each of these times 100 falls just below a whole number.
    QTest::newRow("4.35") << 4.35 << "4.35";
    QTest::newRow("just below 4.35") << std::nextafter(4.35, below) << "4.34";
    QTest::newRow("1.15") << 1.15 << "1.15";
    QTest::newRow("2.3") << 2.3 << "2.30";
    QTest::newRow("truncated, not rounded") << 4.4999 << "4.49";
    QTest::newRow("1") << 1.0 << "1.00";
    QTest::newRow("21") << 21.0 << "21.00";
    QTest::newRow("just below 21") << std::nextafter(21.0, below) << "20.99";
    QTest::newRow("below 1") << 0.5 << "1.00";
    QTest::newRow("negative") << -3.0 << "1.00";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "1.00";
    QTest::newRow("huge") << 1e300 << "21.00";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "21.00";
}

void tst_Contrast::ratioShown() {
    QFETCH(double, ratio);
    QFETCH(QString, shown);
    QCOMPARE(ratioText(ratio), shown);
    // What is shown agrees with every verdict: 4.50 passes AA, 4.49 does not.
    const int hundredths = ratioHundredths(ratio);
    for (const Level level : levels) {
        QVERIFY2(passes(ratio, level) == (hundredths >= std::lround(minimumRatio(level) * 100)),
                 qPrintable(levelName(level)));
    }
}

void tst_Contrast::lcShown_data() {
    QTest::addColumn<double>("lc");
    QTest::addColumn<QString>("shown");
    QTest::newRow("63.056") << 63.056469930209424 << "63.1";
    QTest::newRow("-68.541") << -68.541464366449617 << "-68.5";
    QTest::newRow("zero") << 0.0 << "0.0";
    QTest::newRow("negative zero") << -0.0 << "0.0";
    QTest::newRow("small negative") << -0.04 << "0.0";
    QTest::newRow("half up") << 7.25 << "7.3";
    QTest::newRow("half down, away from zero") << -7.25 << "-7.3";
    QTest::newRow("three digits") << 106.04067321268862 << "106.0";
    QTest::newRow("three digits, negative") << -107.88473318309848 << "-107.9";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "0.0";
}

void tst_Contrast::lcShown() {
    QFETCH(double, lc);
    QFETCH(QString, shown);
    QCOMPARE(lcText(lc), shown);
}

void tst_Contrast::deficiency_data() {
    QTest::addColumn<PackedColor>("color");
    QTest::addColumn<QStringList>("simulated"); // in the order of deficiencies
    for (const QStringList& row : referenceRows(QStringLiteral("deficiency.tsv"), 5))
        QTest::newRow(qPrintable(row[0])) << colorOf(row[0]) << row.mid(1);
}

void tst_Contrast::deficiency() {
    QFETCH(PackedColor, color);
    QFETCH(QStringList, simulated);
    for (size_t i = 0; i < deficiencies.size(); ++i)
        QVERIFY2(hexOf(simulate(color, deficiencies[i])) == simulated[qsizetype(i)],
                 qPrintable(QLatin1String(deficiencyNames[i]) + QStringLiteral(": ") +
                            hexOf(simulate(color, deficiencies[i])) + QStringLiteral(" for ") +
                            simulated[qsizetype(i)]));
}

// All 4096 colours of three-digit hex codes: so many results lie near a
// rounding step that a matrix coefficient wrong in its fifth decimal shows.
void tst_Contrast::deficiencyOfShortHexColours() {
    const QList<QStringList> rows = referenceRows(QStringLiteral("deficiency-grid.tsv"), 5);
    QCOMPARE(rows.size(), 4096);
    QStringList wrong;
    for (const QStringList& row : rows) {
        const PackedColor color = colorOf(row[0]);
        for (size_t i = 0; i < deficiencies.size(); ++i) {
            const QString got = hexOf(simulate(color, deficiencies[i]));
            if (got != row[qsizetype(i) + 1])
                wrong << QStringLiteral("%1 with %2: %3 for %4")
                             .arg(row[0], QLatin1String(deficiencyNames[i]), got,
                                  row[qsizetype(i) + 1]);
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) +
                                         QStringLiteral(" wrong, first ") + wrong.value(0)));
}

QTEST_GUILESS_MAIN(tst_Contrast)
#include "tst_contrast.moc"
