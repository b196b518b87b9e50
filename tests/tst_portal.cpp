// The Eye Wizard through the desktop portal, against a portal of the tests'
// own on a private session bus.
#include "app/Program.h"
#include "color/ColorModel.h"
#include "controls/SpeedButton.h"
#include "eyedropper/EyeWizard.h"
#include "eyedropper/Loupe.h"
#include "eyedropper/PickCursor.h"
#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/WindowLocator.h"
#include "i18n/LanguageFile.h"
#include "support/ProgramDriver.h"
#include "support/RealDesktop.h"
#include "support/WindowFixture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testsupport;
using Stage = PortalScreenContext::Stage;

namespace {

/// A dbus-daemon of the test's own, stopped by its process id.
class PrivateBus {
public:
    bool start() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=" MIRABOU_PRIVATE_BUS_CONF),
                        QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(5000))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }
    ~PrivateBus() {
        if (m_daemon.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_daemon.processId()), SIGTERM);
            m_daemon.waitForFinished(5000);
        }
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

/// The colour the test picture has at device pixel (x, y): every pixel of
/// a desktop up to 4096 pixels wide and high differs from every other.
QRgb pictureColor(int x, int y) {
    return qRgb(x & 0xFF, y & 0xFF, (x >> 8) << 4 | (y >> 8));
}

/// A picture of size whose every pixel has its pictureColor.
QImage patterned(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = pictureColor(x, y);
    }
    return picture;
}

PickHandlers pickHandlers(std::function<void()> move, std::function<void()> release,
                          QWidget* window = nullptr) {
    PickHandlers handlers;
    handlers.move = std::move(move);
    handlers.release = std::move(release);
    handlers.window = window;
    return handlers;
}

QString hexOf(QRgb c) {
    return QStringLiteral("#%1%2%3").arg(hexPair(qRed(c)), hexPair(qGreen(c)), hexPair(qBlue(c)));
}

/// The program in a temporary folder, its Eye Wizard reading through a
/// portal context on the private bus.
struct Fixture : WindowFixture {
    PrivateBus bus;
    QProcess portal;
    QString connectionName = QStringLiteral("mirabou-test-%1").arg(++count);
    PortalScreenContext* context = nullptr;
    static inline int count = 0;

    ~Fixture() {
        program.reset();
        QDBusConnection::disconnectFromBus(connectionName);
        if (portal.state() != QProcess::NotRunning) {
            portal.kill();
            portal.waitForFinished();
        }
    }

    /// Starts the bus, the portal with args (none: no portal at all) and the
    /// program.
    bool start(const QStringList& portalArgs, portal::Waits waits = {}) {
        if (!bus.start())
            return false;
        if (!portalArgs.isEmpty()) {
            portal.start(QStringLiteral(MIRABOU_FAKE_PORTAL),
                         QStringList{QStringLiteral("--address"), bus.address()} + portalArgs);
            if (!portal.waitForReadyRead(5000) || portal.readLine().trimmed() != "ready")
                return false;
        }
        QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), connectionName);
        if (!connection.isConnected())
            return false;
        return WindowFixture::start(QByteArray(), [=, this] {
            auto c = std::make_unique<PortalScreenContext>(connection, waits);
            context = c.get();
            return c;
        });
    }

    /// A picture of the whole desktop at scale device pixels per logical one.
    QString writePicture(double scale) const {
        const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
        const QImage picture =
            patterned(QSize(qRound(desktop.width() * scale), qRound(desktop.height() * scale)));
        const QString path = dir.filePath(QStringLiteral("desktop.png"));
        return picture.save(path) ? path : QString();
    }

    /// A picture of the whole desktop in one colour.
    QString writePlainPicture(QRgb colour) const {
        QImage picture(QGuiApplication::primaryScreen()->virtualGeometry().size(),
                       QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = dir.filePath(QStringLiteral("plain.png"));
        return picture.save(path) ? path : QString();
    }

    /// What the portal was asked, a line per call.
    QStringList calls() {
        QStringList lines;
        const QByteArray out = portal.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n')) {
            if (!line.isEmpty())
                lines << QString::fromUtf8(line);
        }
        return lines;
    }

    TSpeedButton* wand() const { return c<TSpeedButton>("SpeedButton1"); }
    void press() const { QTest::mousePress(wand(), Qt::LeftButton, {}, QPoint(5, 5)); }
    void release() const { QTest::mouseRelease(wand(), Qt::LeftButton, {}, QPoint(5, 5)); }
    void moveOverButton() const {
        QMouseEvent move(QEvent::MouseMove, QPointF(7, 7), wand()->mapToGlobal(QPointF(7, 7)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(wand(), &move);
    }
    QString header() const { return text("Label4"); }
    QString eye() const { return text("Label25"); }
    QString red() const { return text("umRed"); }
    bool picking() const { return program->form1.eyeWizard().isPicking(); }
};

/// A window of the test's own in one colour, with a square of cells of two
/// other colours, a device pixel each, at cells (logical, in the window).
class Marker : public QWidget {
public:
    Marker(QRgb colour, QRgb even, QRgb odd, QRect cells, const QString& title)
        : m_colour(colour), m_even(even), m_odd(odd), m_cells(cells) {
        setFixedSize(200, 150);
        setWindowTitle(title);
    }
    QRgb colour() const { return m_colour; }
    QRgb even() const { return m_even; }
    QRgb odd() const { return m_odd; }
    QRect cells() const { return m_cells; }
    /// The scale it last drew its cells at (0 before it drew).
    qreal paintedRatio() const { return m_paintedRatio; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(m_colour));
        const qreal ratio = devicePixelRatioF();
        m_paintedRatio = ratio;
        QImage cells((QSizeF(m_cells.size()) * ratio).toSize(), QImage::Format_RGB32);
        for (int y = 0; y < cells.height(); ++y)
            for (int x = 0; x < cells.width(); ++x)
                cells.setPixel(x, y, (x + y) % 2 ? m_odd : m_even);
        cells.setDevicePixelRatio(ratio);
        painter.drawImage(m_cells.topLeft(), cells);
    }

private:
    QRgb m_colour, m_even, m_odd;
    QRect m_cells;
    qreal m_paintedRatio = 0;
};

