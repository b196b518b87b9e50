#include "app/MirabouApplication.h"
#include "app/Mirabou_Contrast.h"
#include "app/Program.h"
#include "color/ColorModel.h"
#include "color/Contrast.h"
#include "controls/ColorBox.h"
#include "controls/FrameCacheStyle.h"
#include "controls/Pictures.h"
#include "controls/Shape.h"
#include "controls/SpeedButton.h"
#include "controls/UpDown.h"
#include "controls/umEdit.h"
#include "eyedropper/EyeWizard.h"
#include "files/IniFile.h"
#include "files/SettingsFile.h"
#include "platform/ErrorReport.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

using namespace testsupport;

namespace {

/// The largest difference of one channel between two 32-bit images of one
/// size, as stored (premultiplied where the format is).
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = reinterpret_cast<const QRgb*>(a.constScanLine(y))[x];
            const QRgb q = reinterpret_cast<const QRgb*>(b.constScanLine(y))[x];
            largest =
                std::max({largest, std::abs(qAlpha(p) - qAlpha(q)), std::abs(qRed(p) - qRed(q)),
                          std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUpState();
    void everyButtonHasItsPicture();
    void typingThenLeaving_data();
    void typingThenLeaving();
    void allComponents_data();
    void allComponents();
    void typingMovesOnlyTheArrows();
    void upDown_data();
    void upDown();
    void namedColorByKeyboard();
    void colorDialog_data();
    void colorDialog();
    void copyAndPaste_data();
    void copyAndPaste();
    void copyThenPasteChangesNothing();
    void framesDrawnOnce();
    void popupMenus();
    void functionKeys();
    void exitCloses();
    void firstRunWritesSettings();
    void settingsSurviveRestart_data();
    void settingsSurviveRestart();
    void unwritableSettingsReported();
    void exceptionInHandlerIsReported();
    void copyAsEveryNotation_data();
    void copyAsEveryNotation();
    void pasteColorOfNoColour();
    void contrastWindowFigures();
    void contrastWindowFollowsPick();
    void contrastWindowOptionsSurviveRestart_data();
    void contrastWindowOptionsSurviveRestart();
    void contrastWindowOnTopWithMain();
};

void tst_MainWindow::startUpState() {
    WindowFixture f;
    QVERIFY(f.start());
    QCOMPARE(f.w().windowTitle(), QStringLiteral("Mirabou 1.8"));
    QCOMPARE(f.w().size(), QSize(439, 176));
    QCOMPARE(f.w().minimumSize(), f.w().maximumSize());
    QVERIFY(!f.w().windowIcon().isNull());
    QCOMPARE(f.w().focusWidget(), f.c<QWidget>("umRed"));
    QCOMPARE(f.w().pos(), QPoint(200, 200));
    for (const char* box : {"umRed", "umGreen", "umBlue", "dcRed", "dcGreen", "dcBlue"})
        QCOMPARE(f.text(box), QStringLiteral("0"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#000000"));
    QCOMPARE(f.text("Label10"), QStringLiteral("0,0,0"));
    QCOMPARE(f.text("Label25"), QStringLiteral("Not Set"));
    QCOMPARE(f.selectedName(), QStringLiteral("Black"));
    QCOMPARE(f.w().color().currentPackedColor(), QStringLiteral("$00000000"));
    QCOMPARE(f.c<QToolButton>("SpeedButton3")->toolTip(), QStringLiteral("Copy HEX Value"));
    QCOMPARE(f.c<QToolButton>("SpeedButton2")->toolTip(), QStringLiteral("Help"));
    QVERIFY(f.c<QToolButton>("SpeedButton3")->autoRaise());
    QVERIFY(!f.c<QToolButton>("SpeedButton10")->isVisible());
    QVERIFY(!f.c<QToolButton>("SpeedButton11")->isVisible());
    QVERIFY(!f.w().isStayOnTop());
    QVERIFY(f.c<QAction>("FlatButtons1")->isChecked());
    QVERIFY(!f.c<QAction>("AlwaysOnTop1")->isChecked());
    const QList<QAction*> languages = f.c<QMenu>("Language1")->actions();
    QCOMPARE(languages.size(), 2);
    QCOMPARE(languages[0]->text(), QStringLiteral("x"));
    QVERIFY(languages[0]->isChecked());
    QVERIFY(!languages[1]->isChecked());
    const QList<QAction*> settingsItems = f.c<QMenu>("PopupMenu1")->actions();
    QCOMPARE(settingsItems[0], f.c<QAction>("AlwaysOnTop1"));
    QCOMPARE(settingsItems[1], f.c<QAction>("FlatButtons1"));
    QCOMPARE(settingsItems[3]->menu(), f.c<QMenu>("Language1"));
    QCOMPARE(settingsItems[4], f.c<QAction>("Magnifier1"));
    QVERIFY(settingsItems[4]->isChecked());
}

void tst_MainWindow::everyButtonHasItsPicture() {
    WindowFixture f;
    QVERIFY(f.start());
    QSet<QByteArray> pictures;
    for (QToolButton* button : f.w().findChildren<QToolButton*>()) {
        if (!button->objectName().startsWith(QLatin1String("SpeedButton")))
            continue;
        // Drawn at 1x and 2x, and not blank.
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = button->icon().pixmap(QSize(24, 24), ratio).toImage();
            QVERIFY2(!image.isNull(), qPrintable(button->objectName()));
            QCOMPARE(image.width(), int(24 * ratio));
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > image.width() * image.height() / 10,
                     qPrintable(button->objectName()));
        }
        const QImage shown = button->icon().pixmap(24).toImage();
        pictures.insert(
            QByteArray(reinterpret_cast<const char*>(shown.constBits()), shown.sizeInBytes()));
    }
    // Twelve buttons, nine different pictures (copy, paste and the wand twice).
    QCOMPARE(pictures.size(), 9);
    // The window icon, carried unpacked, is the picture the desktop's PNG
    // icon of that size holds, channel by channel.
    const QImage window = f.w().windowIcon().pixmap(48).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    const QImage desktop = QImage(QStringLiteral(MIRABOU_DESKTOP_ICONS "/48.png"))
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(window.size(), QSize(48, 48));
    QCOMPARE(desktop.size(), QSize(48, 48));
    const int largest = largestDifference(window, desktop);
    QVERIFY2(largest <= 1, QByteArray::number(largest));
    for (QAction* action : f.w().findChildren<QAction*>()) {
        if (!action->icon().isNull())
            QVERIFY(!action->icon().pixmap(16).isNull());
    }
}

void tst_MainWindow::typingThenLeaving_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("hexBox");
    QTest::addColumn<QString>("decBox");
    QTest::addColumn<QString>("hexText");
    QTest::addColumn<QString>("decText");
    QTest::addColumn<QString>("named");
    QTest::newRow("hex emptied") << "umRed"
                                 << ""
                                 << "00"
                                 << "0"
                                 << "#000000"
                                 << "0,0,0"
                                 << "Black";
    QTest::newRow("hex one digit") << "umRed"
                                   << "a"
                                   << "0a"
                                   << "10"
                                   << "#0a0000"
                                   << "10,0,0"
                                   << "";
    QTest::newRow("hex ff") << "umRed"
                            << "ff"
                            << "ff"
                            << "255"
                            << "#ff0000"
                            << "255,0,0"
                            << "Red";
    QTest::newRow("hex 80 maroon") << "umRed"
                                   << "80"
                                   << "80"
                                   << "128"
                                   << "#800000"
                                   << "128,0,0"
                                   << "Maroon";
    QTest::newRow("dec 7") << "dcRed"
                           << "7"
                           << "7"
                           << "7"
                           << "#070000"
                           << "7,0,0"
                           << "";
    QTest::newRow("dec 0") << "dcRed"
                           << "0"
                           << "00"
                           << "0"
                           << "#000000"
                           << "0,0,0"
                           << "Black";
    QTest::newRow("dec 007") << "dcRed"
                             << "007"
                             << "7"
                             << "007"
                             << "#070000"
                             << "007,0,0"
                             << "";
    QTest::newRow("dec emptied") << "dcRed"
                                 << ""
                                 << "00"
                                 << "0"
                                 << "#000000"
                                 << "0,0,0"
                                 << "Black";
    QTest::newRow("dec 300 refused") << "dcRed"
                                     << "300"
                                     << "1E"
                                     << "30"
                                     << "#1E0000"
                                     << "30,0,0"
                                     << "";
}

void tst_MainWindow::typingThenLeaving() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, hexBox);
    QFETCH(QString, decBox);
    QFETCH(QString, hexText);
    QFETCH(QString, decText);
    QFETCH(QString, named);
    WindowFixture f;
    QVERIFY(f.start());
    f.type(qPrintable(box), keys);
    QCOMPARE(f.text("umRed"), hexBox);
    QCOMPARE(f.text("dcRed"), decBox);
    QCOMPARE(f.text("Label4"), hexText);
    QCOMPARE(f.text("Label10"), decText);
    QCOMPARE(f.selectedName(), named);
    QCOMPARE(f.c<TUpDown>("UpDown1")->Position(), decBox.toInt());
}

