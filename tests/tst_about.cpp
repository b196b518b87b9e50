#include "app/Program.h"
#include "controls/LnkLabel.h"
#include "support/WindowFixture.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

namespace {

const QColor Red(255, 0, 0);
const QColor Maroon(128, 0, 0);

/// Receives the addresses handed to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

void enter(QWidget* w) {
    QEnterEvent e(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(w, &e);
}

void leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class tst_About : public QObject {
    Q_OBJECT
private slots:
    void linkColourSequence();
    void emptyLink();
    void layoutDefaults();
    void centredThenKept();
    void clampedAtTopLeft();
    void keysAndModality();
    void menuLinksWhileNeverShown();
};

void tst_About::linkColourSequence() {
    UrlCatcher urls;
    QWidget window;
    auto* label = new TLnkLabel(&window);
    label->setText(QStringLiteral("mirabou.org"));
    label->setLink(QStringLiteral("https://mirabou.org/"));
    label->setEnterFontColor(Red);
    label->setLeaveFontColor(Red);
    label->setVisitedColor(Maroon);
    label->setFontColor(Red);
    QVERIFY(showActive(&window));

    enter(label);
    QCOMPARE(label->fontColor(), Red);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(urls.opened, QList<QUrl>{QUrl(QStringLiteral("https://mirabou.org/"))});
    QCOMPARE(label->fontColor(), Red); // still inside
    leave(label);
    QCOMPARE(label->fontColor(), Maroon);
    enter(label);
    QCOMPARE(label->fontColor(), Red);
    QTest::mouseClick(label, Qt::LeftButton); // a second click opens again
    QCOMPARE(urls.opened.size(), 2);
    leave(label);
    QCOMPARE(label->fontColor(), Maroon);
    QTest::mouseClick(label, Qt::RightButton); // only the primary button opens
    QCOMPARE(urls.opened.size(), 2);
}

void tst_About::emptyLink() {
    UrlCatcher urls;
    TLnkLabel label;
    label.setVisitedColor(Maroon);
    label.OpenLink(); // nothing is reported, and the label is visited
    QCOMPARE(label.LeaveFontColor(), Maroon);
}

void tst_About::layoutDefaults() {
    TLnkLabel label;
    QCOMPARE(label.Link(), QString());
    QCOMPARE(label.EnterFontColor(), QColor(Qt::black));
    label.applyLayoutDefaults();
    QVERIFY(label.Link().startsWith(QLatin1String("mailto:")));
    QCOMPARE(label.fontColor(), QColor(0, 0, 255));
    QVERIFY(label.font().underline());
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(label.EnterFontColor(), Red);
    QCOMPARE(label.LeaveFontColor(), QColor(0, 0, 255));
    QCOMPARE(label.VisitedColor(), QColor(0, 0, 128));
}

namespace {

/// Opens the About window, runs inside while it is open, then closes it.
QRect openAbout(Program& program, const std::function<void(TForm2&)>& inside = {}) {
    QRect where;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(program.form2.isVisible());
        where = program.form2.frameGeometry();
        if (inside)
            inside(program.form2);
        if (program.form2.isVisible())
            child<QPushButton>(&program.form2, "Button1")->click();
    });
    child<QAction>(&program.form1, "About1")->trigger();
    return where;
}

} // namespace

void tst_About::centredThenKept() {
    WindowFixture f;
    QVERIFY(f.start());
    f.program->form1.move(300, 200);
    const QRect main = f.program->form1.frameGeometry();
    // The picture is loaded when the window first shows.
    QVERIFY(child<QLabel>(&f.program->form2, "Image1")->pixmap().isNull());
    QSize picture;
    const QRect first = openAbout(*f.program, [&](TForm2& about) {
        picture = child<QLabel>(&about, "Image1")->pixmap().size();
        about.move(50, 60);
    });
    QCOMPARE(picture, QSize(128, 128));
    QCOMPARE(f.program->form2.size(), QSize(377, 135));
    QCOMPARE(first.topLeft(), QPoint(main.left() + (main.width() - first.width()) / 2,
                                     main.top() + (main.height() - first.height()) / 2));
    f.program->form1.move(500, 400);
    const QRect second = openAbout(*f.program);
    QCOMPARE(second.topLeft(), QPoint(50, 60));
    QVERIFY(!f.program->form2.isVisible());
}

void tst_About::clampedAtTopLeft() {
    QCOMPARE(TModalWindow::centredPosition(QRect(-100, -50, 439, 176), QSize(377, 135)),
             QPoint(0, 0));
    QCOMPARE(TModalWindow::centredPosition(QRect(-20, 10, 439, 176), QSize(377, 135)),
             QPoint(11, 30));
    // Odd differences round toward zero.
    QCOMPARE(TModalWindow::centredPosition(QRect(0, 0, 440, 177), QSize(377, 135)), QPoint(31, 21));
}

void tst_About::keysAndModality() {
    WindowFixture f;
    QVERIFY(f.start());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    bool stillOpenAfterEscape = false;
    bool closedByEnter = false;
    openAbout(*f.program, [&](TForm2& about) {
        QCOMPARE(QApplication::activeModalWidget(), &about);
        QCOMPARE(about.focusWidget(), child<QWidget>(&about, "Button1"));
        // The main window takes no input meanwhile.
        auto* copy = child<QWidget>(&f.program->form1, "SpeedButton3");
        QTest::mouseClick(f.program->form1.windowHandle(), Qt::LeftButton, {},
                          copy->mapTo(&f.program->form1, QPoint(10, 10)));
        QTest::keyClick(about.windowHandle(), Qt::Key_Escape);
        stillOpenAfterEscape = about.isVisible();
        QTest::keyClick(about.windowHandle(), Qt::Key_Return);
        closedByEnter = !about.isVisible();
    });
    QVERIFY(stillOpenAfterEscape);
    QVERIFY(closedByEnter);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void tst_About::menuLinksWhileNeverShown() {
    UrlCatcher urls;
    WindowFixture f;
    QVERIFY(f.start());
    QTest::keyClick(f.program->form1.windowHandle(), Qt::Key_F5);
    QTest::keyClick(f.program->form1.windowHandle(), Qt::Key_F6);
    QCOMPARE(urls.opened.size(), 2);
    QCOMPARE(urls.opened[0].scheme(), QStringLiteral("https"));
    QCOMPARE(urls.opened[1].toString(), QStringLiteral("mailto:support@mirabou.org"));
    QVERIFY(!f.program->form2.isVisible());
    auto* web = child<TLnkLabel>(&f.program->form2, "LnkLabel1");
    QCOMPARE(web->fontColor(), Red); // until the pointer passes over it
    enter(web);
    leave(web);
    QCOMPARE(web->fontColor(), Maroon);
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
