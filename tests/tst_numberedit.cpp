#include "controls/umEdit.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QtTest>

class tst_NumberEdit : public QObject {
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

void tst_NumberEdit::typing_data() {
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

void tst_NumberEdit::typing() {
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

void tst_NumberEdit::refusalRestoresCaret() {
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

void tst_NumberEdit::editingKeysWork() {
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

void tst_NumberEdit::emptyTextIsZero() {
    Box box(neDec, 255, 3);
    QTest::keyClicks(&box.edit, "42");
    QSignalSpy changes(&box.edit, &TumNumberEdit::OnChange);
    QTest::keyClick(&box.edit, Qt::Key_Backspace);
    QTest::keyClick(&box.edit, Qt::Key_Backspace);
    QCOMPARE(box.edit.text(), QString());
    QCOMPARE(box.edit.Value(), 0);
    QCOMPARE(changes.count(), 2);
}

void tst_NumberEdit::setValue_data() {
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

void tst_NumberEdit::setValue() {
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

void tst_NumberEdit::lowerMaxValue() {
    Box box(neDec, 0, 5);
    box.edit.setValue(200);
    box.edit.setMaxValue(100);
    QCOMPARE(box.edit.Value(), 100);
    QCOMPARE(box.edit.text(), QStringLiteral("100"));
}

void tst_NumberEdit::paste_data() {
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

void tst_NumberEdit::paste() {
    QFETCH(int, kind);
    QFETCH(QString, clip);
    QFETCH(QString, text);
    Box box(TumNumberEditKind(kind), kind == neDec ? 255 : 0, 3);
    QApplication::clipboard()->setText(clip);
    QTest::keyClick(&box.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.edit.text(), text);
}

void tst_NumberEdit::alignmentFollowsFocus() {
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

void tst_NumberEdit::disabledColour() {
    TumNumberEdit box;
    box.setColorDisabled(Qt::yellow);
    box.setEnabled(false);
    QImage image(box.size(), QImage::Format_RGB32);
    box.render(&image);
    QCOMPARE(image.pixelColor(box.width() / 2, 3), QColor(Qt::yellow));
}

QTEST_MAIN(tst_NumberEdit)
#include "tst_numberedit.moc"