void tst_MainWindow::allComponents_data() {
    QTest::addColumn<QStringList>("dec");
    QTest::addColumn<QString>("hexText");
    QTest::addColumn<QString>("packed");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QColor>("swatch");
    QTest::newRow("white") << QStringList{"255", "255", "255"} << "#FFFFFF"
                           << "$00FFFFFF"
                           << "White" << QColor(Qt::white);
    QTest::newRow("light blue") << QStringList{"0", "128", "255"} << "#0080FF"
                                << "$00FF8000"
                                << "" << QColor(0, 128, 255);
    QTest::newRow("red") << QStringList{"255", "0", "0"} << "#FF0000"
                         << "$000000FF"
                         << "Red" << QColor(Qt::red);
    QTest::newRow("red blue 1") << QStringList{"255", "0", "1"} << "#FF0001"
                                << "$000100FF"
                                << "" << QColor(255, 0, 1);
    QTest::newRow("sky blue") << QStringList{"166", "202", "240"} << "#A6CAF0"
                              << "$00F0CAA6"
                              << "Sky Blue" << QColor(166, 202, 240);
}

void tst_MainWindow::allComponents() {
    QFETCH(QStringList, dec);
    QFETCH(QString, hexText);
    QFETCH(QString, packed);
    QFETCH(QString, named);
    QFETCH(QColor, swatch);
    WindowFixture f;
    QVERIFY(f.start());
    f.type("dcRed", dec[0]);
    f.type("dcGreen", dec[1]);
    f.type("dcBlue", dec[2]);
    QCOMPARE(f.text("Label4"), hexText);
    QCOMPARE(f.text("Label10"), dec.join(QLatin1Char(',')));
    QCOMPARE(f.w().color().currentPackedColor(), packed);
    QCOMPARE(f.selectedName(), named);
    QCOMPARE(f.c<TShape>("Shape4")->brushColor(), swatch);
}

