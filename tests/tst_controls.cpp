#include "color/NamedColors.h"
#include "controls/BoxPictures.h"
#include "controls/ColorBox.h"
#include "controls/FrameCacheStyle.h"
#include "controls/LabelPictures.h"
#include "controls/Pictures.h"
#include "controls/Shape.h"
#include "controls/SwatchGrid.h"
#include "controls/umEdit.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

class tst_Controls : public QObject {
    Q_OBJECT
private slots:
    void typing_data();
    void typing();
    void refusalRestoresCaret();
    void editingKeysWork();
    void emptyTextIsZero();
    void setValue_data();
    void setValue();
    void lowerMaxValue();
    void paste_data();
    void paste();
    void alignmentFollowsFocus();
    void disabledColour();
    void entryFrame_data();
    void entryFrame();
    void unpackedPictures_data();
    void unpackedPictures();
    void colourDropped_data();
    void colourDropped();
    void swatchDraggedOut();
    void swatchFrame_data();
    void swatchFrame();
    void boxPictures_data();
    void boxPictures();
    void labelPictures_data();
    void labelPictures();
};

namespace {

struct Box {
    TumNumberEdit edit;
    Box(TumNumberEditKind kind, int max, int maxLength) {
        edit.setKind(kind);
        edit.setMaxValue(max);
        edit.setMaxLength(maxLength);
        edit.setText(QString());
    }
};

} // namespace

void tst_Controls::typing_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("dec 256 refused") << int(neDec) << 255 << 3 << "256"
                                     << "25" << 25;
    QTest::newRow("dec 300 refused") << int(neDec) << 255 << 3 << "300"
                                     << "30" << 30;
    QTest::newRow("dec 007 kept") << int(neDec) << 255 << 3 << "007"
                                  << "007" << 7;
    QTest::newRow("dec 255") << int(neDec) << 255 << 3 << "255"
                             << "255" << 255;
    QTest::newRow("dec letters dropped") << int(neDec) << 255 << 3 << "1a2"
                                         << "12" << 12;
    QTest::newRow("hex ff") << int(neHex) << 0 << 2 << "ff"
                            << "ff" << 255;
    QTest::newRow("hex FF") << int(neHex) << 0 << 2 << "FF"
                            << "FF" << 255;
    QTest::newRow("hex g - blank") << int(neHex) << 0 << 2 << "g- "
                                   << "" << 0;
    QTest::newRow("hex maxLength") << int(neHex) << 0 << 2 << "abc"
                                   << "ab" << 171;
    QTest::newRow("hex with max FF") << int(neHex) << 255 << 3 << "100"
                                     << "10" << 16;
    QTest::newRow("bin") << int(neBin) << 0 << 8 << "1021"
                         << "101" << 5;
    QTest::newRow("bin max 11111111") << int(neBin) << 255 << 9 << "111111111"
                                      << "11111111" << 255;
}

void tst_Controls::typing() {
    QFETCH(int, kind);
    QFETCH(int, max);
    QFETCH(int, maxLength);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, value);
    Box box(TumNumberEditKind(kind), max, maxLength);
    QTest::keyClicks(&box.edit, keys);
    QCOMPARE(box.edit.text(), text);
    QCOMPARE(box.edit.Value(), value);
    QCOMPARE(box.edit.cursorPosition(), text.size());
}

void tst_Controls::refusalRestoresCaret() {
    Box box(neDec, 255, 3);
    QTest::keyClicks(&box.edit, "25");
    box.edit.setCursorPosition(1);
    QSignalSpy changes(&box.edit, &TumNumberEdit::OnChange);
    QTest::keyClick(&box.edit, Qt::Key_9); // "295" is above 255
    QCOMPARE(box.edit.text(), QStringLiteral("25"));
    QCOMPARE(box.edit.Value(), 25);
    QCOMPARE(box.edit.cursorPosition(), 1);
    QVERIFY(!box.edit.hasSelectedText());
    QVERIFY(changes.count() >= 1);
    QTest::keyClick(&box.edit, Qt::Key_Return); // Enter is discarded
    QCOMPARE(box.edit.text(), QStringLiteral("25"));
}