void sendMouse(QWidget* window, QEvent::Type type, QPointF pos) {
    const bool release = type == QEvent::MouseButtonRelease;
    QMouseEvent event(type, pos, window->mapToGlobal(pos), release ? Qt::LeftButton : Qt::NoButton,
                      release ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

} // namespace

class tst_Portal : public QObject {
    Q_OBJECT
private slots:
    void requestPath();
    void locateWindow_data();
    void locateWindow();
    void movesOverTheButtonFindTheWindow();
    void frozenPicture_data();
    void frozenPicture();
    void buttonReleaseEndsFrozenPick();
    void desktopPicker_data();
    void desktopPicker();
    void noPortal_data();
    void noPortal();
    void badScreenshot_data();
    void badScreenshot();
    void pickerNeverAnswers();
    void sampledFromThePicture_data();
    void sampledFromThePicture();
    void releaseBeforeThePicture_data();
    void releaseBeforeThePicture();
    void pickCursorLeavesItsMiddleClear_data();
    void pickCursorLeavesItsMiddleClear();
    void lateScreenshotIsDropped_data();
    void lateScreenshotIsDropped();
    void realPortal_data();
    void realPortal();
    void realDisplayEnds();
    void realPickCommand();
};

void tst_Portal::requestPath() {
    QCOMPARE(portal::requestPath(QStringLiteral(":1.42"), QStringLiteral("mirabou7")),
             QStringLiteral("/org/freedesktop/portal/desktop/request/1_42/mirabou7"));
}

void tst_Portal::locateWindow_data() {
    QTest::addColumn<QString>("kind");
    // The desktop's size of the window against its own; where it is not 1,
    // with a filter of the desktop's that differs from the program's.
    QTest::addColumn<double>("shown");
    // Where the window is shown: amid the picture, in its bottom right
    // corner, or filling the whole picture.
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("found");
    QTest::newRow("drawn as it is") << "exact" << 1.0 << "inside" << true;
    QTest::newRow("drawn as it is, bottom right corner") << "exact" << 1.0 << "corner" << true;
    QTest::newRow("drawn as it is, the whole picture") << "exact" << 1.0 << "whole" << true;
    QTest::newRow("a corner drawn otherwise") << "changed" << 1.0 << "inside" << true;
    QTest::newRow("not on the screen") << "absent" << 1.0 << "inside" << false;
    QTest::newRow("on the screen twice") << "twice" << 1.0 << "inside" << false;
    QTest::newRow("larger than the screen") << "larger" << 1.0 << "inside" << false;
    QTest::newRow("shrunk to the nearest pixel") << "sharp" << 0.75 << "inside" << true;
    QTest::newRow("shrunk smoothly") << "smooth" << 0.75 << "inside" << true;
    QTest::newRow("shrunk smoothly, bottom right corner") << "smooth" << 0.75 << "corner" << true;
    QTest::newRow("shrunk smoothly, the whole picture") << "smooth" << 0.75 << "whole" << true;
    QTest::newRow("shrunk to the nearest pixel, bottom right corner")
        << "sharp" << 0.75 << "corner" << true;
    QTest::newRow("enlarged smoothly") << "smooth" << 1.5 << "inside" << true;
    QTest::newRow("enlarged smoothly, the whole picture") << "smooth" << 1.5 << "whole" << true;
    QTest::newRow("shrunk, a corner drawn otherwise") << "changed" << 0.75 << "inside" << true;
    QTest::newRow("shrunk, on a desktop of its own grey") << "grey" << 0.75 << "inside" << true;
    QTest::newRow("shrunk, not on the screen") << "absent" << 0.75 << "inside" << false;
    QTest::newRow("shrunk, on the screen twice") << "twice" << 0.75 << "inside" << false;
}

void tst_Portal::locateWindow() {
    QFETCH(QString, kind);
    QFETCH(double, shown);
    QFETCH(QString, place);
    QFETCH(bool, found);
    QSize desktop(1000, 700);
    const QSize onScreen = shown == 1.0 ? QSize(439, 176) : (QSizeF(400, 240) * shown).toSize();
    if (place == QLatin1String("whole"))
        desktop = onScreen;
    const QPoint at =
        place == QLatin1String("inside") ? QPoint(123, 45)
        : place == QLatin1String("corner")
            ? QPoint(desktop.width() - onScreen.width(), desktop.height() - onScreen.height())
            : QPoint(0, 0);
    QImage screen = patterned(desktop);
    QImage window = screen.copy(QRect(at, onScreen));
    if (shown != 1.0) {
        // A window as windows look: flat faces, boxes, text.
        window = QImage(400, 240, QImage::Format_RGB32);
        window.fill(QColor(0xEC, 0xEC, 0xEC));
        QPainter painter(&window);
        painter.fillRect(20, 20, 100, 60, Qt::black);
        for (int row = 0; row < 4; ++row) {
            painter.fillRect(140, 20 + row * 50, 120, 30, Qt::white);
            painter.drawText(150, 40 + row * 50, QStringLiteral("#%1").arg(row * 0x123456, 6, 16));
        }
        painter.drawText(20, 200, QStringLiteral("Eye Wizard"));
        painter.end();
        const QImage drawn = kind == QLatin1String("absent") ? patterned(window.size()) : window;
        if (kind == QLatin1String("grey")) // its flat probes hold nearly everywhere
            screen.fill(QColor(0xEC, 0xEC, 0xEC));
        const auto show = [&](QPoint where) {
            QPainter desktopPainter(&screen);
            desktopPainter.setRenderHint(QPainter::SmoothPixmapTransform,
                                         kind != QLatin1String("sharp"));
            desktopPainter.drawImage(QRectF(where, QSizeF(window.size()) * shown), drawn);
        };
        show(at);
        if (kind == QLatin1String("twice"))
            show(QPoint(500, 300));
    } else if (kind == QLatin1String("absent")) {
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x)
                window.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 13) & 0xFF, 0x55));
    } else if (kind == QLatin1String("twice")) {
        screen.fill(Qt::gray);
        QPainter painter(&screen);
        painter.drawImage(at, window);
        painter.drawImage(QPoint(500, 400), window);
    } else if (kind == QLatin1String("larger")) {
        window = QImage(1200, 100, QImage::Format_RGB32);
    }
    if (kind == QLatin1String("changed")) { // after the screen shows it
        QPainter painter(&window);
        painter.fillRect(0, 0, 12, 12, Qt::magenta);
    }
    const std::optional<QPoint> where =
        shown == 1.0 ? portal::locate(window, screen) : portal::locateScaled(window, screen, shown);
    QCOMPARE(where.has_value(), found);
    if (found)
        QCOMPARE(*where, at);
}

void tst_Portal::movesOverTheButtonFindTheWindow() {
    // While the button is held, the compositor sends the moves to the main
    // window, whose place on the desktop Qt does not know: the picture shows
    // it elsewhere than Qt believes.
    Fixture f;
    const QString path = f.dir.filePath(QStringLiteral("desktop.png"));
    QVERIFY(f.start({QStringLiteral("--picture"), path}));
    QImage picture = patterned(QGuiApplication::primaryScreen()->virtualGeometry().size());
    const QPoint real(37, 53);
    {
        QPainter painter(&picture);
        painter.drawImage(real, f.program->form1.grab().toImage());
    }
    QVERIFY(picture.save(path));
    const QPoint assumed = f.program->form1.mapToGlobal(QPoint(0, 0));
    QVERIFY(assumed != real);

    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    QCursor::setPos(assumed + QPoint(-20, -30));
    QTRY_COMPARE(QCursor::pos(), assumed + QPoint(-20, -30));
    f.moveOverButton();
    QCOMPARE(f.header(), hexOf(pictureColor(real.x() - 20, real.y() - 30)));
    f.release();
    QCOMPARE(f.eye(), hexOf(pictureColor(real.x() - 20, real.y() - 30)));
}

void tst_Portal::frozenPicture_data() {
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("first");
    QTest::addColumn<QPointF>("last");
    QTest::newRow("scale 1") << 1.0 << QPointF(10, 20) << QPointF(799, 599);
    QTest::newRow("fractional scale 1.5") << 1.5 << QPointF(10.5, 20.25) << QPointF(799.9, 599.9);
    QTest::newRow("scale 2") << 2.0 << QPointF(0.5, 300.75) << QPointF(400.25, 0);
}

void tst_Portal::frozenPicture() {
    QFETCH(double, scale);
    QFETCH(QPointF, first);
    QFETCH(QPointF, last);
    Fixture f;
    const QString picture = f.writePicture(scale);
    QVERIFY(!picture.isEmpty());
    QVERIFY(f.start({QStringLiteral("--picture"), picture}));

    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    const QStringList calls = f.calls();
    QCOMPARE(calls.size(), 1);
    QVERIFY2(calls[0].startsWith(QLatin1String("Screenshot ")), qPrintable(calls[0]));
    QVERIFY2(calls[0].contains(QLatin1String("interactive=false")), qPrintable(calls[0]));
    QVERIFY2(calls[0].contains(QLatin1String("handle_token=mirabou")), qPrintable(calls[0]));

    // One frozen window per screen, each showing its screen.
    const std::vector<TFrozenScreen*> windows = f.context->frozenScreens();
    QCOMPARE(int(windows.size()), int(QGuiApplication::screens().size()));
    TFrozenScreen* window = windows.front();
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->geometry(), QGuiApplication::primaryScreen()->geometry());
    QVERIFY(f.picking());
    // The window shows the picture as it was: at scale 1, pixel for pixel.
    if (scale == 1.0) {
        const QImage shown = window->grab().toImage();
        QCOMPARE(shown.pixel(first.toPoint()) & 0xFFFFFF,
                 pictureColor(first.x(), first.y()) & 0xFFFFFF);
    }

    sendMouse(window, QEvent::MouseMove, first - window->origin());
    const QRgb firstColor = pictureColor(int(first.x() * scale), int(first.y() * scale));
    QCOMPARE(f.header(), hexOf(firstColor));
    QCOMPARE(f.red(), hexPair(qRed(firstColor)));

    // The magnifier inside the frozen picture, beside the pointer and off
    // it: the picture's pixels around the picked one, in cells of eight.
    const QPoint picked(int(first.x() * scale), int(first.y() * scale));
    const QRect magnified = window->magnifierRect();
    QVERIFY(window->rect().contains(magnified));
    QVERIFY(!magnified.contains((first - window->origin()).toPoint()));
    const auto cellShown = [&](QPoint cell) {
        const QImage shown = window->grab(magnified).toImage();
        const QPoint middle = QPoint(1, 1) + QPoint(66, 66) * shown.devicePixelRatio();
        return shown.pixel(middle + cell * 8) & 0xFFFFFF;
    };
    QCOMPARE(cellShown(QPoint(0, 0)), firstColor & 0xFFFFFF);
    QCOMPARE(cellShown(QPoint(2, -1)), pictureColor(picked.x() + 2, picked.y() - 1) & 0xFFFFFF);
    // The arrow keys move the picked point over the picture, a picture
    // pixel at a time (with Shift ten); the pointer cannot be moved there.
    QTest::keyClick(window, Qt::Key_Right);
    QCOMPARE(f.header(), hexOf(pictureColor(picked.x() + 1, picked.y())));
    QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(f.header(), hexOf(pictureColor(picked.x() + 1, picked.y() + 10)));

    // A move of the pointer puts the picked point back under it.
    sendMouse(window, QEvent::MouseMove, last - window->origin());
    const QRgb lastColor = pictureColor(int(last.x() * scale), int(last.y() * scale));
    QCOMPARE(f.header(), hexOf(lastColor));
    QTest::keyClick(window, Qt::Key_Left);
    const QRgb nudged = pictureColor(int(last.x() * scale) - 1, int(last.y() * scale));
    QCOMPARE(f.header(), hexOf(nudged));

    // The release over the picture, where the last move left the pointer,
    // ends the pick with the nudged pixel and removes the picture.
    QPointer<TFrozenScreen> gone = window;
    sendMouse(window, QEvent::MouseButtonRelease, last - window->origin());
    QVERIFY(!f.picking());
    QCOMPARE(f.context->stage(), Stage::Idle);
    QCOMPARE(f.eye(), hexOf(nudged));
    QCOMPARE(f.header(), hexOf(nudged));
    QTRY_VERIFY(gone.isNull());
}