void tst_MainWindow::typingMovesOnlyTheArrows() {
    WindowFixture f;
    QVERIFY(f.start());
    f.type("umGreen", "40", false);
    QCOMPARE(f.c<TUpDown>("UpDown2")->Position(), 64);
    QCOMPARE(f.text("dcGreen"), QStringLiteral("0"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#000000"));
    // A tool button does not take the focus: the copy sees the old colour.
    f.clickButton("SpeedButton3");
    QCOMPARE(clipboardText(), QStringLiteral("#000000"));
}

void tst_MainWindow::upDown_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<QString>("updown");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("decBox");
    QTest::addColumn<QString>("hexBox");
    QTest::addColumn<QString>("hexText");
    QTest::newRow("typed 80 then up") << "umRed"
                                      << "80" << false << "UpDown1" << true << "dcRed"
                                      << "umRed"
                                      << "#810000";
    QTest::newRow("255 up stays") << "dcRed"
                                  << "255" << true << "UpDown1" << true << "dcRed"
                                  << "umRed"
                                  << "#FF0000";
    QTest::newRow("0 down stays") << "dcRed"
                                  << "0" << true << "UpDown1" << false << "dcRed"
                                  << "umRed"
                                  << "#000000";
    QTest::newRow("blue 15 up") << "dcBlue"
                                << "15" << true << "UpDown3" << true << "dcBlue"
                                << "umBlue"
                                << "#000010";
    QTest::newRow("green 1 down") << "dcGreen"
                                  << "1" << true << "UpDown2" << false << "dcGreen"
                                  << "umGreen"
                                  << "#000000";
}

void tst_MainWindow::upDown() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(bool, tab);
    QFETCH(QString, updown);
    QFETCH(bool, up);
    QFETCH(QString, decBox);
    QFETCH(QString, hexBox);
    QFETCH(QString, hexText);
    WindowFixture f;
    QVERIFY(f.start());
    f.type(qPrintable(box), keys, tab);
    auto* arrows = f.c<TUpDown>(qPrintable(updown));
    QSignalSpy clicks(arrows, &TUpDown::clicked);
    const int before = arrows->Position();
    f.clickArrow(qPrintable(updown), up);
    const int expected = qBound(0, before + (up ? 1 : -1), 255);
    QCOMPARE(clicks.count(), expected == before ? 0 : 1);
    QCOMPARE(f.text(qPrintable(decBox)), QString::number(expected));
    QCOMPARE(f.text(qPrintable(hexBox)).toUpper(),
             expected == 0 ? QStringLiteral("00") : QString::number(expected, 16).toUpper());
    QCOMPARE(f.text("Label4"), hexText);
}

void tst_MainWindow::namedColorByKeyboard() {
    WindowFixture f;
    QVERIFY(f.start());
    auto* box = f.c<TColorBox>("ColorBox1");
    box->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 4; ++i) // Black, Maroon, Green, Olive, Navy
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(f.selectedName(), QStringLiteral("Navy"));
    QCOMPARE(f.text("umRed"), QStringLiteral("00"));
    QCOMPARE(f.text("umGreen"), QStringLiteral("00"));
    QCOMPARE(f.text("umBlue"), QStringLiteral("80"));
    QCOMPARE(f.text("Label4"), QStringLiteral("#000080"));
    QCOMPARE(f.text("Label10"), QStringLiteral("0,0,128"));

    // A colour with no entry clears the selection; picking Yellow keeps it.
    f.type("dcBlue", "129");
    QCOMPARE(box->currentIndex(), -1);
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < 11; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(f.selectedName(), QStringLiteral("Yellow"));
    QCOMPARE(f.text("Label10"), QStringLiteral("255,255,0"));
}

void tst_MainWindow::colorDialog_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("hexText");
    QTest::addColumn<QString>("umRed");
    QTest::newRow("cancel restores, right button") << false << int(Qt::RightButton) << "#070000"
                                                   << "07";
    QTest::newRow("confirm applies") << true << int(Qt::LeftButton) << "#102030"
                                     << "10";
}

void tst_MainWindow::colorDialog() {
    QFETCH(bool, accept);
    QFETCH(int, button);
    QFETCH(QString, hexText);
    QFETCH(QString, umRed);
    WindowFixture f;
    QVERIFY(f.start());
    f.type("dcRed", "7");
    QCOMPARE(f.text("umRed"), QStringLiteral("7"));
    f.type("dcGreen", "99", false); // typed, not yet applied
    QColor initial;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        initial = dialog->currentColor();
        if (accept) {
            dialog->setCurrentColor(QColor(0x10, 0x20, 0x30));
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    QTest::mouseClick(f.c<TShape>("Shape4"), Qt::MouseButton(button));
    QCOMPARE(initial, QColor(7, 0, 0));
    QCOMPARE(f.text("Label4"), hexText);
    QCOMPARE(f.text("umRed"), umRed);
    QCOMPARE(f.text("dcGreen"), accept ? QStringLiteral("32") : QStringLiteral("0"));
}

void tst_MainWindow::copyAndPaste_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("hexText"); // empty: nothing changes
    QTest::addColumn<QString>("decText");
    QTest::newRow("hex lower") << "SpeedButton5"
                               << "#ff8000"
                               << "#ff8000"
                               << "255,128,0";
    QTest::newRow("hex dollar") << "SpeedButton5"
                                << "$123456"
                                << "#123456"
                                << "18,52,86";
    QTest::newRow("hex short") << "SpeedButton5"
                               << "#FF800"
                               << ""
                               << "";
    QTest::newRow("hex long") << "SpeedButton5"
                              << "#FF80000"
                              << ""
                              << "";
    QTest::newRow("hex line end") << "SpeedButton5"
                                  << "#FF8000\n"
                                  << ""
                                  << "";
    QTest::newRow("hex GG") << "SpeedButton5"
                            << "#GG0000"
                            << ""
                            << "";
    QTest::newRow("dec orange") << "SpeedButton6"
                                << "255,128,0"
                                << "#FF8000"
                                << "255,128,0";
    QTest::newRow("dec zeros") << "SpeedButton6"
                               << "007,0,0"
                               << "#070000"
                               << "7,0,0";
    QTest::newRow("dec black") << "SpeedButton6"
                               << "0,0,0"
                               << "#000000"
                               << "0,0,0";
    QTest::newRow("dec blanks") << "SpeedButton6"
                                << "255, 128, 0"
                                << ""
                                << "";
    QTest::newRow("dec line end") << "SpeedButton6"
                                  << "255,128,0\n"
                                  << ""
                                  << "";
    QTest::newRow("dec two") << "SpeedButton6"
                             << "255,128"
                             << ""
                             << "";
    QTest::newRow("dec four") << "SpeedButton6"
                              << "255,128,0,0"
                              << ""
                              << "";
    QTest::newRow("dec empty field") << "SpeedButton6"
                                     << "1,,3"
                                     << ""
                                     << "";
    QTest::newRow("dec empty") << "SpeedButton6"
                               << ""
                               << ""
                               << "";
    QTest::newRow("dec above 255") << "SpeedButton6"
                                   << "300,0,0"
                                   << ""
                                   << "";
    QTest::newRow("dec megabytes") << "SpeedButton6" << QString(3 << 20, QLatin1Char('9')) << ""
                                   << "";
}