void tst_Controls::editingKeysWork() {
    Box box(neHex, 0, 4);
    QTest::keyClicks(&box.edit, "12ab");
    QTest::keyClick(&box.edit, Qt::Key_Home);
    QTest::keyClick(&box.edit, Qt::Key_Delete);
    QCOMPARE(box.edit.text(), QStringLiteral("2ab"));
    QTest::keyClick(&box.edit, Qt::Key_End);
    QTest::keyClick(&box.edit, Qt::Key_Left);
    QTest::keyClick(&box.edit, Qt::Key_Backspace);
    QCOMPARE(box.edit.text(), QStringLiteral("2b"));
    QCOMPARE(box.edit.Value(), 0x2b);
    QTest::keyClick(&box.edit, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(box.edit.hasSelectedText());
    // Writing the text it holds changes nothing; another text replaces it.
    QSignalSpy changes(&box.edit, &TumNumberEdit::OnChange);
    box.edit.setText(QStringLiteral("2b"));
    QVERIFY(box.edit.hasSelectedText());
    QVERIFY(box.edit.isUndoAvailable());
    QCOMPARE(changes.count(), 0);
    box.edit.setText(QStringLiteral("2c"));
    QVERIFY(!box.edit.hasSelectedText());
    QCOMPARE(box.edit.Value(), 0x2c);
    QCOMPARE(changes.count(), 1);
}

void tst_Controls::emptyTextIsZero() {
    Box box(neDec, 255, 3);
    QTest::keyClicks(&box.edit, "42");
    QSignalSpy changes(&box.edit, &TumNumberEdit::OnChange);
    QTest::keyClick(&box.edit, Qt::Key_Backspace);
    QTest::keyClick(&box.edit, Qt::Key_Backspace);
    QCOMPARE(box.edit.text(), QString());
    QCOMPARE(box.edit.Value(), 0);
    QCOMPARE(changes.count(), 2);
}

void tst_Controls::setValue_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::newRow("above max") << int(neDec) << 255 << 300 << "255" << 255;
    QTest::newRow("negative") << int(neDec) << 255 << -5 << "0" << 0;
    QTest::newRow("hex 10") << int(neHex) << 0 << 10 << "A" << 10;
    QTest::newRow("dec 10") << int(neDec) << 0 << 10 << "10" << 10;
    QTest::newRow("bin 10") << int(neBin) << 0 << 10 << "1010" << 10;
    QTest::newRow("zero hex") << int(neHex) << 0 << 0 << "0" << 0;
}

void tst_Controls::setValue() {
    QFETCH(int, kind);
    QFETCH(int, max);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(int, stored);
    Box box(TumNumberEditKind(kind), max, 32767);
    QSignalSpy changes(&box.edit, &TumNumberEdit::OnChange);
    box.edit.setValue(value);
    QCOMPARE(box.edit.text(), text);
    QCOMPARE(box.edit.Value(), stored);
    QVERIFY(changes.count() >= 1 || text == QLatin1String("0"));
}

void tst_Controls::lowerMaxValue() {
    Box box(neDec, 0, 5);
    box.edit.setValue(200);
    box.edit.setMaxValue(100);
    QCOMPARE(box.edit.Value(), 100);
    QCOMPARE(box.edit.text(), QStringLiteral("100"));
}

void tst_Controls::paste_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex digits") << int(neHex) << "1F"
                                << "1F";
    QTest::newRow("hex letters") << int(neHex) << "zz"
                                 << "";
    QTest::newRow("hex blank") << int(neHex) << " 1"
                               << "";
    QTest::newRow("dec number") << int(neDec) << "12"
                                << "12";
    QTest::newRow("dec word") << int(neDec) << "ab"
                              << "";
    QTest::newRow("dec sign") << int(neDec) << "+5"
                              << "";
    QTest::newRow("dec above max") << int(neDec) << "999"
                                   << "";
    QTest::newRow("bin twos") << int(neBin) << "12"
                              << "";
}