void tst_Portal::buttonReleaseEndsFrozenPick() {
    Fixture f;
    const QString path = f.writePlainPicture(qRgb(0x12, 0x34, 0x56));
    QVERIFY(!path.isEmpty());
    QVERIFY(f.start({QStringLiteral("--picture"), path}));

    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    // The release reaches the button that took the press (the pointer grab).
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#123456"));
    QPointer<TFrozenScreen> window = f.context->frozenScreens().front();
    f.release();
    QVERIFY(!f.picking());
    QCOMPARE(f.eye(), QStringLiteral("#123456"));
    QTRY_VERIFY(window.isNull());

    // A second pick asks again and finds the picture again; Escape cancels
    // it: the colour and the eye colour as before, the picture gone, and the
    // release changes nothing.
    f.w().color().applyHex({QStringLiteral("09"), QStringLiteral("34"), QStringLiteral("56")});
    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    QCOMPARE(f.calls().size(), 2);
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#123456"));
    QPointer<TFrozenScreen> second = f.context->frozenScreens().front();
    QTest::keyClick(second, Qt::Key_Escape);
    QVERIFY(!f.picking());
    QCOMPARE(f.context->stage(), Stage::Idle);
    QTRY_VERIFY(second.isNull());
    QCOMPARE(f.header(), QStringLiteral("#093456"));
    QCOMPARE(f.eye(), QStringLiteral("#123456"));
    f.release();
    QCOMPARE(f.header(), QStringLiteral("#093456"));
}

void tst_Portal::desktopPicker_data() {
    QTest::addColumn<QStringList>("portalArgs");
    QTest::addColumn<QString>("header"); // after the pick
    QTest::addColumn<QString>("eye");
    QTest::addColumn<QStringList>("methods");
    QTest::addColumn<bool>("failed"); // the user is told that nothing was picked
    const QString black = QStringLiteral("#000000");
    const QString notSet = QStringLiteral("Not Set");
    const QStringList both{QStringLiteral("Screenshot"), QStringLiteral("PickColor")};
    QTest::newRow("screenshot refused, picker answers")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("refuse"),
                       QStringLiteral("--color"), QStringLiteral("1,0.5,0")}
        << QStringLiteral("#FF8000") << QStringLiteral("#FF8000") << both << false;
    QTest::newRow("picker only") << QStringList{QStringLiteral("--screenshot"),
                                                QStringLiteral("missing"),
                                                QStringLiteral("--color"),
                                                QStringLiteral("0.2,0.4,0.6")}
                                 << QStringLiteral("#336699") << QStringLiteral("#336699") << both
                                 << false;
    QTest::newRow("picker cancelled")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("refuse"),
                       QStringLiteral("--pickcolor"),  QStringLiteral("cancel"),
                       QStringLiteral("--color"),      QStringLiteral("1,1,1")}
        << black << black << both << false;
    // Refused: the eye colour stays as before the press, and the user hears why.
    QTest::newRow("picker refused")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("cancel"),
                       QStringLiteral("--pickcolor"),  QStringLiteral("refuse"),
                       QStringLiteral("--color"),      QStringLiteral("1,1,1")}
        << black << notSet << both << true;
    QTest::newRow("picker answers out of range")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("refuse"),
                       QStringLiteral("--color"), QStringLiteral("1.5,0,0")}
        << black << notSet << both << true;
}

void tst_Portal::desktopPicker() {
    QFETCH(QStringList, portalArgs);
    QFETCH(QString, header);
    QFETCH(QString, eye);
    QFETCH(QStringList, methods);
    QFETCH(bool, failed);
    Fixture f;
    // The answer comes a little later, as a real picker's would.
    QVERIFY(f.start(portalArgs + QStringList{QStringLiteral("--delay"), QStringLiteral("100")}));
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    QSignalSpy told(&f.program->form1.eyeWizard(), &TEyeWizard::pickFailed);

    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Picker);
    QVERIFY(f.context->frozenScreens().empty());
    // Moves and the release of the button do not end the desktop's pick.
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    f.release();
    QVERIFY(f.picking());

    QTRY_VERIFY(!f.picking());
    QCOMPARE(f.context->stage(), Stage::Idle);
    QCOMPARE(f.header(), header);
    QCOMPARE(f.eye(), eye);
    QCOMPARE(told.size(), failed ? 1 : 0);
    if (failed)
        QCOMPARE(told.front().front().value<PickFailure>(), PickFailure::Refused);
    QStringList called;
    for (const QString& call : f.calls())
        called << call.section(QLatin1Char(' '), 0, 0);
    QCOMPARE(called, methods);
}

void tst_Portal::badScreenshot_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty") << "empty";
    QTest::newRow("not a picture") << "text";
    QTest::newRow("cut short") << "truncated";
    QTest::newRow("5000 x 5000 pixels") << "large";
    QTest::newRow("a small file claiming 30000 x 30000") << "claims";
    QTest::newRow("a uri of the web") << "web";
    QTest::newRow("a number for a uri") << "number";
}

void tst_Portal::badScreenshot() {
    // The portal grants the screenshot, but its file is nothing to show: the
    // pick reads every point as white, shows no frozen screen, holds no more
    // memory than a picture of the desktop would, and the next pick works.
    QFETCH(QString, kind);
    Fixture f;
    const QString path = f.dir.filePath(QStringLiteral("shot.png"));
    const QString good = f.writePlainPicture(qRgb(0x12, 0x34, 0x56));
    QVERIFY(!good.isEmpty());
    const QByteArray picture = readFile(good);
    QStringList args{QStringLiteral("--picture"), path};
    if (kind == QLatin1String("empty"))
        writeFile(path, QByteArray());
    else if (kind == QLatin1String("text"))
        writeFile(path, "a desktop, in words\n");
    else if (kind == QLatin1String("truncated"))
        writeFile(path, picture.left(picture.size() / 2));
    else if (kind == QLatin1String("large") || kind == QLatin1String("claims"))
        QVERIFY(
            run(QStringLiteral("python3"),
                {QStringLiteral(MIRABOU_PNG_MAKER),
                 kind == QLatin1String("large") ? QStringLiteral("5000") : QStringLiteral("30000"),
                 kind == QLatin1String("large") ? QStringLiteral("whole") : QStringLiteral("claim"),
                 path})
                .isEmpty());
    else if (kind == QLatin1String("web"))
        args << QStringLiteral("--uri") << QStringLiteral("https://example.org/desktop.png");
    else if (kind == QLatin1String("number"))
        args << QStringLiteral("--uri") << QStringLiteral("<number>");
    QVERIFY(f.start(args));
    const auto peak = [] { // VmHWM, in KiB
        const QByteArray status = readFile(QStringLiteral("/proc/self/status"));
        const qsizetype at = status.indexOf("VmHWM:");
        return status.mid(at + 6, status.indexOf('\n', at) - at - 6)
            .trimmed()
            .split(' ')[0]
            .toLong();
    };
    const long before = peak();
    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Unreadable);
    QVERIFY(f.context->frozenScreens().empty());
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#FFFFFF"));
    f.release();
    QCOMPARE(f.eye(), QStringLiteral("#FFFFFF"));
    QVERIFY2(peak() - before < 32 * 1024, QByteArray::number(peak() - before));
    if (kind == QLatin1String("web") || kind == QLatin1String("number"))
        return;
    // A sound picture at the next pick.
    writeFile(path, picture);
    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#123456"));
    f.release();
}

void tst_Portal::noPortal_data() {
    QTest::addColumn<QStringList>("portalArgs");
    QTest::addColumn<PickFailure>("why");
    QTest::newRow("no portal on the bus") << QStringList() << PickFailure::NoPortal;
    QTest::newRow("call never answered")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("hang")}
        << PickFailure::NoPortal;
    QTest::newRow("response never comes")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("silent")}
        << PickFailure::NoAnswer;
}

void tst_Portal::noPortal() {
    QFETCH(QStringList, portalArgs);
    QFETCH(PickFailure, why);
    Fixture f;
    QVERIFY(f.start(portalArgs, {300, 600, 600}));
    QSignalSpy told(&f.program->form1.eyeWizard(), &TEyeWizard::pickFailed);
    // The log says why (a warning, shown without any rules set).
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(QStringLiteral("^the pick reads nothing: ") +
                           QRegularExpression::escape(QLatin1String(pickFailureText(why)))));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".")));
    f.press();
    // The wait is bounded; then the pick ends with the colour and the eye
    // colour as before the press (no picture is not a white desktop), and
    // the user is told why.
    QTRY_VERIFY_WITH_TIMEOUT(!f.picking(), 3000);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.front().front().value<PickFailure>(), why);
    QCOMPARE(f.context->stage(), Stage::Idle);
    f.moveOverButton();
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    f.release();
    QVERIFY(!f.picking());
    QCOMPARE(f.eye(), QStringLiteral("Not Set"));
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    // Said beside the button, in the window's language.
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QString::fromLatin1(i18n::PickFailedTexts[int(why)].def));
}