void tst_MainWindow::copyAndPaste() {
    QFETCH(QString, button);
    QFETCH(QString, clip);
    QFETCH(QString, hexText);
    QFETCH(QString, decText);
    WindowFixture f;
    QVERIFY(f.start());
    f.type("dcGreen", "200");
    QGuiApplication::clipboard()->setText(clip);
    f.clickButton(qPrintable(button));
    QCOMPARE(f.text("Label4"), hexText.isEmpty() ? QStringLiteral("#00C800") : hexText);
    QCOMPARE(f.text("Label10"), decText.isEmpty() ? QStringLiteral("0,200,0") : decText);
    if (hexText.isEmpty())
        QCOMPARE(f.text("umGreen"), QStringLiteral("C8"));
}

void tst_MainWindow::copyThenPasteChangesNothing() {
    WindowFixture f;
    QVERIFY(f.start());
    f.type("dcBlue", "7");
    f.type("umRed", "fF");
    const QString hex = f.text("Label4");
    const QString dec = f.text("Label10");
    f.clickButton("SpeedButton3");
    QCOMPARE(clipboardText(), QStringLiteral("#fF0007"));
    f.clickButton("SpeedButton5");
    QCOMPARE(f.text("Label4"), hex);
    f.clickButton("SpeedButton4");
    QCOMPARE(clipboardText(), QStringLiteral("255,0,7"));
    f.clickButton("SpeedButton6");
    QCOMPARE(f.text("Label10"), dec);
}

void tst_MainWindow::framesDrawnOnce() {
    WindowFixture f;
    QVERIFY(f.start());
    auto* style = qobject_cast<TFrameCacheStyle*>(f.c<QGroupBox>("GroupBox1")->style());
    QVERIFY(style);
    // The views are made to cover what is beneath them at the first pick.
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(10, 10));
    f.c<TumNumberEdit>("dcGreen")->setFocus(); // a focused frame looks different
    // Two boxes of one group: the group's frame is copied piece by piece.
    const QRegion area =
        QRegion(f.c<QWidget>("umRed")->geometry().translated(f.c<QWidget>("GroupBox1")->pos())) +
        QRegion(f.c<QWidget>("dcGreen")->geometry().translated(f.c<QWidget>("GroupBox1")->pos()));
    const auto render = [&f](const QRegion& region) {
        QImage image(f.w().size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        f.w().render(&image, QPoint(), region);
        return image;
    };
    render(QRegion(f.w().rect()));
    const int drawn = style->framesDrawn();
    QVERIFY(drawn > 0);
    // The named-colour box shows no entry for any colour after the first
    // two: it is not drawn again, as nothing on it changed. Nor is anything
    // beneath the views that change: they cover it.
    struct : QObject {
        bool counting = false;
        QHash<QString, int> paints;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (counting && e->type() == QEvent::Paint)
                ++paints[o->objectName()];
            return false;
        }
    } notDrawn;
    for (const char* name : {"ColorBox1", "GroupBox1", "GroupBox2", "Label11", "Label12"})
        f.c<QWidget>(name)->installEventFilter(&notDrawn);
    f.w().installEventFilter(&notDrawn);
    for (int i = 0; i < 20; ++i) { // every view repaints with a new colour
        f.c<TumNumberEdit>("umRed")->setText(hexPair(i * 12));
        f.w().ChangeOne();
        notDrawn.counting = i >= 2;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        notDrawn.counting = false;
        render(QRegion(f.w().rect()));
    }
    QCOMPARE(style->framesDrawn(), drawn);
    QCOMPARE(notDrawn.paints, (QHash<QString, int>{}));
    // What the views cover is taken anew with a new palette (a desktop
    // switching its theme).
    QPalette palette = f.w().palette();
    palette.setColor(QPalette::Window, QColor(170, 200, 230));
    f.w().setPalette(palette);
    QCoreApplication::processEvents();
    const QImage whole = render(QRegion(f.w().rect()));
    const QImage pieces = render(area);

    // They look as the style draws them over what is beneath, to within
    // rounding.
    for (QWidget* w : f.w().findChildren<QWidget*>()) {
        if (w->style() == style)
            w->setStyle(QApplication::style());
        w->setAttribute(Qt::WA_OpaquePaintEvent, false);
        w->setAutoFillBackground(false);
    }
    QVERIFY(largestDifference(whole, render(QRegion(f.w().rect()))) <= 1);
    QVERIFY(largestDifference(pieces, render(area)) <= 1);
}