void tst_Controls::paste() {
    QFETCH(int, kind);
    QFETCH(QString, clip);
    QFETCH(QString, text);
    Box box(TumNumberEditKind(kind), kind == neDec ? 255 : 0, 3);
    QApplication::clipboard()->setText(clip);
    QTest::keyClick(&box.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.edit.text(), text);
}

void tst_Controls::alignmentFollowsFocus() {
    QWidget window;
    auto* box = new TumNumberEdit(&window);
    auto* other = new TumNumberEdit(&window);
    other->move(0, 40);
    box->setAlignment(Qt::AlignHCenter);
    QVERIFY(testsupport::showActive(&window));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QVERIFY(box->alignment() & Qt::AlignHCenter);
    QSignalSpy exits(box, &TumEdit::OnExit);
    box->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(box->isEditing());
    QVERIFY(box->alignment() & Qt::AlignLeft);
    other->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(exits.count(), 1);
    QVERIFY(!box->isEditing());
    QVERIFY(box->alignment() & Qt::AlignHCenter);
}

void tst_Controls::disabledColour() {
    TumNumberEdit box;
    box.setColorDisabled(Qt::yellow);
    box.setEnabled(false);
    QImage image(box.size(), QImage::Format_RGB32);
    box.render(&image);
    QCOMPARE(image.pixelColor(box.width() / 2, 3), QColor(Qt::yellow));
}

void tst_Controls::entryFrame_data() {
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

void tst_Controls::entryFrame() {
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

void tst_Controls::unpackedPictures_data() {
    // A 3x2 picture, little-endian: "ARGB", width, height, 0xAARRGGBB pixels.
    QByteArray file("ARGB\x03\0\0\0\x02\0\0\0", 12);
    const quint32 pixels[] = {0xFF102030, 0x80402010, 0x00000000,
                              0xFFFFFFFF, 0x40400000, 0xFF000001};
    for (const quint32 p : pixels) {
        const quint32 le = qToLittleEndian(p);
        file.append(reinterpret_cast<const char*>(&le), 4);
    }
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("offset"); // from a four-byte boundary
    QTest::addColumn<bool>("valid");
    QTest::newRow("aligned") << file << 0 << true;
    QTest::newRow("one byte off a boundary") << file << 1 << true;
    QTest::newRow("a pixel short") << file.chopped(4) << 0 << false;
    QTest::newRow("a byte too many") << file + QByteArray(1, '\0') << 0 << false;
    QTest::newRow("no width") << QByteArray(file).replace(4, 1, QByteArray(1, '\0')) << 0 << false;
    QTest::newRow("a PNG") << QByteArray("\x89PNG\r\n\x1a\n") + file.mid(8) << 0 << false;
}

void tst_Controls::unpackedPictures() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, offset);
    QFETCH(bool, valid);
    std::vector<quint32> store(bytes.size() / 4 + 2);
    auto* data = reinterpret_cast<uchar*>(store.data()) + offset;
    std::memcpy(data, bytes.constData(), bytes.size());
    const QImage image = pictures::unpackedImage(data, bytes.size());
    QCOMPARE(!image.isNull(), valid);
    if (!valid)
        return;
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    const quint32 expected[] = {0xFF102030, 0x80402010, 0, 0xFFFFFFFF, 0x40400000, 0xFF000001};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(reinterpret_cast<const quint32*>(image.constScanLine(i / 3))[i % 3], expected[i]);
}