void tst_Portal::pickerNeverAnswers() {
    Fixture f;
    QVERIFY(f.start({QStringLiteral("--screenshot"), QStringLiteral("refuse"),
                     QStringLiteral("--pickcolor"), QStringLiteral("silent")},
                    {300, 600, 600}));
    f.press();
    QTRY_COMPARE(f.context->stage(), Stage::Picker);
    f.release();
    QTRY_VERIFY_WITH_TIMEOUT(!f.picking(), 3000);
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    QCOMPARE(f.eye(), QStringLiteral("#000000"));
}

void tst_Portal::sampledFromThePicture_data() {
    QTest::addColumn<int>("sample");
    QTest::addColumn<QPoint>("picked"); // logical, a picture pixel each
    QTest::addColumn<bool>("early");    // released before the picture came
    QTest::addColumn<QString>("colour");
    // Red where x + y is even, blue where odd: around a red pixel a square
    // of n holds (n * n + 1) / 2 red ones.
    QTest::newRow("3 on red") << 3 << QPoint(100, 50) << false << "#8E0071";
    QTest::newRow("3 on blue") << 3 << QPoint(101, 50) << false << "#71008E";
    QTest::newRow("9 on red") << 9 << QPoint(300, 200) << false << "#81007E";
    QTest::newRow("3 at the corner: two and two, a half up")
        << 3 << QPoint(0, 0) << false << "#800080";
    QTest::newRow("5 at the corner: what the screen shows")
        << 5 << QPoint(0, 0) << false << "#8E0071";
    QTest::newRow("1 on red") << 1 << QPoint(100, 50) << false << "#FF0000";
    QTest::newRow("3 on blue, released before the picture")
        << 3 << QPoint(101, 50) << true << "#71008E";
    QTest::newRow("5 at the corner, released before the picture")
        << 5 << QPoint(0, 0) << true << "#8E0071";
}

void tst_Portal::sampledFromThePicture() {
    QFETCH(int, sample);
    QFETCH(QPoint, picked);
    QFETCH(bool, early);
    QFETCH(QString, colour);
    Fixture f;
    QImage picture(QGuiApplication::primaryScreen()->virtualGeometry().size(),
                   QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
    const QString path = f.dir.filePath(QStringLiteral("checkerboard.png"));
    QVERIFY(picture.save(path));
    QStringList portal{QStringLiteral("--picture"), path};
    if (early)
        portal << QStringLiteral("--delay") << QStringLiteral("300");
    QVERIFY(f.start(portal));
    f.w().eyeWizard().setSampleSize(sample);
    f.press();
    if (early) {
        // The release over the button, where Qt sees the pointer: picked
        // there once the picture comes (the window is not in the picture).
        f.moveOverButton();
        const QPoint up = f.wand()->mapFromGlobal(picked);
        QTest::mouseRelease(f.wand(), Qt::LeftButton, {}, up);
        QCOMPARE(f.context->stage(), Stage::Releasing);
        QTRY_VERIFY(!f.picking());
        QCOMPARE(f.eye(), colour);
        return;
    }
    QTRY_COMPARE(f.context->stage(), Stage::Frozen);
    TFrozenScreen* window = f.context->frozenScreens().front();
    QTRY_VERIFY(window->isVisible());
    sendMouse(window, QEvent::MouseMove, QPointF(picked) + QPointF(0.5, 0.5) - window->origin());
    QCOMPARE(f.header(), colour);
    // The magnifier frames the square the pick averages: its rings stand
    // around the cells of the square, off the picked cell's neighbours.
    const QImage shown = window->grab(window->magnifierRect()).toImage();
    const QPoint middle = QPoint(1, 1) + QPoint(66, 66) * shown.devicePixelRatio();
    const int edge = middle.x() - 4 - sample / 2 * 8; // the square's left edge
    QCOMPARE(shown.pixel(edge - 1, middle.y()) & 0xFFFFFF, 0xFFFFFFu);
    QCOMPARE(shown.pixel(edge - 2, middle.y()) & 0xFFFFFF, 0u);
    if (sample > 1) {
        const QPoint left = picked - QPoint(1, 0);
        if (left.x() >= 0)
            QCOMPARE(QColor(shown.pixel(middle.x() - 8, middle.y())), QColor(picture.pixel(left)));
    }
    sendMouse(window, QEvent::MouseButtonRelease,
              QPointF(picked) + QPointF(0.5, 0.5) - window->origin());
    QVERIFY(!f.picking());
    QCOMPARE(f.eye(), colour);
}

void tst_Portal::releaseBeforeThePicture_data() {
    QTest::addColumn<int>("delay"); // of the portal's answer, in ms
    QTest::newRow("answered 0.1 s after the press") << 100;
    QTest::newRow("answered 1 s after the press") << 1000;
    QTest::newRow("answered 3 s after the press") << 3000;
}

void tst_Portal::releaseBeforeThePicture() {
    // A slow desktop: the button is up before its picture comes. The pick
    // ends where the button came up, read from the picture once it comes.
    QFETCH(int, delay);
    Fixture f;
    const QString path = f.dir.filePath(QStringLiteral("desktop.png"));
    QVERIFY(f.start({QStringLiteral("--picture"), path, QStringLiteral("--delay"),
                     QString::number(delay), QStringLiteral("--copy")}));
    // The window is shown elsewhere than Qt believes it is.
    QImage picture = patterned(QGuiApplication::primaryScreen()->virtualGeometry().size());
    const QPoint real(37, 53);
    {
        QPainter painter(&picture);
        painter.drawImage(real, f.program->form1.grab().toImage());
    }
    QVERIFY(picture.save(path));
    QSignalSpy told(&f.program->form1.eyeWizard(), &TEyeWizard::pickFailed);

    const QPoint up(-150, 260); // the release, in the button's coordinates
    const QPoint inWindow = f.wand()->mapTo(&f.program->form1, up);
    const QString expected = hexOf(pictureColor(real.x() + inWindow.x(), real.y() + inWindow.y()));
    f.press();
    f.moveOverButton();
    // A desktop that draws the pointer into its picture (KWin) shows there
    // what lies under the hot spot: the shape leaves its middle empty.
    QCOMPARE(f.context->stage(), Stage::Requesting);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->pixmap().toImage(),
             pickcursor::cursor(pickcursor::Kind::Aiming).pixmap().toImage());
    QTest::mouseRelease(f.wand(), Qt::LeftButton, {}, up);
    // Meanwhile the pick is under way, and the pointer says so.
    QVERIFY(f.picking());
    QCOMPARE(f.context->stage(), Stage::Releasing);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->pixmap().toImage(),
             pickcursor::cursor(pickcursor::Kind::Waiting).pixmap().toImage());
    QCOMPARE(f.header(), QStringLiteral("#000000"));

    QTRY_VERIFY_WITH_TIMEOUT(!f.picking(), delay + 3000);
    QCOMPARE(f.header(), expected);
    QCOMPARE(f.eye(), expected);
    QCOMPARE(f.red(), expected.mid(1, 2));
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(f.context->stage(), Stage::Idle);
    QVERIFY(f.context->frozenScreens().empty());
    QCOMPARE(told.size(), 0);
    // The picture made for it goes; the one it was made from stays.
    QTRY_VERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("desktop-1.png"))));
    QVERIFY(QFile::exists(path));
}

void tst_Portal::pickCursorLeavesItsMiddleClear_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("aiming") << int(pickcursor::Kind::Aiming);
    QTest::newRow("waiting") << int(pickcursor::Kind::Waiting);
}

void tst_Portal::pickCursorLeavesItsMiddleClear() {
    QFETCH(int, kind);
    const QCursor cursor = pickcursor::cursor(pickcursor::Kind(kind));
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    const qreal ratio = cursor.pixmap().devicePixelRatio();
    // The hot spot in the image's own pixels, and the widest area a pick
    // averages (9 x 9 device pixels, at scale 1 the most logical pixels)
    // with a pixel more around it.
    const QPointF hot = (QPointF(cursor.hotSpot()) + QPointF(0.5, 0.5)) * ratio; // its middle
    QCOMPARE(hot, QPointF(image.width() / 2.0, image.height() / 2.0));
    const qreal clear = 5 * ratio;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (std::abs(x + 0.5 - hot.x()) <= clear && std::abs(y + 0.5 - hot.y()) <= clear)
                QVERIFY2(alpha == 0, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            else if (alpha == 255)
                ++opaque;
        }
    }
    QVERIFY2(opaque > 60, "the cross is drawn"); // four arms, black on white
}

void tst_Portal::lateScreenshotIsDropped_data() {
    QTest::addColumn<QString>("late");
    QTest::newRow("answered after the cancel") << "answer";
    // The answer comes while the button is held, but its picture is read
    // only once that pick was cancelled (the events that bring it are
    // handled after the test's own).
    QTest::newRow("read after the cancel") << "picture";
    QTest::newRow("read after the next press") << "picture, next press";
}