void tst_MainWindow::popupMenus() {
    WindowFixture f;
    QVERIFY(f.start());
    const struct {
        const char* button;
        const char* menu;
        Qt::MouseButton mouse;
    } cases[] = {{"SpeedButton9", "PopupMenu1", Qt::LeftButton},
                 {"SpeedButton9", "PopupMenu1", Qt::RightButton},
                 {"SpeedButton7", "PopupMenu2", Qt::LeftButton},
                 {"SpeedButton12", "PopupMenu3", Qt::RightButton}};
    for (const auto& c : cases) {
        auto* button = f.c<QToolButton>(c.button);
        auto* menu = f.c<QMenu>(c.menu);
        QCursor::setPos(button->mapToGlobal(QPoint(7, 9)));
        const QPoint at = QCursor::pos();
        QTest::mouseClick(button, c.mouse, {}, QPoint(7, 9));
        if (c.mouse == Qt::RightButton) {
            // The context menu request arrives with the press on some platforms.
            QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(7, 9),
                                 button->mapToGlobal(QPoint(7, 9)));
            if (!menu->isVisible())
                QCoreApplication::sendEvent(button, &ev);
        }
        QTRY_VERIFY2(menu->isVisible(), c.menu);
        QCOMPARE(menu->pos(), at);
        menu->close();
    }
}

void tst_MainWindow::functionKeys() {
    WindowFixture f;
    QVERIFY(f.start());
    f.screen->colorAt = [](QPoint) { return packColor(1, 2, 3); };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
    f.w().move(321, 123);
    const QPoint where = f.w().pos();

    QTest::keyClick(f.w().windowHandle(), Qt::Key_F10);
    QTRY_VERIFY(f.w().isVisible());
    QVERIFY(f.w().isStayOnTop());
    QVERIFY(f.c<QAction>("AlwaysOnTop1")->isChecked());
    // Showing again neither re-applies the language nor moves the window.
    QCOMPARE(f.text("Label25"), QStringLiteral("#010203"));
    QCOMPARE(f.w().pos(), where);
    QVERIFY(showActive(&f.w()));
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F10);
    QTRY_VERIFY(f.w().isVisible());
    QVERIFY(!f.w().isStayOnTop());
    QVERIFY(!f.c<QAction>("AlwaysOnTop1")->isChecked());
    QVERIFY(showActive(&f.w()));

    auto* copy = f.c<QToolButton>("SpeedButton3");
    QVERIFY(copy->autoRaise());
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F11);
    QVERIFY(!f.c<QAction>("FlatButtons1")->isChecked());
    for (QToolButton* b :
         f.w().findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^SpeedButton\\d+$"))))
        QVERIFY(!b->autoRaise());
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F11);
    QVERIFY(copy->autoRaise());
}

void tst_MainWindow::exitCloses() {
    WindowFixture f;
    QVERIFY(f.start());
    f.clickButton("SpeedButton8");
    QTRY_VERIFY(!f.w().isVisible());
}

void tst_MainWindow::firstRunWritesSettings() {
    WindowFixture f;
    QVERIFY(f.start());
    f.stop();
    QCOMPARE(
        readFile(f.settingsPath()),
        QByteArray(
            "[settings]\nontop=0\nflat=1\nposx=200\nposy=200\nlanguage=lang001\n"
            "magnifier=1\ncopyas=hex\nsample=1\ncontrastx=660\ncontrasty=200\ncontrastswap=0\n"));
}

void tst_MainWindow::settingsSurviveRestart_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("magnifier");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("on top, raised, hex position")
        << QByteArray("[settings]\nontop=2\nflat=0\nposx=0x10\nposy=$20\n") << true << false
        << QPoint(16, 32) << true
        << QByteArray(
               "[settings]\nontop=1\nflat=0\nposx=16\nposy=32\nlanguage=lang001\n"
               "magnifier=1\ncopyas=hex\nsample=1\ncontrastx=660\ncontrasty=200\ncontrastswap=0\n");
    QTest::newRow("yes, empty, blanks, abc")
        << QByteArray("; mine\n[SETTINGS]\nOnTop=yes\nflat=\nPosX= 150 \nposy=abc\n[other]\nk=v\n")
        << false << true << QPoint(150, 200) << true
        << QByteArray("; mine\n[SETTINGS]\nOnTop=0\nflat=1\nPosX=150\nposy=200\n"
                      "language=lang001\nmagnifier=1\ncopyas=hex\nsample=1\ncontrastx="
                      "660\ncontrasty=200\ncontrastswap=0\n[other]\nk=v\n");
    QTest::newRow("magnifier off")
        << QByteArray("[settings]\nmagnifier=0\n") << false << true << QPoint(200, 200) << false
        << QByteArray("[settings]\nmagnifier=0\nontop=0\nflat=1\nposx=200\nposy=200\n"
                      "language=lang001\ncopyas=hex\nsample=1\ncontrastx=660\ncontrasty="
                      "200\ncontrastswap=0\n");
}