void tst_Controls::colourDropped_data() {
    QTest::addColumn<QColor>("color"); // invalid: none
    QTest::addColumn<QString>("text"); // null: none
    QTest::addColumn<int>("want");     // -1: no colour
    QTest::newRow("a colour") << QColor(1, 2, 3) << QString() << int(packColor(1, 2, 3));
    QTest::newRow("a colour and a text: the colour")
        << QColor(1, 2, 3) << QStringLiteral("#FFFFFF") << int(packColor(1, 2, 3));
    QTest::newRow("a 16-bit colour, rounded") << QColor::fromRgba64(0x8080, 0x7F7F, 0xFFFF)
                                              << QString() << int(packColor(0x80, 0x7F, 0xFF));
    QTest::newRow("a colour text")
        << QColor() << QStringLiteral(" #0A0B0C ") << int(packColor(10, 11, 12));
    QTest::newRow("a text that is no colour") << QColor() << QStringLiteral("hello") << -1;
    QTest::newRow("nothing") << QColor() << QString() << -1;
}

void tst_Controls::colourDropped() {
    QFETCH(QColor, color);
    QFETCH(QString, text);
    QFETCH(int, want);
    QMimeData data;
    if (color.isValid())
        data.setColorData(color);
    if (!text.isNull())
        data.setText(text);
    // The reader stands in for the program's: hex texts only.
    const auto read = [](const QString& t) -> std::optional<PackedColor> {
        const QColor c = QColor::fromString(t.trimmed());
        if (!c.isValid())
            return std::nullopt;
        return packColor(c.red(), c.green(), c.blue());
    };
    QCOMPARE(colordrag::mayHoldColor(&data), color.isValid() || !text.isNull());
    const std::optional<PackedColor> got = colordrag::colorOf(&data, read);
    QCOMPARE(got ? int(*got) : -1, want);
}

void tst_Controls::swatchDraggedOut() {
    TSwatchGrid grid;
    grid.swatchModel()->setSwatches({{packColor(0xAB, 0x01, 0xEF), QStringLiteral("one")},
                                     {packColor(1, 2, 3), QStringLiteral("two")}});
    const std::unique_ptr<QMimeData> data(grid.model()->mimeData({grid.model()->index(0, 0)}));
    QVERIFY(data);
    QCOMPARE(data->text(), QStringLiteral("#AB01EF"));
    QCOMPARE(qvariant_cast<QColor>(data->colorData()), QColor(0xAB, 0x01, 0xEF));
    QVERIFY(grid.model()->flags(grid.model()->index(1, 0)) & Qt::ItemIsDragEnabled);
    // What a screen reader reads of it, in the form the language gives.
    grid.swatchModel()->setSpokenForm(QStringLiteral("%1, Farbe %2"));
    QCOMPARE(grid.model()->index(1, 0).data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("two, Farbe #010203"));
    // A name with "%2" in it stays as it is.
    grid.swatchModel()->setSwatches({{packColor(1, 2, 3), QStringLiteral("50%2off")}});
    QCOMPARE(grid.model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("50%2off, Farbe #010203"));
}

void tst_Controls::swatchFrame_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("alpha");     // the frame's
    QTest::addColumn<int>("fillAlpha"); // the inside's
    QTest::newRow("the main window's swatch") << QSize(33, 70) << 255 << 255;
    QTest::newRow("a translucent frame: each pixel once") << QSize(6, 5) << 128 << 255;
    QTest::newRow("a translucent inside: the frame over it") << QSize(6, 5) << 255 << 128;
    QTest::newRow("two by two: all frame") << QSize(2, 2) << 255 << 255;
    QTest::newRow("one pixel high") << QSize(4, 1) << 255 << 255;
    QTest::newRow("one pixel wide") << QSize(1, 4) << 255 << 255;
}

