// The Eye Wizard in process: the pick from a fake screen, the eye colour.
#include "color/ColorModel.h"
#include "controls/BoxPictures.h"
#include "controls/LabelPictures.h"
#include "controls/SpeedButton.h"
#include "controls/UpDown.h"
#include "controls/umEdit.h"
#include "eyedropper/EyeWizard.h"
#include "eyedropper/Magnifier.h"
#include "support/ProgramDriver.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QStyleHints>
#include <QWheelEvent>
#include <QtTest>

using namespace testsupport;

namespace {

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

} // namespace

class tst_EyeWizard : public QObject {
    Q_OBJECT
private slots:
    void magnifyNudgeCancel();
    void eyeWizardPick();
    void eyeWizardEdges();
    void eyeColorCommands();
    void eyeColourModel();
    void sampleSizes_data();
    void sampleSizes();
    void contrastLabel_data();
    void contrastLabel();
};

void tst_EyeWizard::eyeWizardPick() {
    // Without the magnifier, exactly a pixel read per move.
    WindowFixture f;
    QVERIFY(f.start("[settings]\nmagnifier=0\n"));
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    const qint64 normal = f.c<QToolButton>("SpeedButton11")->icon().cacheKey();
    const qint64 picking = f.c<QToolButton>("SpeedButton10")->icon().cacheKey();
    f.screen->colorAt = [](QPoint p) {
        return p.x() < 1000 ? packColor(0x12, 0x34, 0x05) : packColor(255, 0, 0);
    };
    // Moves without a press change nothing and read nothing.
    QTest::mouseMove(wand, QPoint(5, 5));
    QCOMPARE(f.screen->reads, 0);

    const int flashTime = 1000; // a blinking caret, held still while picking
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime);
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(f.w().eyeWizard().isPicking());
    QCOMPARE(wand->icon().cacheKey(), picking);
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    f.screen->cursor = QPoint(100, 100);
    QTest::mouseMove(wand, QPoint(12, 12));
    QCOMPARE(f.screen->reads, 1);
    QCOMPARE(f.text("umRed"), QStringLiteral("12"));
    QCOMPARE(f.text("umGreen"), QStringLiteral("34"));
    QCOMPARE(f.text("umBlue"), QStringLiteral("05"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#123405"));
    QCOMPARE(f.text("Label10"), QStringLiteral("18,52,5"));
    f.screen->cursor = QPoint(2000, 5);
    QTest::mouseMove(wand, QPoint(14, 14));
    QCOMPARE(f.screen->reads, 2);
    QCOMPARE(f.text("Label4"), QStringLiteral("#FF0000"));
    QCOMPARE(f.selectedName(), QStringLiteral("Red"));
    // Once their characters' pictures are taken, later moves draw the value
    // labels from them, as the labels draw themselves; the six boxes are
    // drawn from theirs, the one with the focus too, as its caret stands
    // still while the pick goes on.
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    auto* labels = f.w().findChild<TLabelPictures*>();
    auto* boxes = f.w().findChild<TBoxPictures*>();
    QVERIFY(labels && boxes);
    auto* focused = f.c<TumNumberEdit>("umRed");
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());
    const int boxesBefore = boxes->drawn();
    for (int x : {100, 2000, 100, 2000}) {
        f.screen->cursor = QPoint(x, 5);
        QTest::mouseMove(wand, QPoint(x / 100, 14));
        QCoreApplication::sendPostedEvents(&f.w(), QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(labels, QEvent::MetaCall);
    }
    QCOMPARE(f.text("Label4"), QStringLiteral("#FF0000"));
    QVERIFY(labels->drawn() >= 2);
    QCOMPARE(labels->refused(), 0);
    QCOMPARE(boxes->drawn() - boxesBefore, 4 * 6);
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(14, 14));
    QVERIFY(!f.w().eyeWizard().isPicking());
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), flashTime);
    QCOMPARE(wand->icon().cacheKey(), normal);
    QCOMPARE(f.text("Label25"), QStringLiteral("#FF0000"));
}