void tst_MainWindow::settingsSurviveRestart() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, onTop);
    QFETCH(bool, flat);
    QFETCH(QPoint, pos);
    QFETCH(bool, magnifier);
    QFETCH(QByteArray, written);
    WindowFixture f;
    QVERIFY(f.start(settings));
    QCOMPARE(f.c<QAction>("Magnifier1")->isChecked(), magnifier);
    QCOMPARE(f.w().eyeWizard().magnifierOn(), magnifier);
    QCOMPARE(f.w().isStayOnTop(), onTop);
    QCOMPARE(f.c<QAction>("AlwaysOnTop1")->isChecked(), onTop);
    QCOMPARE(f.c<QToolButton>("SpeedButton8")->autoRaise(), flat);
    QCOMPARE(f.c<QAction>("FlatButtons1")->isChecked(), flat);
    QCOMPARE(f.w().pos(), pos);
    f.stop();
    QCOMPARE(readFile(f.settingsPath()), written);
}

void tst_MainWindow::unwritableSettingsReported() {
    WindowFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("settings.ini")));
    QStringList reports;
    const auto previous = platform::setErrorReporter([&](const QString& t) { reports << t; });
    QVERIFY(f.start());
    f.stop();
    platform::setErrorReporter(previous);
    QCOMPARE(reports, QStringList{QStringLiteral("Unable to write to ") + f.settingsPath() + "."});
}

namespace {

class Throwing : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("Boom"); }
};

} // namespace

void tst_MainWindow::exceptionInHandlerIsReported() {
    // The real message box, answered as a user would.
    Throwing widget;
    QVERIFY(showActive(&widget));
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->windowTitle() + QLatin1Char('|') + box->text();
        QCOMPARE(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("Mirabou|Boom."));
    // The program goes on: the next event is handled as usual.
    QTest::keyClick(&widget, Qt::Key_A);
    QVERIFY(widget.isVisible());
}

namespace {

/// A colour of the reference table (tests/reference/notations.tsv, written
/// by colorjs.io) in a notation.
QString referenceText(const QString& label, const QString& notation) {
    QFile file(QStringLiteral(MIRABOU_REFERENCE "/notations.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("no reference table");
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QList<QByteArray> names = lines.value(0).split('\t');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        if (QString::fromUtf8(fields.value(0)) == label)
            return QString::fromUtf8(fields.value(names.indexOf(notation.toUtf8())));
    }
    return QStringLiteral("no %1 in the reference table").arg(label);
}

} // namespace

void tst_MainWindow::copyAsEveryNotation_data() {
    QTest::addColumn<QString>("notation");
    QTest::addColumn<QString>("current"); // orange (#FF8000) in it
    QTest::addColumn<QString>("other");   // dark blue in it
    for (const char* name : {"hex", "dec", "hsl", "oklch", "xyz", "name", "vec4"})
        QTest::newRow(name) << name << referenceText(QStringLiteral("orange"), QLatin1String(name))
                            << referenceText(QStringLiteral("dark blue"), QLatin1String(name));
    // One of the user's own, writing the fractions vec4 writes.
    const auto swift = [](const QString& vec4) {
        const QStringList f = vec4.mid(5).split(QStringLiteral(", "));
        return QStringLiteral("Color(red: %1, green: %2, blue: %3)").arg(f[0], f[1], f[2]);
    };
    QTest::newRow("the user's own")
        << "swift" << swift(referenceText(QStringLiteral("orange"), QStringLiteral("vec4")))
        << swift(referenceText(QStringLiteral("dark blue"), QStringLiteral("vec4")));
}

void tst_MainWindow::copyAsEveryNotation() {
    QFETCH(QString, notation);
    QFETCH(QString, current);
    QFETCH(QString, other);
    const QString otherHex = referenceText(QStringLiteral("dark blue"), QStringLiteral("hex"));
    const auto pairs = [](const QString& hex) {
        return ComponentTexts{hex.mid(1, 2), hex.mid(3, 2), hex.mid(5, 2)};
    };
    WindowFixture f;
    QVERIFY(f.start("[formats]\nswift=Color(red: %Rf, green: %Gf, blue: %Bf)\n"));
    f.w().color().applyHex(pairs(QStringLiteral("#FF8000")));
    // Each item shows the colour as it is when the menu opens, and copies it.
    emit f.w().CopyAs1->aboutToShow();
    auto* item = f.w().CopyAs1->findChild<QAction*>(QStringLiteral("CopyAs_") + notation);
    QVERIFY(item);
    QCOMPARE(item->text(), QString(current).replace(QLatin1Char('&'), QStringLiteral("&&")));
    QVERIFY(item->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    item->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), current);
    // The notation used last is copied again by its key, for another colour.
    f.w().color().applyHex(pairs(otherHex));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    f.w().CopyAgain1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), other);
    // The eye colour's items: nothing to copy until one is remembered.
    emit f.w().CopyEyeColorHexValue1->aboutToShow();
    auto* eyeItem =
        f.w().CopyEyeColorHexValue1->findChild<QAction*>(QStringLiteral("EyeCopyAs_") + notation);
    QVERIFY(eyeItem);
    QVERIFY(!eyeItem->isEnabled());
    f.w().eyeWizard().eyeColor().set(packColor(otherHex.mid(1, 2).toInt(nullptr, 16),
                                               otherHex.mid(3, 2).toInt(nullptr, 16),
                                               otherHex.mid(5, 2).toInt(nullptr, 16)));
    f.w().color().applyHex(pairs(QStringLiteral("#000000")));
    emit f.w().CopyEyeColorHexValue1->aboutToShow();
    QVERIFY(eyeItem->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    eyeItem->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), other);
    // Kept for the next start.
    f.stop();
    QVERIFY(readFile(f.settingsPath()).contains("copyas=" + notation.toLatin1() + "\n"));
}