void tst_Portal::lateScreenshotIsDropped() {
    QFETCH(QString, late);
    Fixture f;
    const QString path = f.writePlainPicture(qRgb(0xAB, 0xCD, 0xEF));
    QVERIFY(!path.isEmpty());
    QVERIFY(f.start({QStringLiteral("--picture"), path, QStringLiteral("--delay"),
                     QStringLiteral("300"), QStringLiteral("--copy")}));

    if (late != QLatin1String("answer")) {
        // The late picture freezes neither its own pick nor the next, and
        // its file goes all the same; the next pick shows its own picture.
        f.press();
        QVERIFY(QTest::qWaitFor([&] { return !f.context->frozenScreens().empty(); }));
        QTest::keyClick(&f.program->form1, Qt::Key_Escape);
        QVERIFY(!f.picking());
        QVERIFY(!f.writePlainPicture(qRgb(0x12, 0x34, 0x56)).isEmpty());
        if (late == QLatin1String("picture")) {
            QTest::qWait(150);
            QCOMPARE(f.context->stage(), Stage::Idle);
            QVERIFY(f.context->frozenScreens().empty());
            QCOMPARE(f.header(), QStringLiteral("#000000"));
        }
        f.release();
        f.press();
        QTest::qWait(150);
        QCOMPARE(f.context->stage(), Stage::Requesting);
        QTRY_VERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("plain-1.png"))));
        QTRY_COMPARE(f.context->stage(), Stage::Frozen);
        f.moveOverButton();
        QCOMPARE(f.header(), QStringLiteral("#123456"));
        f.release();
        QCOMPARE(f.eye(), QStringLiteral("#123456"));
        QTRY_VERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("plain-2.png"))));
        return;
    }

    // Cancelled before the portal's answer.
    f.press();
    QCOMPARE(f.context->stage(), Stage::Requesting);
    f.moveOverButton();
    QTest::keyClick(&f.program->form1, Qt::Key_Escape);
    QVERIFY(!f.picking());
    QCOMPARE(f.context->stage(), Stage::Idle);
    f.release();
    // The late answer's file, made for the request, goes all the same (a
    // desktop makes the picture of a request given up, closed or not); the
    // file it was copied from stays. Nothing else comes of the answer.
    const QString made = f.dir.filePath(QStringLiteral("plain-1.png"));
    QStringList calls;
    const auto wrote = [&] {
        calls += f.calls();
        return calls.contains(QStringLiteral("wrote ") + made);
    };
    QTRY_VERIFY_WITH_TIMEOUT(wrote(), 5000);
    QTRY_VERIFY(!QFile::exists(made));
    QVERIFY(QFile::exists(path));
    QTest::qWait(100);
    QCOMPARE(f.context->stage(), Stage::Idle);
    QVERIFY(f.context->frozenScreens().empty());
    QCOMPARE(f.header(), QStringLiteral("#000000"));
    QCOMPARE(f.eye(), QStringLiteral("Not Set"));
}

void tst_Portal::realPortal_data() {
    QTest::addColumn<QString>("desktop"); // as portal_stack.sh names it
    QTest::addColumn<int>("scale");       // the output's, as the program sees it
    // Device pixels per logical one in the desktop's picture, and logical
    // ones per point of the program's window. Mutter places windows in
    // device pixels on an output scaled by a whole number, and tells its
    // clients that they are logical ones: the picture is then at one pixel
    // per point, and a window's point spans two. Sway scales by 1.5 a
    // window drawn at 2.
    QTest::addColumn<double>("pictureScale");
    QTest::addColumn<int>("windowPoints");
    QTest::addColumn<QString>("portalFile"); // where the portal leaves its picture
    // Whether the desktop asks before a screenshot, and the user's answer:
    // "" (it does not ask), "unasked", "allowed", "refused".
    QTest::addColumn<QString>("permission");
    QTest::addColumn<QColor>("background"); // of the bare desktop
    // Two: a second output right of the first, at two as Qt sees it.
    QTest::addColumn<int>("outputs");
    const QString wlroots = QStringLiteral("/tmp/out.png");
    const QString gnome = QStringLiteral("~/Pictures/Screenshot.png");
    const QColor blue(0x12, 0x34, 0x56);
    QTest::newRow("wlroots") << "wlroots" << 1 << 1.0 << 1 << wlroots << "" << blue << 1;
    QTest::newRow("wlroots xwayland") << "wlroots" << 1 << 1.0 << 1 << wlroots << "" << blue << 1;
    QTest::newRow("wlroots scale 2") << "wlroots" << 2 << 2.0 << 1 << wlroots << "" << blue << 1;
    QTest::newRow("wlroots scale 1.5") << "wlroots" << 2 << 1.5 << 1 << wlroots << "" << blue << 1;
    // The picture at the larger scale; the smaller output's enlarged in it.
    QTest::newRow("wlroots two outputs 1 and 2")
        << "wlroots" << 1 << 2.0 << 1 << wlroots << "" << blue << 2;
    QTest::newRow("wlroots two outputs 1 and 1.5")
        << "wlroots" << 1 << 1.5 << 1 << wlroots << "" << blue << 2;
    QTest::newRow("gnome unasked") << "gnome" << 1 << 1.0 << 1 << gnome << "unasked" << blue << 1;
    QTest::newRow("gnome") << "gnome" << 1 << 1.0 << 1 << gnome << "allowed" << blue << 1;
    QTest::newRow("gnome refused") << "gnome" << 1 << 1.0 << 1 << gnome << "refused" << blue << 1;
    QTest::newRow("gnome scale 2") << "gnome" << 2 << 1.0 << 2 << gnome << "allowed" << blue << 1;
    QTest::newRow("gnome two monitors 1 and 2")
        << "gnome" << 1 << 1.0 << 1 << gnome << "allowed" << blue << 2;
    // Without Plasma's shell, KWin's desktop is bare black.
    const QString kde = QStringLiteral("~/Pictures/Screenshot.png");
    const QColor black(Qt::black);
    QTest::newRow("kde") << "kde" << 1 << 1.0 << 1 << kde << "" << black << 1;
    QTest::newRow("kde scale 2") << "kde" << 2 << 2.0 << 1 << kde << "" << black << 1;
    QTest::newRow("kde scale 1.5") << "kde" << 2 << 1.5 << 1 << kde << "" << black << 1;
    QTest::newRow("kde two outputs 1 and 2") << "kde" << 1 << 2.0 << 1 << kde << "" << black << 2;
}