void tst_EyeWizard::eyeWizardEdges() {
    WindowFixture f;
    QVERIFY(f.start());
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    f.type("dcRed", "9");
    // Press and release without a move: the eye colour is the current colour.
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.screen->reads, 0);
    QCOMPARE(f.text("Label25"), QStringLiteral("#090000"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#090000"));
    // An unreadable point counts as white.
    QTest::mousePress(wand, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    QTest::mouseMove(wand, QPoint(11, 11));
    QCOMPARE(f.text("Label4"), QStringLiteral("#FFFFFF"));
    QCOMPARE(f.selectedName(), QStringLiteral("White"));
    // Losing the pointer grab ends the pick as a release would.
    QEvent ungrab(QEvent::UngrabMouse);
    QCoreApplication::sendEvent(wand, &ungrab);
    QVERIFY(!f.w().eyeWizard().isPicking());
    QCOMPARE(f.text("Label25"), QStringLiteral("#FFFFFF"));
    // The program ending in the middle of a pick gives the caret its blink
    // back, and its settings are written as at any end.
    const int flashTime = 800;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime);
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    QCOMPARE(f.saved("magnifier"), QStringLiteral("1"));
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), flashTime);
}

void tst_EyeWizard::eyeColorCommands() {
    WindowFixture f;
    QVERIFY(f.start());
    // Nothing remembered yet.
    f.trigger("RecallEyeColor1");
    QCOMPARE(f.text("Label4"), QStringLiteral("#000000"));
    f.trigger("HexValue1");
    QCOMPARE(clipboardText(), QStringLiteral("Not Set"));
    f.trigger("DecValue1");
    QCOMPARE(clipboardText(), QStringLiteral("Error,Error,Error"));

    // Remember orange through a pick.
    f.screen->colorAt = [](QPoint) { return packColor(255, 128, 0); };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    f.trigger("HexValue1");
    QCOMPARE(clipboardText(), QStringLiteral("#FF8000"));
    f.trigger("DecValue1");
    QCOMPARE(clipboardText(), QStringLiteral("255,128,0"));

    f.type("umRed", "");
    f.type("umGreen", "");
    QCOMPARE(f.text("Label4"), QStringLiteral("#000000"));
    f.trigger("RecallEyeColor1");
    QCOMPARE(f.text("Label4"), QStringLiteral("#FF8000"));
    QCOMPARE(f.text("dcGreen"), QStringLiteral("128"));
    QCOMPARE(f.c<TUpDown>("UpDown1")->Position(), 255);
    QCOMPARE(f.text("Label25"), QStringLiteral("#FF8000"));

    f.trigger("ClearEyeColor1");
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    f.type("dcRed", "1");
    f.trigger("RecallEyeColor1");
    QCOMPARE(f.text("Label4"), QStringLiteral("#018000"));

    // Black as eye colour copies as zeros, not empty fields.
    f.screen->colorAt = [](QPoint) { return packColor(0, 0, 0); };
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    f.trigger("DecValue1");
    QCOMPARE(clipboardText(), QStringLiteral("0,0,0"));
}

void tst_EyeWizard::magnifyNudgeCancel() {
    WindowFixture f;
    QVERIFY(f.start());
    // A screen of one-pixel cells, each its own colour.
    f.screen->colorAt = [](QPoint p) { return packColor(p.x() & 0xFF, p.y() & 0xFF, 0x40); };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    f.screen->cursor = QPoint(50, 60);
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    QCOMPARE(f.text("Label25"), QStringLiteral("#323C40"));
    f.type("dcRed", "9");
    const auto magnifier = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == QLatin1String("Magnifier") && w->isVisible())
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    QVERIFY(!magnifier());

    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    f.screen->cursor = QPoint(100, 120);
    QTest::mouseMove(wand, QPoint(12, 12));
    QCOMPARE(f.text("Label4"), QStringLiteral("#647840"));
    QWidget* shown = nullptr;
    QTRY_VERIFY((shown = magnifier()));
    // The cells around the picked pixel, the picked one in the middle,
    // eight device pixels each, beneath them the hex text.
    const QImage drawn = shown->grab().toImage();
    const int middle = drawn.width() / 2;
    QCOMPARE(QColor(drawn.pixel(middle, middle)), QColor(100, 120, 0x40));
    QCOMPARE(QColor(drawn.pixel(middle + 8, middle)), QColor(101, 120, 0x40));
    QCOMPARE(QColor(drawn.pixel(middle - 16, middle + 24)), QColor(98, 123, 0x40));
    // The arrow keys move the picked point, Shift by ten; they reach no box.
    auto* box = f.c<QLineEdit>("umGreen");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Right);
    QCOMPARE(f.screen->cursor, QPoint(101, 120));
    QCOMPARE(f.text("Label4"), QStringLiteral("#657840"));
    QTest::keyClick(box, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(f.screen->cursor, QPoint(101, 130));
    QCOMPARE(f.text("Label4"), QStringLiteral("#658240"));
    QCOMPARE(f.text("umGreen"), QStringLiteral("82"));
    // The wheel magnifies more: cells of twelve.
    QWheelEvent wheel(QPointF(12, 12), wand->mapToGlobal(QPointF(12, 12)), QPoint(), QPoint(0, 120),
                      Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(wand, &wheel);
    QCOMPARE(f.w().eyeWizard().zoom(), 12);
    QTRY_COMPARE(QColor(shown->grab().toImage().pixel(middle + 12, middle)),
                 QColor(102, 130, 0x40));
    // Escape: everything as before the press; the release changes nothing.
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!f.w().eyeWizard().isPicking());
    QVERIFY(!magnifier());
    QCOMPARE(f.text("Label4"), QStringLiteral("#093C40"));
    QCOMPARE(f.text("umRed"), QStringLiteral("9"));
    QCOMPARE(f.text("Label25"), QStringLiteral("#323C40"));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(12, 12));
    QCOMPARE(f.text("Label4"), QStringLiteral("#093C40"));
    QCOMPARE(f.text("Label25"), QStringLiteral("#323C40"));
    // The magnification stays for the next pick.
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.w().eyeWizard().zoom(), 12);
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(10, 10));
}