void tst_MainWindow::pasteColorOfNoColour() {
    WindowFixture f;
    QVERIFY(f.start());
    QVERIFY(showActive(&f.w()));
    f.w().color().applyHex({QStringLiteral("0C"), QStringLiteral("0D"), QStringLiteral("0E")});
    for (const QString& text : {QStringLiteral("no colour"), QString(50 << 20, QLatin1Char('7'))}) {
        QGuiApplication::clipboard()->setText(text);
        QToolTip::hideText();
        f.w().PasteColor1->trigger();
        QCOMPARE(f.text("Label4"), QStringLiteral("#0C0D0E"));
        // Said beside the hex text, not in a box to be closed.
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("The clipboard holds no color."));
        QVERIFY(!QApplication::activeModalWidget());
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("  RebeccaPurple "));
    f.w().PasteColor1->trigger();
    QCOMPARE(f.text("Label4"), QStringLiteral("#663399"));
    QCOMPARE(f.text("umRed"), QStringLiteral("66"));
}

namespace {

/// The texts the Contrast window shows, by the names of their labels.
QString contrastText(const WindowFixture& f, const char* label) {
    return child<QLabel>(&f.program->form5, label)->text();
}

QStringList levelTexts(const WindowFixture& f) {
    QStringList texts;
    for (int n = 1; n <= 5; ++n)
        texts << contrastText(f, qPrintable(QStringLiteral("LevelValue%1").arg(n)));
    return texts;
}

/// Opens the Contrast window by its key, as a user would.
bool openContrast(const WindowFixture& f) {
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F9);
    return QTest::qWaitForWindowExposed(&f.program->form5);
}

} // namespace

void tst_MainWindow::contrastWindowFigures() {
    WindowFixture f;
    QVERIFY(f.start());
    TForm5& contrast = f.program->form5;
    QVERIFY(!contrast.isVisible());
    // Its item in the About popup, with its key.
    const QList<QAction*> items = f.c<QMenu>("PopupMenu3")->actions();
    QVERIFY(items.contains(f.c<QAction>("Contrast1")));
    QCOMPARE(f.c<QAction>("Contrast1")->shortcut(), QKeySequence(Qt::Key_F9));
    QVERIFY(openContrast(f));
    QCOMPARE(contrast.windowTitle(), QStringLiteral("Contrast"));
    QVERIFY(!contrast.isModal());
    QVERIFY(contrast.isWindow());
    // No eye colour: black text on white, and the window says so.
    QVERIFY(child<QLabel>(&contrast, "NoteLabel")->isVisible());
    QCOMPARE(contrastText(f, "PairLabel"), QStringLiteral("Text #000000 on background #FFFFFF"));
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("21.00:1"));
    QCOMPARE(contrastText(f, "LcValue"), QStringLiteral("106.0"));

    // The reference pair: #888888 on white (APCA-W3 gives Lc 63.056).
    f.w().eyeWizard().eyeColor().set(packColor(0xFF, 0xFF, 0xFF));
    f.w().color().applyHex({QStringLiteral("88"), QStringLiteral("88"), QStringLiteral("88")});
    QVERIFY(!child<QLabel>(&contrast, "NoteLabel")->isVisible());
    QCOMPARE(contrastText(f, "PairLabel"), QStringLiteral("Text #888888 on background #FFFFFF"));
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("3.54:1"));
    QCOMPARE(levelTexts(f), (QStringList{"Fail", "Pass", "Fail", "Fail", "Pass"}));
    QCOMPARE(contrastText(f, "LcValue"), QStringLiteral("63.1"));
    // Greys look the same to everyone.
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(contrastText(f, qPrintable(QStringLiteral("SimValue%1").arg(n))),
                 QStringLiteral("3.54:1"));
    // Screen readers: each figure named by its caption.
    auto* ratio = child<QLabel>(&contrast, "RatioValue");
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(ratio);
    QVERIFY(read);
    QCOMPARE(read->text(QAccessible::Name), QStringLiteral("3.54:1"));
    const auto labelledBy = read->relations(QAccessible::Label);
    QCOMPARE(labelledBy.size(), 1);
    QCOMPARE(labelledBy[0].first->text(QAccessible::Name),
             QStringLiteral("WCAG 2 contrast ratio: "));
    QCOMPARE(child<QLabel>(&contrast, "LevelValue1")->accessibleDescription(),
             QStringLiteral("\u2265 4.5:1"));

    // Swap, by its button's key: white text on #888888.
    QVERIFY(QTest::qWaitForWindowActive(&contrast));
    QTest::keyClick(contrast.windowHandle(), Qt::Key_X);
    QVERIFY(contrast.isSwapped());
    QCOMPARE(contrastText(f, "PairLabel"), QStringLiteral("Text #FFFFFF on background #888888"));
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("3.54:1"));
    QCOMPARE(contrastText(f, "LcValue"), QStringLiteral("-68.5"));
    QTest::mouseClick(child<QPushButton>(&contrast, "SwapButton"), Qt::LeftButton);
    QVERIFY(!contrast.isSwapped());
    QCOMPARE(contrastText(f, "LcValue"), QStringLiteral("63.1"));

    // A colour of hue: the simulations differ from the pair.
    f.w().color().applyHex({QStringLiteral("FF"), QStringLiteral("00"), QStringLiteral("00")});
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("3.99:1"));
    QVERIFY(contrastText(f, "SimValue1") != contrastText(f, "SimValue3"));
    QCOMPARE(contrastText(f, "SimValue4"),
             contrast::ratioText(contrast::contrastRatio(
                 contrast::simulate(packColor(0xFF, 0, 0), contrast::Deficiency::Achromatopsia),
                 0xFFFFFF)) +
                 QStringLiteral(":1"));

    // Escape closes it; F9 opens it again where it was.
    const QPoint where = contrast.pos();
    QTest::keyClick(contrast.windowHandle(), Qt::Key_Escape);
    QVERIFY(!contrast.isVisible());
    QVERIFY(f.w().isVisible());
    QVERIFY(showActive(&f.w()));
    QVERIFY(openContrast(f));
    QCOMPARE(contrast.pos(), where);
}