void tst_Portal::realPortal() {
    // Run by portal_stack.sh, a row at a time, inside the desktop it names:
    // a real compositor with its own portal, its bare desktop in one colour.
    if (qEnvironmentVariableIsEmpty("MIRABOU_REAL_PORTAL"))
        QSKIP("needs the real stack (portal_stack.sh)");
    QFETCH(QString, desktop);
    QFETCH(int, scale);
    QFETCH(double, pictureScale);
    QFETCH(int, windowPoints);
    QFETCH(QString, portalFile);
    QFETCH(QString, permission);
    const bool asks = permission == QLatin1String("unasked");
    const bool refused = permission == QLatin1String("refused");
    QFETCH(QColor, background);
    const PackedColor bare = packColor(background.red(), background.green(), background.blue());
    QCOMPARE(qEnvironmentVariable("MIRABOU_REAL_PORTAL"), desktop);
    portalFile.replace(QLatin1Char('~'), QDir::homePath());
    // As a Wayland client, and as an X11 client of XWayland, whose root
    // window holds only the X11 windows: the portal either way.
    std::unique_ptr<ScreenContext> opened = openScreenContext();
    auto* portalContext = dynamic_cast<PortalScreenContext*>(opened.get());
    QVERIFY2(portalContext, qPrintable(QGuiApplication::platformName() +
                                       QStringLiteral(": the screen is read through the portal")));
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), qreal(scale));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint bareAt(5, screen.height() - 5); // the desktop's own, bare
    QFETCH(int, outputs);
    const std::unique_ptr<Desktop> session = openDesktop(desktop);
    QVERIFY2(session->ready(), "no pointer on the desktop's seat");
    session->scale = pictureScale;

    // Two outputs: a window of the test's own on each, on either side of the
    // edge between them, each of one colour with a square of cells of two
    // other colours, a device pixel each. Whole-program picks end on either
    // side of the edge.
    std::optional<Marker> left, right;
    QList<std::pair<QPoint, QString>> releases; // where, and the colour picked
    if (outputs == 2) {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QScreen* first = QGuiApplication::screenAt(QPoint(0, 0));
        QVERIFY(first);
        QScreen* second = QGuiApplication::screens().value(first == QGuiApplication::screens()[0]);
        QCOMPARE(second->devicePixelRatio(), 2.0);
        const int edge = second->geometry().left();
        QCOMPARE(first->geometry().right() + 1, edge);
        left.emplace(qRgb(0xFE, 0xDC, 0xBA), qRgb(0xFF, 0, 0), qRgb(0, 0, 0xFF),
                     QRect(20, 40, 40, 40), QStringLiteral("marker left"));
        right.emplace(qRgb(0x3C, 0x9A, 0x5F), qRgb(0, 0xFF, 0), qRgb(0xFF, 0, 0xFF),
                      QRect(140, 40, 40, 40), QStringLiteral("marker right"));
        const int top = 100;
        const auto placeOf = [&](const Marker* marker) {
            return QPoint(marker == &*left ? edge - marker->width() : edge, top);
        };
        for (Marker* marker : {&*left, &*right}) {
            const QPoint place = placeOf(marker);
            // Opened on its output (where the pointer is), drawn at its scale
            // from the start.
            QVERIFY(session->pointer(place.x() + 100, place.y() + 300, false));
            marker->show();
            QVERIFY(QTest::qWaitForWindowExposed(marker));
            const auto placed = [&] {
                if (!session->place(marker->windowTitle(), place))
                    return false;
                for (const QRect& window : session->windows(QStringLiteral("tst_portal")))
                    if (window.topLeft() == place)
                        return true;
                return false;
            };
            // Once per turn: a place asked again may read otherwise (mutter
            // moves a window it has just placed on a scaled monitor by a
            // pixel or two, and back at the next request).
            bool done = false;
            for (QDeadlineTimer deadline(10000); !done && !deadline.hasExpired();) {
                done = placed();
                if (!done)
                    QTest::qWait(50);
            }
            QVERIFY2(done, qPrintable(marker->windowTitle()));
        }
        const int y = top + 20; // beside the edge, in one colour either side
        // Where each shows its cells (mutter spans a point of a window on a
        // monitor scaled by two with two of its pixels).
        const auto shownAt = [&](const Marker* marker) {
            for (const QRect& window : session->windows(QStringLiteral("tst_portal"))) {
                if (window.topLeft() ==
                    QPoint(marker == &*left ? edge - window.width() : edge, top))
                    return window;
            }
            return QRect();
        };
        const auto cellsAt = [&](const Marker* marker) {
            const QRect window = shownAt(marker);
            return window.isNull()
                       ? QPointF()
                       : QPointF(window.topLeft()) +
                             QPointF(marker->cells().center()) * window.width() / marker->width();
        };
        // Drawn there at each output's scale, as large as the desktop makes
        // them once they have settled.
        QList<QPointF> settled, was;
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired();) {
            QTest::qWait(300);
            was = std::exchange(settled, {cellsAt(&*left), cellsAt(&*right)});
            if (settled == was && !settled.contains(QPointF()))
                break;
            // Mutter may move a window again once it draws at its monitor's
            // scale (a pixel or two): back to its place.
            for (Marker* marker : {&*left, &*right})
                session->place(marker->windowTitle(), placeOf(marker));
        }
        QVERIFY2(settled == was && !settled.contains(QPointF()),
                 qPrintable(QDebug::toString(session->windows(QStringLiteral("tst_portal")))));
        // Its cells drawn at its output's scale: a window first drawn at one
        // and told its output's scale later (a loaded machine) shows cells
        // of two device pixels until it draws again.
        for (Marker* marker : {&*left, &*right}) {
            const qreal ratio = (marker == &*left ? first : second)->devicePixelRatio();
            QTRY_VERIFY_WITH_TIMEOUT(marker->paintedRatio() == ratio, 10000);
        }

        // Painted is not yet shown: on a loaded machine the desktop can take
        // its picture before the buffer drawn at the output's scale reached
        // it (a window first drawn at the other output's scale shows cells
        // of two pixels). Where a marker's cell is one pixel of the picture,
        // the picture must show neighbours that differ; until it does, the
        // pick is taken again.
        const auto cellsShown = [&] {
            const QImage& picture = portalContext->picture();
            for (Marker* marker : {&*left, &*right}) {
                const qreal ratio = (marker == &*left ? first : second)->devicePixelRatio();
                if (qreal(shownAt(marker).width()) / marker->width() / ratio * pictureScale != 1)
                    continue;
                const QPointF at =
                    (cellsAt(marker) - QPointF(first->virtualGeometry().topLeft())) * pictureScale;
                const QPoint p(int(std::floor(at.x())), int(std::floor(at.y())));
                if (picture.pixel(p) == picture.pixel(p + QPoint(1, 0)))
                    return false;
            }
            return true;
        };
        for (QDeadlineTimer deadline(10000);; QTest::qWait(300)) {
            portalContext->beginPick(pickHandlers([] {}, [] {}));
            QTRY_VERIFY_WITH_TIMEOUT(portalContext->stage() != Stage::Requesting, 10000);
            QCOMPARE(portalContext->stage(), Stage::Frozen);
            QCOMPARE(portalContext->picture().size(),
                     (QSizeF(first->virtualGeometry().size()) * pictureScale).toSize());
            if (cellsShown() || deadline.hasExpired())
                break;
            qInfo("the desktop's picture does not yet show the cells drawn: taken again");
            portalContext->cancelPick();
        }
        // Below the smaller output no screen shows anything: nothing is read
        // there (the picture holds no colour of the desktop's).
        const QSize whole = portalContext->picture().size();
        QCOMPARE(portalContext->pixel(QPoint(whole.width() - 1, whole.height() - 1)),
                 UnreadablePixel);
        // A frozen screen over each output, as the desktop places them.
        QTRY_VERIFY_WITH_TIMEOUT(
            session->windows(QStringLiteral("tst_portal")).contains(first->geometry()) &&
                session->windows(QStringLiteral("tst_portal")).contains(second->geometry()),
            5000);
        std::map<QScreen*, TFrozenScreen*> frozenOn;
        for (TFrozenScreen* window : portalContext->frozenScreens()) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            frozenOn[window->screen()] = window;
        }
        QCOMPARE(int(frozenOn.size()), 2);
        QCOMPARE(frozenOn[second]->devicePixelRatioF(), 2.0);
        // The pointer at a desktop point over the frozen screen of screen.
        const auto moveTo = [&](QScreen* on, QPointF at) {
            TFrozenScreen* window = frozenOn[on];
            const QPointF local =
                (at - QPointF(on->geometry().topLeft())) * window->width() / on->geometry().width();
            QMouseEvent move(QEvent::MouseMove, local, at, Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(window, &move);
            return local;
        };
        const auto rgb = [](QRgb c) { return packColor(qRed(c), qGreen(c), qBlue(c)); };
        // Either side of the edge, the pick and the frozen screen show the
        // output's own pixel there.
        for (const auto& [output, x, colour] : {std::tuple{first, edge - 1, left->colour()},
                                                std::tuple{second, edge, right->colour()}}) {
            const QPointF local = moveTo(output, QPoint(x, y));
            QCOMPARE(portalContext->pixel(portalContext->cursorPos()), rgb(colour));
            const QImage shown = frozenOn[output]->grab().toImage();
            const QPointF device = local * shown.devicePixelRatio();
            QCOMPARE(rgb(shown.pixel(int(device.x()), int(device.y()))), rgb(colour));
        }
        // Over each output's cells, the magnifier's cells are the device
        // pixels of that output: one cell each, so neighbours differ. Where
        // the picture shows the output at its own scale, they are its very
        // colours.
        // (At 1.5, Qt draws at two what the desktop shows shrunk: the test's
        // cells are no device pixels there.)
        for (Marker* marker : {&*left, &*right}) {
            QScreen* output = marker == &*left ? first : second;
            if (output == second && pictureScale != std::floor(pictureScale))
                continue;
            moveTo(output, cellsAt(marker));
            // An arrow key moves the pick to the next device pixel.
            const QPoint from = portalContext->cursorPos();
            const PackedColor here = portalContext->pixel(from);
            portalContext->nudge(QPoint(1, 0));
            const QPoint to = portalContext->cursorPos();
            QVERIFY2(portalContext->pixel(to) != here,
                     qPrintable(QStringLiteral("%1 shown at %2, cells at %3: picture pixels %4 "
                                               "then %5, both %6")
                                    .arg(marker->windowTitle(), QDebug::toString(shownAt(marker)),
                                         QDebug::toString(cellsAt(marker)), QDebug::toString(from),
                                         QDebug::toString(to), QString::number(here, 16))));
            portalContext->nudge(QPoint(-1, 0));
            TLoupe loupe;
            loupe.read(*portalContext, true);
            const QRect magnified = frozenOn[output]->magnifierRect();
            QVERIFY(!magnified.isEmpty());
            const QImage cells = frozenOn[output]->grab(magnified).toImage();
            const int middle = qRound(67 * cells.devicePixelRatio());
            QList<QRgb> row;
            for (const int cell : {-3, -2, -1, 1, 2, 3}) // the middle one is ringed
                row << cells.pixel(middle + 8 * cell, middle + 8 * 3);
            for (int i = 0; i + 1 < row.size(); ++i) {
                QVERIFY2(row[i] != row[i + 1] || i == 2, qPrintable(hexOf(row[i])));
                if (output->devicePixelRatio() == pictureScale)
                    QVERIFY2((row[i] & 0xFFFFFF) == (marker->even() & 0xFFFFFF) ||
                                 (row[i] & 0xFFFFFF) == (marker->odd() & 0xFFFFFF),
                             qPrintable(hexOf(row[i])));
            }
            loupe.hide(portalContext);
        }
        QVERIFY(portalContext->endPick());
        releases = {{QPoint(edge, y), hexOf(right->colour())},
                    {QPoint(edge - 1, y), hexOf(left->colour())}};
    } else if (!asks && !refused) {
        // A window of the test's own, of a fixed size so the compositor
        // floats it where it likes; the context must find it in the picture.
        QWidget window;
        window.setFixedSize(300, 200);
        window.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0xFE, 0xDC, 0xBA));
        window.setPalette(palette);
        auto* label = new QLabel(QStringLiteral("Mirabou #FF8000"), &window);
        label->setGeometry(20, 20, 260, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(300); // drawn on the screen, not only to the buffer
        int moves = 0, released = 0;
        portalContext->beginPick(pickHandlers([&] { ++moves; }, [&] { ++released; }, &window));
        QTRY_VERIFY_WITH_TIMEOUT(portalContext->stage() != Stage::Requesting, 10000);
        QCOMPARE(portalContext->stage(), Stage::Frozen);
        QCOMPARE(portalContext->picture().size(), screen.size() * pictureScale);
        // The picture counts device pixels, the desktop logical ones.
        const auto device = [pictureScale](QPointF logical) {
            return (logical * pictureScale).toPoint();
        };
        QCOMPARE(portalContext->pixel(device(bareAt)), bare);
        // The window is found in the picture to the pixel, also where the
        // desktop shrinks it, and each of its points spans windowPoints.
        const std::optional<QPointF> found = portalContext->windowInPicture();
        QVERIFY2(found, "the window was not found in the screenshot");
        const double points = windowPoints;
        QCOMPARE(portalContext->pixel(device(*found + QPointF(3, 150) * points)),
                 packColor(0xFE, 0xDC, 0xBA));
        QCOMPARE(portalContext->pixel(device(*found + QPointF(-1, 150))), bare);
        const std::vector<TFrozenScreen*> frozen = portalContext->frozenScreens();
        QCOMPARE(int(frozen.size()), int(QGuiApplication::screens().size()));
        QVERIFY(QTest::qWaitForWindowExposed(frozen.front()));
        // A move over the frozen picture reads the pixel under it, however
        // large the desktop made the window.
        QMouseEvent move(QEvent::MouseMove, QPointF(100, 100),
                         frozen.front()->mapToGlobal(QPointF(100, 100)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(frozen.front(), &move);
        QCOMPARE(portalContext->cursorPos(), device(QPointF(100, 100) * points));
        // The magnifier drawn inside the frozen screen shows the picture's
        // pixels, a cell of eight device pixels each.
        const QPoint picked = portalContext->cursorPos();
        portalContext->showMagnifier(
            {portalContext->area(QRect(picked - QPoint(7, 7), QSize(15, 15))), 8, QString()});
        const QRect magnified = frozen.front()->magnifierRect();
        QVERIFY(!magnified.isEmpty());
        const QImage shown = frozen.front()->grab(magnified).toImage();
        const int middle = qRound(67 * shown.devicePixelRatio());
        for (const int cell : {0, 1, -2}) {
            const QRgb c = shown.pixel(middle + 8 * cell, middle + 8 * 3);
            QCOMPARE(packColor(qRed(c), qGreen(c), qBlue(c)),
                     portalContext->pixel(picked + QPoint(cell, 3)));
        }
        QVERIFY(portalContext->endPick());
        QCOMPARE(portalContext->stage(), Stage::Idle);
        QCOMPARE(released, 0);

        // The portal's picture made for the pick goes; a file that was
        // there before, under the same name, stays. (wlroots writes over it,
        // GNOME beside it, KDE names its pictures by the time.)
        const QFileInfo named(portalFile);
        const QStringList portalNames{named.completeBaseName() + QStringLiteral("*.") +
                                      named.suffix()};
        QVERIFY2(named.dir().entryList(portalNames, QDir::Files).isEmpty(),
                 "the portal's picture was left behind");
        writeFile(portalFile, "there before");
        // Before the request by the file system's clock, which stamps a
        // file with the time of its last tick (up to 10 ms behind).
        QTest::qWait(20);
        portalContext->beginPick(pickHandlers([] {}, [] {}, &window));
        QTRY_VERIFY_WITH_TIMEOUT(portalContext->stage() != Stage::Requesting, 10000);
        QCOMPARE(portalContext->stage(), Stage::Frozen);
        QVERIFY(portalContext->endPick());
        QCOMPARE(named.dir().entryList(portalNames, QDir::Files), QStringList{named.fileName()});
        QFile::remove(portalFile);
        window.hide();
    }

    // The whole program, driven from outside as a user would through the
    // seat's pointer: press on the Eye Wizard, move over the #123456
    // background, release there, then Copy HEX Value.
    if (outputs == 2) // opened on the first output, where the pointer is
        QVERIFY(session->pointer(100, 100, false));
    QTemporaryDir folder;
    QVERIFY(copyProgram(folder.path()));
    QProcess program;
    // What it says of its picks shows beside the test's own output.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mirabou.*=true"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(folder.filePath(QStringLiteral("Mirabou")), {});
    QVERIFY(program.waitForStarted());
    // Ended as closing its window ends it, also when a check fails: a
    // program killed amid a pick could not take its picture away, and the
    // next row would meet it.
    const auto end = qScopeGuard([&program] {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(10000))
                program.kill();
        }
    });
    // Where the desktop placed the window, once it stays there: a window
    // may be known before it is placed.
    const QRect at = session->settledWindow(QStringLiteral("mirabou"));
    QVERIFY(at.isValid());
    const auto inWindow = [&](int x, int y) { return at.topLeft() + QPoint(x, y) * windowPoints; };
    const QPoint eyeWizard = inWindow(EyeWizardX, ButtonY);
    const QPoint copyHex = inWindow(CopyHexX, ButtonY);
    // Where the window is not shown pixel for pixel, the pick ends on the
    // bare desktop at a place that a wrong reading of the window's points
    // would take onto the program's own window: each taken for one desktop
    // point (mutter), or the window taken to be where Qt believes it is (at
    // the desktop's corner, where the window is not found in the picture).
    QPoint target = bareAt;
    if (windowPoints != 1)
        target = at.center() * windowPoints;
    else if (scale != pictureScale && outputs == 1)
        target = at.topLeft() + at.center();
    QString picked = background.name(QColor::HexRgb).toUpper();
    if (!releases.isEmpty())
        std::tie(target, picked) = releases.takeFirst();
    // KWin's bare desktop is black, the colour the program starts with: there
    // the pick ends over a window of the test's own, moved apart.
    // On sway at scale 1, the pick ends a pixel left of such a window and
    // the arrow key moves the picked point onto it.
    const bool nudge = desktop == QLatin1String("wlroots") && scale == 1 && outputs == 1 &&
                       QGuiApplication::platformName() == QLatin1String("wayland");
    QWidget marker;
    QPoint markerAt; // amid the marker, where it is shown
    if ((desktop == QLatin1String("kde") && outputs == 1) || nudge) {
        marker.setFixedSize(200, 150);
        marker.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0xFE, 0xDC, 0xBA));
        marker.setPalette(palette);
        marker.setWindowTitle(QStringLiteral("marker"));
        marker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&marker));
        const QPoint place(screen.width() - 250, screen.height() - 200);
        QVERIFY(
            session->placeToStay(QStringLiteral("marker"), QStringLiteral("tst_portal"), place));
        target = place + (nudge ? QPoint(-1, 75) : QPoint(100, 75));
        markerAt = place + QPoint(100, 75);
        picked = QStringLiteral("#FEDCBA");
    }
    QVERIFY(QGuiApplication::primaryScreen()->virtualGeometry().contains(target) &&
            !at.contains(target));
    const auto click = [&](QPoint p) {
        return session->pointer(p.x(), p.y(), false) && session->pointer(p.x(), p.y(), true) &&
               session->pointer(p.x(), p.y(), false);
    };
    const auto pick = [&] {
        return session->pointer(eyeWizard.x(), eyeWizard.y(), false) &&
               session->pointer(eyeWizard.x(), eyeWizard.y(), true);
    };
    const auto frozen = [&] {
        return session->windows(QStringLiteral("mirabou")).contains(QRect(QPoint(), screen.size()));
    };
    const auto moveAndRelease = [&] {
        bool done = true;
        for (const int x : {200, 100, target.x()})
            done = session->pointer(x, target.y(), true) && done;
        done = session->pointer(target.x(), target.y(), false) && done;
        QTest::qWait(300);
        return done;
    };

    if (asks) {
        // The first press asks the user; the question may stay open long
        // after the button is up. Meanwhile nothing is frozen, the colour
        // stays, and the program neither hangs nor gives up on the answer.
        QVERIFY(pick());
        QTRY_VERIFY_WITH_TIMEOUT(session->asking(), 20000);
        QVERIFY(moveAndRelease());
        QTest::qWait(6000); // past the program's own wait for the picture
        QVERIFY(session->asking());
        QVERIFY(!frozen());
        QFileSystemWatcher pictures({QFileInfo(portalFile).path()});
        QSignalSpy written(&pictures, &QFileSystemWatcher::directoryChanged);
        QVERIFY(session->allow());
        QTRY_VERIFY_WITH_TIMEOUT(!session->asking(), 5000);
        // The answer brings a screenshot for a pick long over: its file
        // goes all the same.
        QTRY_VERIFY_WITH_TIMEOUT(!written.isEmpty(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            QDir(QFileInfo(portalFile).path()).entryList(QDir::Files).isEmpty(), 5000);
        QVERIFY(click(copyHex));
        QCOMPARE(session->clipboardOnce(QStringLiteral("#000000")), QStringLiteral("#000000"));
    }
    if (refused) {
        // Screenshots refused: the desktop's own picker runs, and the colour
        // it picks becomes the program's.
        QVERIFY(pick());
        QTRY_VERIFY_WITH_TIMEOUT(session->picking(), 10000);
        QVERIFY(!frozen());
        // GNOME's picker takes the colour at a click, not at the release of
        // the button pressed before it opened.
        QVERIFY(moveAndRelease());
        QVERIFY(session->picking());
        QVERIFY(click(target));
        QTRY_VERIFY_WITH_TIMEOUT(!session->picking(), 5000);
        QVERIFY2(QDir(QFileInfo(portalFile).path()).entryList(QDir::Files).isEmpty(),
                 "a picture was left behind");
    } else {
        // Allowed: the press picks live. The screenshot is taken and shown
        // frozen, a window over the output.
        QVERIFY(pick());
        QTRY_VERIFY_WITH_TIMEOUT(frozen(), 10000);
        QTest::qWait(200);
        if (nudge) {
            // Released where the pointer stopped: the nudged pixel counts.
            for (const int x : {200, target.x()})
                QVERIFY(session->pointer(x, target.y(), true));
            QTest::qWait(200);
            QVERIFY(session->key(QStringLiteral("Right")));
            QTest::qWait(200);
            QVERIFY(session->pointer(target.x(), target.y(), false));
            QTest::qWait(300);
        } else {
            QVERIFY(moveAndRelease());
        }
        QVERIFY2(!QFile::exists(portalFile), "the portal's picture was left behind");
    }
    QVERIFY(click(copyHex));
    QCOMPARE(session->clipboardOnce(picked), picked);
    if (nudge || (desktop == QLatin1String("kde") && outputs == 1 && scale == 1)) {
        // Quick picks, as on a desktop slow to take its picture: the button
        // is up at once, and 0.1 s after the press, before the picture has
        // come. The pick ends where it came up, once the picture comes.
        QVERIFY(!at.contains(bareAt) && !at.contains(markerAt));
        const QString bareHex = background.name(QColor::HexRgb).toUpper();
        for (const auto& [hold, to, colour] :
             {std::tuple{0, bareAt, bareHex}, std::tuple{100, markerAt, picked}}) {
            QElapsedTimer held;
            QVERIFY(pick());
            held.start();
            QVERIFY(session->pointer(200, to.y(), true));
            QVERIFY(session->pointer(to.x(), to.y(), true));
            QTest::qWait(int(std::max<qint64>(0, hold - held.elapsed())));
            QVERIFY(session->pointer(to.x(), to.y(), false));
            // (On a loaded machine the pointer's own steps may take longer
            // than the desktop's picture: the pick must read right either way.)
            QTest::qWait(2000); // the picture comes, the pick ends
            QVERIFY(click(copyHex));
            QCOMPARE(session->clipboardOnce(colour), colour);
        }
    }
    for (const auto& [then, colour] : std::as_const(releases)) { // a pick again
        target = then;
        QVERIFY(pick());
        QTRY_VERIFY_WITH_TIMEOUT(frozen(), 10000);
        QTest::qWait(200);
        QVERIFY(moveAndRelease());
        QVERIFY(click(copyHex));
        QCOMPARE(session->clipboardOnce(colour), colour);
    }
    program.terminate(); // ends as closing its window does
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 0);

    if (desktop == QLatin1String("kde")) {
        // The portal's back end dies during the request: the portal refuses,
        // and the desktop's picker is asked of a back end started anew; when
        // that one dies too, the pick ends with the colour as it was. The
        // back end is this stack's own, by the name it holds on this bus
        // (the other stacks run beside it as the same user). It dies once
        // it has the call, seen on the bus; KWin, held meanwhile, keeps the
        // screenshot from being answered first, and its picker waits for a
        // click anyway. Last: KWin's picker, whose caller died, takes the
        // next click on the desktop.
        const auto backEnd = [] {
            const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(
                QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
            return pid.isValid() ? pid_t(pid.value()) : 0;
        };
        QProcess calls;
        calls.start(QStringLiteral("dbus-monitor"),
                    {QStringLiteral("--session"),
                     QStringLiteral("type='method_call',interface="
                                    "'org.freedesktop.impl.portal.Screenshot'")});
        QVERIFY(calls.waitForReadyRead(5000)); // a monitor now
        QByteArray seen;
        const auto passed = [&](const QByteArray& member) {
            calls.waitForReadyRead(100);
            seen += calls.readAllStandardOutput();
            return seen.contains("member=" + member);
        };
        const pid_t kwin = qEnvironmentVariableIntValue("MIRABOU_COMPOSITOR_PID");
        QVERIFY2(kwin > 0, "no compositor's process id");
        QCOMPARE(::kill(kwin, SIGSTOP), 0);
        const auto resume = qScopeGuard([kwin] { ::kill(kwin, SIGCONT); });
        int moves = 0, released = 0;
        portalContext->beginPick(pickHandlers([&] { ++moves; }, [&] { ++released; }));
        QTRY_VERIFY_WITH_TIMEOUT(passed("Screenshot"), 10000);
        const pid_t first = backEnd();
        QVERIFY(first > 0);
        QCOMPARE(::kill(first, SIGKILL), 0);
        QCOMPARE(::kill(kwin, SIGCONT), 0);
        QTRY_COMPARE_WITH_TIMEOUT(portalContext->stage(), Stage::Picker, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(passed("PickColor"), 10000);
        const pid_t second = backEnd();
        QVERIFY(second > 0 && second != first);
        QCOMPARE(::kill(second, SIGKILL), 0);
        QTRY_COMPARE_WITH_TIMEOUT(portalContext->stage(), Stage::Idle, 10000);
        QCOMPARE(moves, 0);
        QCOMPARE(released, 1);
        calls.kill();
        calls.waitForFinished();
    }
}

void tst_Portal::realDisplayEnds() {
    // Run by portal_stack.sh inside sway, last: the compositor ends while the
    // program runs, and the program's options are written all the same.
    if (qEnvironmentVariable("MIRABOU_REAL_PORTAL") != QLatin1String("wlroots"))
        QSKIP("needs the real stack (portal_stack.sh)");
    const std::unique_ptr<Desktop> session = openDesktop(QStringLiteral("wlroots"));
    QVERIFY2(session->ready(), "no pointer on the desktop's seat");
    QTemporaryDir folder;
    QVERIFY(copyProgram(folder.path()));
    writeFile(folder.filePath(QStringLiteral("settings.ini")), "[settings]\nposx=120\nposy=90\n");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    program.setProcessEnvironment(env);
    program.start(folder.filePath(QStringLiteral("Mirabou")), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(session->windows(QStringLiteral("mirabou")).size() == 1, 20000);
    QTest::qWait(300);
    QVERIFY(session->key(QStringLiteral("F11"))); // Flat Buttons off
    QTest::qWait(300);
    const pid_t compositor = qEnvironmentVariableIntValue("MIRABOU_COMPOSITOR_PID");
    QVERIFY2(compositor > 0, "no compositor's process id");
    QCOMPARE(::kill(compositor, SIGTERM), 0);
    QVERIFY(program.waitForFinished(10000));
    const QByteArray written = readFile(folder.filePath(QStringLiteral("settings.ini")));
    QVERIFY2(written.contains("flat=0\n") && written.contains("posx=") &&
                 written.contains("language=lang001\n"),
             (written + program.readAllStandardError()).constData());
}

void tst_Portal::realPickCommand() {
    // Run by portal_stack.sh inside sway and KWin (screenshots shown frozen)
    // and GNOME refusing screenshots (its own picker answers): mirabou --pick
    // --format dec --copy from outside, a click on the bare desktop.
    const QString desktop = qEnvironmentVariable("MIRABOU_REAL_PORTAL");
    if (desktop.isEmpty())
        QSKIP("needs the real stack (portal_stack.sh)");
    const std::unique_ptr<Desktop> session = openDesktop(desktop);
    QVERIFY2(session->ready(), "no pointer on the desktop's seat");
    const bool kde = desktop == QLatin1String("kde");
    QProcess pick;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    pick.setProcessEnvironment(env);
    // As dec text, which none of the rows before copies.
    pick.start(QStringLiteral(MIRABOU_EXE), {"--pick", "--format", "dec", "--copy"});
    QVERIFY(pick.waitForStarted());
    const auto ready = [&] {
        if (session->picking())
            return true; // the desktop's own picker
        for (const QRect& window : session->windows(QStringLiteral("mirabou")))
            if (window.topLeft() == QPoint(0, 0) && window.width() >= 1000)
                return true; // the frozen screen
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(ready(), 20000);
    QTest::qWait(300);
    const QPoint bare(40, 700); // the desktop's own background
    const QString colour = kde ? QStringLiteral("0,0,0") : QStringLiteral("18,52,86"); // #123456
    QVERIFY(session->pointer(bare.x(), bare.y(), false) &&
            session->pointer(bare.x(), bare.y(), true) &&
            session->pointer(bare.x(), bare.y(), false));
    // It may have ended while the pointer was driven.
    QVERIFY2(pick.state() == QProcess::NotRunning || pick.waitForFinished(10000),
             pick.readAllStandardError().constData());
    QCOMPARE(pick.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(pick.readAllStandardOutput()), colour + QLatin1Char('\n'));
    // After the command returned, from the desktop's clipboard.
    QCOMPARE(session->clipboardOnce(colour), colour);
}

QTEST_MAIN(tst_Portal)
#include "tst_portal.moc"