void tst_EyeWizard::eyeColourModel() {
    WindowFixture f;
    QVERIFY(f.start("[settings]\nmagnifier=0\n"));
    TEyeWizard& wizard = f.w().eyeWizard();
    TEyeColor& eye = wizard.eyeColor();
    QSignalSpy changed(&eye, &TEyeColor::changed);
    QSignalSpy picked(&wizard, &TEyeWizard::picked);
    QVERIFY(!eye.isSet());
    QCOMPARE(wizard.comparedColor(), std::nullopt);
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    // A release remembers the colour and says so once; the display shows it.
    const PackedColor orange = packColor(255, 128, 0);
    f.screen->colorAt = [orange](QPoint) { return orange; };
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.takeFirst().at(0).value<PackedColor>(), orange);
    QCOMPARE(eye.color(), std::optional<PackedColor>(orange));
    QCOMPARE(f.text("Label25"), QStringLiteral("#FF8000"));
    QCOMPARE(wizard.comparedColor(), std::optional<PackedColor>(orange));

    // The press forgets it, but the pick compares with the one put aside;
    // Escape brings it back, and nothing is picked.
    changed.clear();
    const PackedColor blue = packColor(0, 0, 255);
    f.screen->colorAt = [blue](QPoint) { return blue; };
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!eye.isSet());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    QCOMPARE(wizard.comparedColor(), std::optional<PackedColor>(orange));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::keyClick(wand, Qt::Key_Escape);
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    QCOMPARE(picked.size(), 0);
    QCOMPARE(eye.color(), std::optional<PackedColor>(orange));
    QCOMPARE(f.text("Label25"), QStringLiteral("#FF8000"));

    // Typed lower-case digits stay as typed in the display and the recall,
    // the colour is the same.
    f.type("umRed", "ab");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.text("Label25"), QStringLiteral("#ab8000"));
    QCOMPARE(eye.color(), std::optional<PackedColor>(packColor(0xAB, 0x80, 0)));
    QCOMPARE(picked.takeFirst().at(0).value<PackedColor>(), packColor(0xAB, 0x80, 0));
    f.type("umRed", "1");
    f.trigger("RecallEyeColor1");
    QCOMPARE(f.text("umRed"), QStringLiteral("ab"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#ab8000"));

    // Clear forgets it; the display and the comparison follow.
    changed.clear();
    f.trigger("ClearEyeColor1");
    QCOMPARE(changed.size(), 1);
    QVERIFY(!eye.isSet());
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    QCOMPARE(wizard.comparedColor(), std::nullopt);
    // Set from outside the pick (as a palette would), the display shows it.
    eye.set(packColor(1, 2, 3));
    QCOMPARE(f.text("Label25"), QStringLiteral("#010203"));
    f.trigger("HexValue1");
    QCOMPARE(clipboardText(), QStringLiteral("#010203"));
}

void tst_EyeWizard::sampleSizes_data() {
    QTest::addColumn<QByteArray>("value"); // of settings/sample, null: none
    QTest::addColumn<int>("size");         // as read
    QTest::addColumn<QPoint>("picked");
    QTest::addColumn<QString>("colour"); // the mean there
    // A screen of 100 x 100 device pixels, red where x + y is even, blue
    // where it is odd: around a red one, a square of n has (n*n + 1) / 2
    // red pixels.
    QTest::newRow("no key: the pixel alone") << QByteArray() << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("1") << QByteArray("1") << 1 << QPoint(51, 50) << "#0000FF";
    QTest::newRow("3 on red: five red, four blue")
        << QByteArray("3") << 3 << QPoint(50, 50) << "#8E0071";
    QTest::newRow("3 on blue") << QByteArray("3") << 3 << QPoint(51, 50) << "#71008E";
    QTest::newRow("5: 13 and 12") << QByteArray("5") << 5 << QPoint(40, 60) << "#85007A";
    QTest::newRow("9: 41 and 40") << QByteArray("9") << 9 << QPoint(20, 30) << "#81007E";
    QTest::newRow("9 on blue") << QByteArray("9") << 9 << QPoint(21, 30) << "#7E0081";
    QTest::newRow("3 at the top left corner: two and two, a half up")
        << QByteArray("3") << 3 << QPoint(0, 0) << "#800080";
    QTest::newRow("5 at the top left corner: what the screen shows")
        << QByteArray("5") << 5 << QPoint(0, 0) << "#8E0071";
    QTest::newRow("9 at the bottom right corner")
        << QByteArray("9") << 9 << QPoint(99, 99) << "#85007A";
    QTest::newRow("9 at the top right corner, on blue")
        << QByteArray("9") << 9 << QPoint(99, 0) << "#7A0085";
    QTest::newRow("9 partly off the left edge")
        << QByteArray("9") << 9 << QPoint(2, 50) << "#82007D";
    QTest::newRow("9 where no screen shows one")
        << QByteArray("9") << 9 << QPoint(300, 50) << "#FFFFFF";
    QTest::newRow("hexadecimal 5") << QByteArray("0x5") << 5 << QPoint(40, 60) << "#85007A";
    QTest::newRow("7 reads as 1") << QByteArray("7") << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("-1 reads as 1") << QByteArray("-1") << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("10000 reads as 1") << QByteArray("10000") << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("0 reads as 1") << QByteArray("0") << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("text reads as 1") << QByteArray("nine") << 1 << QPoint(50, 50) << "#FF0000";
    QTest::newRow("empty reads as 1") << QByteArray("") << 1 << QPoint(50, 50) << "#FF0000";
}

void tst_EyeWizard::sampleSizes() {
    QFETCH(QByteArray, value);
    QFETCH(int, size);
    QFETCH(QPoint, picked);
    QFETCH(QString, colour);
    WindowFixture f;
    QVERIFY(f.start(value.isNull() ? QByteArray() : "[settings]\nsample=" + value + "\n"));
    TEyeWizard& wizard = f.w().eyeWizard();
    QCOMPARE(wizard.sampleSize(), size);
    const QString checked = QStringLiteral("Sample%1x%1").arg(size);
    for (QAction* item : f.c<QMenu>("SampleSize1")->actions())
        QCOMPARE(item->isChecked(), item->objectName() == checked);
    f.screen->colorAt = [](QPoint p) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= 100 || p.y() >= 100)
            return UnreadablePixel;
        return (p.x() + p.y()) % 2 ? packColor(0, 0, 255) : packColor(255, 0, 0);
    };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    f.screen->cursor = picked;
    // With the magnifier and without, one reading of the screen per move.
    for (const bool magnifier : {true, false}) {
        wizard.setMagnifierOn(magnifier);
        f.screen->reads = 0;
        QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(wand, QPoint(11, 11));
        QCOMPARE(f.screen->reads, 1);
        QCOMPARE(f.text("Label4"), colour);
        QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
        QCOMPARE(f.text("Label25"), colour);
    }
    // A nudge moves the square by one device pixel.
    if (size > 1 && picked == QPoint(50, 50)) {
        QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(wand, QPoint(11, 11));
        QTest::keyClick(wand, Qt::Key_Right);
        QCOMPARE(f.screen->cursor, QPoint(51, 50));
        QCOMPARE(f.text("Label4"), QStringLiteral("#71008E"));
        QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    }
    // Written back as read, or as chosen.
    QCOMPARE(f.saved("sample"), QString::number(size));
    QVERIFY(f.start());
    const int other = size == 9 ? 5 : 9;
    const QString chosen = QStringLiteral("Sample%1x%1").arg(other);
    f.trigger(qPrintable(chosen));
    QCOMPARE(f.w().eyeWizard().sampleSize(), other);
    for (QAction* item : f.c<QMenu>("SampleSize1")->actions())
        QCOMPARE(item->isChecked(), item->objectName() == chosen);
    QCOMPARE(f.saved("sample"), QString::number(other));
}