void tst_Controls::swatchFrame() {
    QFETCH(QSize, size);
    QFETCH(int, alpha);
    QFETCH(int, fillAlpha);
    TShape shape;
    shape.resize(size);
    shape.setBrushColor(QColor(255, 0, 0, fillAlpha));
    shape.setPenColor(QColor(0, 0, 255, alpha));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    shape.render(&image);
    // A one-pixel frame over the fill, as a pen would stroke it.
    const QRgb frame = image.pixel(0, 0);
    QCOMPARE(frame, alpha == 255 ? qRgb(0, 0, 255) : qRgb(127, 0, 128));
    // The inside over the window's background beneath it.
    QImage beneath(1, 1, QImage::Format_RGB32);
    beneath.fill(shape.palette().color(QPalette::Window));
    QPainter(&beneath).fillRect(0, 0, 1, 1, shape.brushColor());
    const QRgb fill = beneath.pixel(0, 0);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool edge = x == 0 || y == 0 || x == size.width() - 1 || y == size.height() - 1;
            QCOMPARE(image.pixel(x, y), edge ? frame : fill);
        }
    }
}

namespace {
enum BoxChange { None, Text, TextColour, Disabled, Wider, Focus, FocusBlinking, NotOpaque };
/// What window draws, in its own device pixels.
QImage drawing(QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    QImage image(window.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    window.render(&image);
    return image;
}
} // namespace

void tst_Controls::boxPictures_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("taken"); // pictures taken for the change
    QTest::newRow("the same text again") << int(None) << 0;
    QTest::newRow("another text") << int(Text) << 1;
    QTest::newRow("a new text colour") << int(TextColour) << 1;
    QTest::newRow("disabled") << int(Disabled) << 1;
    QTest::newRow("wider") << int(Wider) << 1;
    QTest::newRow("with the focus, its caret still: a look of its own") << int(Focus) << 1;
    QTest::newRow("with the focus, its caret blinking: drawn by itself") << int(FocusBlinking) << 0;
    QTest::newRow("not opaque: drawn by itself") << int(NotOpaque) << 0;
}

void tst_Controls::boxPictures() {
    QFETCH(int, change);
    QFETCH(int, taken);
    QApplication::setCursorFlashTime(0); // a caret that does not blink
    const auto still = qScopeGuard([] { QApplication::setCursorFlashTime(0); });
    QWidget window;
    window.resize(80, 40);
    TFrameCacheStyle style;
    QVERIFY2(style.caching(), "boxes are drawn from pictures with the Fusion style only");
    auto* box = new TumNumberEdit(&window);
    box->setStyle(&style);
    box->setGeometry(10, 8, 33, 21);
    box->setAlignment(Qt::AlignRight);
    box->setAttribute(Qt::WA_OpaquePaintEvent);
    style.setColorBeneath(box, window.palette().color(QPalette::Window));
    auto* other = new QLineEdit(&window); // takes the focus from the box
    other->setGeometry(50, 8, 20, 21);
    TBoxPictures pictures;
    pictures.watch(box);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    other->setFocus();
    // The window repaints (its pictures taken), then what it shows is drawn
    // again.
    const auto shown = [&window, box] {
        box->update();
        QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
        return drawing(window);
    };
    // At a fractional scale no picture falls on device pixels the way the
    // box draws: it always draws itself.
    const bool whole = window.devicePixelRatioF() == std::floor(window.devicePixelRatioF());
    if (!whole)
        taken = 0;
    box->setText(QStringLiteral("7F"));
    const int before = pictures.taken();
    shown();
    QCOMPARE(pictures.taken(), before + int(whole));
    const int seeded = pictures.taken();
    switch (change) {
    case Text:
        box->setText(QStringLiteral("255"));
        break;
    case TextColour: {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Text, Qt::red);
        box->setPalette(palette);
        break;
    }
    case Disabled:
        box->setEnabled(false);
        break;
    case Wider:
        box->resize(38, 21);
        break;
    case FocusBlinking:
        QApplication::setCursorFlashTime(1000);
        [[fallthrough]];
    case Focus:
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->deselect(); // the focus from elsewhere selects the whole text
        break;
    case NotOpaque:
        box->setAttribute(Qt::WA_OpaquePaintEvent, false);
        break;
    }
    const QImage fromPictures = shown();
    QCOMPARE(pictures.taken(), seeded + taken);
    const int drawn = pictures.drawn();
    QCOMPARE(shown(), fromPictures); // a picture is taken once
    QCOMPARE(pictures.taken(), seeded + taken);
    // Copied where it may be, at every scale.
    QCOMPARE(pictures.drawn() > drawn, whole && change != FocusBlinking && change != NotOpaque);
    // What the box draws by itself is what its picture shows, pixel for
    // pixel.
    box->removeEventFilter(&pictures);
    QCOMPARE(shown(), fromPictures);
}