void tst_MainWindow::contrastWindowFollowsPick() {
    WindowFixture f;
    QVERIFY(f.start());
    f.w().eyeWizard().eyeColor().set(packColor(0xFF, 0xFF, 0xFF));
    QVERIFY(openContrast(f));
    QVERIFY(showActive(&f.w()));
    QPoint pointer;
    f.screen->colorAt = [&pointer](QPoint) {
        return pointer.x() < 50 ? packColor(0x76, 0x76, 0x76) : packColor(0x77, 0x77, 0x77);
    };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    // During the pick the background is the eye colour the press put aside.
    pointer = QPoint(10, 10);
    f.screen->cursor = pointer;
    QTest::mouseMove(wand, QPoint(11, 11));
    QTRY_COMPARE(contrastText(f, "PairLabel"),
                 QStringLiteral("Text #767676 on background #FFFFFF"));
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("4.54:1"));
    QCOMPARE(levelTexts(f)[0], QStringLiteral("Pass"));
    QVERIFY(!child<QLabel>(&f.program->form5, "NoteLabel")->isVisible());
    pointer = QPoint(60, 10);
    f.screen->cursor = pointer;
    QTest::mouseMove(wand, QPoint(12, 12));
    QTRY_COMPARE(contrastText(f, "RatioValue"), QStringLiteral("4.47:1"));
    QCOMPARE(levelTexts(f)[0], QStringLiteral("Fail"));
    // Released, the pick is the eye colour: the pair is one colour.
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(12, 12));
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("1.00:1"));
    QCOMPARE(contrastText(f, "LcValue"), QStringLiteral("0.0"));
    // Cleared, white stands in for it.
    f.trigger("ClearEyeColor1");
    QVERIFY(child<QLabel>(&f.program->form5, "NoteLabel")->isVisible());
    QCOMPARE(contrastText(f, "RatioValue"), QStringLiteral("4.47:1"));
}

void tst_MainWindow::contrastWindowOptionsSurviveRestart_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("onScreen"); // the stored position is on the screen
    QTest::newRow("default") << QByteArray() << true;
    QTest::newRow("stored") << QByteArray("[settings]\ncontrastx=40\ncontrasty=50\n") << true;
    QTest::newRow("off every screen")
        << QByteArray("[settings]\ncontrastx=-30000\ncontrasty=90000\n") << false;
    QTest::newRow("swapped, damaged position")
        << QByteArray("[settings]\ncontrastx=abc\ncontrastswap=1\n") << true;
}

void tst_MainWindow::contrastWindowOptionsSurviveRestart() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, onScreen);
    WindowFixture f;
    QVERIFY(f.start(settings));
    const files::IniFile stored(f.settingsPath());
    const QPoint kept(settings::readInteger(stored, settings::ContrastX),
                      settings::readInteger(stored, settings::ContrastY));
    TForm5& contrast = f.program->form5;
    QCOMPARE(contrast.isSwapped(), settings.contains("contrastswap=1"));
    QVERIFY(openContrast(f));
    const QRect screen = contrast.screen()->availableGeometry();
    if (onScreen)
        QCOMPARE(contrast.pos(), kept);
    else
        QVERIFY2(screen.contains(contrast.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(contrast.x()).arg(contrast.y())));
    // Moved and swapped, both are kept for the next start.
    contrast.move(screen.topLeft() + QPoint(123, 45));
    const QPoint moved = contrast.pos();
    contrast.swap();
    const bool swapped = contrast.isSwapped();
    f.stop();
    const files::IniFile written(f.settingsPath());
    QCOMPARE(settings::readInteger(written, settings::ContrastX), moved.x());
    QCOMPARE(settings::readInteger(written, settings::ContrastY), moved.y());
    QCOMPARE(settings::readBool(written, settings::ContrastSwap), swapped);
    WindowFixture again;
    QVERIFY(again.start(readFile(f.settingsPath())));
    QCOMPARE(again.program->form5.isSwapped(), swapped);
    QVERIFY(openContrast(again));
    QCOMPARE(again.program->form5.pos(), moved);
}

void tst_MainWindow::contrastWindowOnTopWithMain() {
    WindowFixture f;
    QVERIFY(f.start("[settings]\nontop=1\n"));
    TForm5& contrast = f.program->form5;
    QVERIFY(contrast.isStayOnTop());
    QVERIFY(openContrast(f));
    const QPoint where = contrast.pos();
    QVERIFY(showActive(&f.w()));
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F10);
    QTRY_VERIFY(f.w().isVisible());
    QVERIFY(!f.w().isStayOnTop());
    QVERIFY(!contrast.isStayOnTop());
    QTRY_VERIFY(contrast.isVisible());
    QCOMPARE(contrast.pos(), where);
    QVERIFY(showActive(&f.w()));
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F10);
    QTRY_VERIFY(contrast.isStayOnTop());
    QTRY_VERIFY(contrast.isVisible());
}

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirabou"));
    tst_MainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