void tst_EyeWizard::contrastLabel_data() {
    QTest::addColumn<QString>("eye"); // remembered before the press, empty: none
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("label"); // what the label row says
    QTest::newRow("no eye colour: the hex text alone") << ""
                                                       << "#777777"
                                                       << "#777777";
    QTest::newRow("4.478 shows 4.47, never a rounded 4.48") << "#777777"
                                                            << "#FFFFFF"
                                                            << "#FFFFFF 4.47:1";
    QTest::newRow("3.998 shows 3.99") << "#FF0000"
                                      << "#FFFFFF"
                                      << "#FFFFFF 3.99:1";
    QTest::newRow("3.095 shows 3.09") << "#2A9D8F"
                                      << "#FFFF00"
                                      << "#FFFF00 3.09:1";
    QTest::newRow("the widest: 21.00") << "#000000"
                                       << "#FFFFFF"
                                       << "#FFFFFF 21.00:1";
    QTest::newRow("the same colour: 1.00") << "#2A9D8F"
                                           << "#2A9D8F"
                                           << "#2A9D8F 1.00:1";
}

void tst_EyeWizard::contrastLabel() {
    QFETCH(QString, eye);
    QFETCH(QString, picked);
    QFETCH(QString, label);
    WindowFixture f;
    QVERIFY(f.start());
    TEyeWizard& wizard = f.w().eyeWizard();
    const QColor eyeColour(eye);
    const QColor pickedColour(picked);
    f.screen->colorAt = [&pickedColour](QPoint) {
        return packColor(pickedColour.red(), pickedColour.green(), pickedColour.blue());
    };
    f.screen->cursor = QPoint(300, 200);
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    // A pick with the eye colour remembered as the row says, and one
    // without: what a screen reader reads of the magnifier, and its label
    // row beneath the cells.
    const auto pick = [&](bool withEye, QString& said) {
        if (withEye && !eye.isEmpty())
            wizard.eyeColor().set(packColor(eyeColour.red(), eyeColour.green(), eyeColour.blue()));
        else
            wizard.eyeColor().clear();
        QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(wand, QPoint(11, 11));
        QWidget* shown = nullptr;
        const auto visible = [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->windowTitle() == QLatin1String("Magnifier") && w->isVisible())
                    return w;
            return static_cast<QWidget*>(nullptr);
        };
        for (int i = 0; i < 100 && !(shown = visible()); ++i)
            QTest::qWait(20);
        QImage row;
        if (shown) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(shown);
            said = read ? read->text(QAccessible::Description) : QString();
            // The same size with the ratio or without.
            if (shown->size() != magnifier::size())
                said = QStringLiteral("resized");
            const QImage drawn = shown->grab().toImage();
            const qreal ratio = drawn.devicePixelRatio();
            const int top = int(133 * ratio);
            row = drawn.copy(0, top, drawn.width(), drawn.height() - top - int(ratio));
            row.setDevicePixelRatio(ratio);
        }
        QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
        return row;
    };
    QString said;
    const QImage row = pick(true, said);
    QVERIFY(!row.isNull());
    QCOMPARE(said, label);
    QCOMPARE(f.text("Label25"), picked);
    QString alone;
    const QImage hexOnly = pick(false, alone);
    QCOMPARE(alone, picked);
    // Its ink inside the frame with a margin either side, as tall as the
    // hex text alone (no smaller font), at every scale; a square of the
    // eye colour where the ratio shows.
    const qreal ratio = row.devicePixelRatio();
    const auto white = [](QRgb c) { return qRed(c) > 0xC0 && qGreen(c) > 0xC0 && qBlue(c) > 0xC0; };
    const QRect ink = inkBounds(row, white);
    QVERIFY2(ink.left() >= 3 * ratio && ink.right() <= row.width() - 1 - 3 * ratio,
             qPrintable(
                 QStringLiteral("%1..%2 of %3").arg(ink.left()).arg(ink.right()).arg(row.width())));
    // The "#" and the first digit, in either.
    const auto leading = [&white, ratio](const QImage& drawn) {
        const QRect all = inkBounds(drawn, white);
        return inkBounds(drawn.copy(all.left(), 0, int(12 * ratio), drawn.height()), white);
    };
    const int tall = leading(row).height();
    QVERIFY2(std::abs(tall - leading(hexOnly).height()) <= 1 && tall >= 8 * ratio - 1,
             qPrintable(QString::number(tall)));
    bool square = false;
    for (int y = 0; y < row.height(); ++y)
        for (int x = 0; x < row.width(); ++x)
            square = square || QColor(row.pixel(x, y)) == eyeColour;
    QCOMPARE(square, !eye.isEmpty());
}

QTEST_MAIN(tst_EyeWizard)
#include "tst_eyewizard.moc"