namespace {
enum LabelBackground { Shaded, Across };
}

void tst_Controls::labelPictures_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("background");
    // Whether the last text is drawn from pictures; -1: either.
    QTest::addColumn<int>("pictured");
    const QStringList hex{"#FF8000", "#000000", "#1A2B3C", "#ABCDEF", "#7F7F7F", "#FF8000"};
    const QStringList dec{"255,128,0", "0,0,0", "17,199,4", "255,255,255", "9,8,7"};
    const int right = Qt::AlignRight | Qt::AlignTop;
    QTest::newRow("hex texts") << hex << right << int(Shaded) << 1;
    QTest::newRow("dec texts") << dec << right << int(Shaded) << 1;
    QTest::newRow("a shorter text after a longer")
        << QStringList{"255,255,255", "1,2,3"} << right << int(Shaded) << 1;
    // Whatever a font's glyphs reach into or kern, the label looks as it
    // does by itself.
    QTest::newRow("notations, clipped at the left")
        << QStringList{"rgb(255 128 0)", "rgb(0 0 0)", "hsl(30 100% 50%)"} << right << int(Shaded)
        << -1;
    QTest::newRow("pairs a font may kern")
        << QStringList{"AVAV", "To.Ty", "AVAV"} << right << int(Shaded) << -1;
    QTest::newRow("a background that changes across: by itself")
        << hex << right << int(Across) << 0;
    QTest::newRow("centred: by itself") << hex << int(Qt::AlignCenter) << int(Shaded) << 0;
    QTest::newRow("another script: by itself")
        << QStringList{"#FF8000", "\u00C4\u00D6"} << right << int(Shaded) << 0;
}

void tst_Controls::labelPictures() {
    QFETCH(QStringList, texts);
    QFETCH(int, alignment);
    QFETCH(int, background);
    QFETCH(int, pictured);
    QWidget window;
    window.resize(140, 30);
    auto* label = new QLabel(&window);
    label->setGeometry(10, 7, 120, 16);
    QFont font(QStringLiteral("Verdana"), 9);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferNoShaping);
    label->setFont(font);
    label->setAlignment(Qt::Alignment(alignment));
    label->setAutoFillBackground(true);
    // Shaded from top to bottom as a group's inside is, or from left to right.
    QLinearGradient shade(0, 0, background == Across ? label->width() : 0,
                          background == Across ? 0 : label->height());
    shade.setColorAt(0, QColor(0xF4, 0xF4, 0xF0));
    shade.setColorAt(1, QColor(0xD8, 0xD8, 0xE0));
    QPalette palette = label->palette();
    palette.setBrush(QPalette::Window, shade);
    label->setPalette(palette);
    TLabelPictures pictures;
    pictures.watch(label);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto shown = [&window, label, &pictures] {
        label->update();
        QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(&pictures, QEvent::MetaCall); // pictures taken
        return drawing(window);
    };
    const bool whole = window.devicePixelRatioF() == std::floor(window.devicePixelRatioF());
    for (const QString& text : texts) {
        label->setText(text);
        shown(); // the pictures the text lacks are taken after this
        const int drawn = pictures.drawn();
        const QImage fromPictures = shown();
        if (&text == &texts.last() && pictured >= 0)
            QCOMPARE(pictures.drawn() > drawn, pictured && whole);
        // Pixel for pixel what the label draws by itself.
        label->removeEventFilter(&pictures);
        QVERIFY2(shown() == fromPictures, qPrintable(text));
        label->installEventFilter(&pictures);
    }
    QCOMPARE(pictures.refused(), 0);
}

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"
