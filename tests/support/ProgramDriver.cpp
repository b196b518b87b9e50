#include "support/ProgramDriver.h"

#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>
#include <unistd.h>

namespace testsupport {

QProcessEnvironment environmentWith(const QStringList& variables) {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : variables)
        e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    return e;
}

QString run(const QString& program, const QStringList& args, int* exitCode,
            const QByteArray& input) {
    QProcess p;
    p.start(program, args);
    if (!input.isNull()) {
        p.write(input);
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(15000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList& args) {
    return run(QStringLiteral("xdotool"), args);
}

QString clipboardOut() {
    return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"});
}

void clipboardIn(const QByteArray& text) {
    run(QStringLiteral("xclip"), {"-selection", "clipboard"}, nullptr, text);
}

QString shownCaption(const QString& window) {
    // xprop prints _NET_WM_NAME(UTF8_STRING) = "caption", with " and \ escaped.
    const QString line = run(QStringLiteral("xprop"), {"-id", window, "_NET_WM_NAME"});
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    if (open < 0 || !line.endsWith(QLatin1Char('"')))
        return {};
    QString caption = line.mid(open + 1, line.size() - open - 2);
    caption.replace(QStringLiteral("\\\""), QStringLiteral("\""))
        .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return caption;
}

QString findWindow(const QString& pattern) {
    const QRegularExpression shown(pattern);
    // xdotool's --name also matches the old WM_NAME; what the desktop shows
    // is _NET_WM_NAME, so each candidate is checked against that.
    const QStringList candidates = xdotool({"search", "--onlyvisible", "--name", "."})
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& id : candidates) {
        if (shown.match(shownCaption(id)).hasMatch())
            return id;
    }
    return {};
}

QString waitForWindow(const QString& pattern) {
    for (int i = 0; i < 50; ++i) {
        const QString id = findWindow(pattern);
        if (!id.isEmpty())
            return id;
        QTest::qWait(100);
    }
    return {};
}

/// A number printed by xwininfo or xprop after label.
QList<int> numbersAfter(const QString& text, const QString& label) {
    const qsizetype at = text.indexOf(label);
    if (at < 0)
        return {};
    QList<int> numbers;
    for (const QString& part :
         text.mid(at + label.size()).section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(','))) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (ok)
            numbers << n;
    }
    return numbers;
}

/// Where the window's client area lies on the screen.
QPoint clientOrigin(const QString& window) {
    const QString info = run(QStringLiteral("xwininfo"), {"-id", window});
    const QList<int> x = numbersAfter(info, QStringLiteral("Absolute upper-left X:"));
    const QList<int> y = numbersAfter(info, QStringLiteral("Absolute upper-left Y:"));
    return x.isEmpty() || y.isEmpty() ? QPoint(-1, -1) : QPoint(x[0], y[0]);
}

/// The window manager's frame around the window: left, right, top, bottom.
QRect windowRect(const QString& window) {
    const QString info = run(QStringLiteral("xwininfo"), {"-id", window});
    const auto first = [&info](const char* label) {
        return numbersAfter(info, QLatin1String(label)).value(0, -1);
    };
    return {first("Absolute upper-left X:"), first("Absolute upper-left Y:"), first("Width:"),
            first("Height:")};
}

QPoint pointerPosition() {
    // "x:601 y:480 screen:0 window:1293"
    const QStringList words = xdotool({"getmouselocation"}).split(QLatin1Char(' '));
    return {words.value(0).section(QLatin1Char(':'), 1).toInt(),
            words.value(1).section(QLatin1Char(':'), 1).toInt()};
}

QList<int> frameExtents(const QString& window) {
    return numbersAfter(run(QStringLiteral("xprop"), {"-id", window, "_NET_FRAME_EXTENTS"}),
                        QStringLiteral("="));
}

QString windowState(const QString& window) {
    return run(QStringLiteral("xprop"), {"-id", window, "_NET_WM_STATE"});
}

/// The colour on the screen at p, read from the X server.
QRgb screenPixel(QPoint p) {
    const QImage shot =
        QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage();
    return shot.isNull() ? 0 : shot.pixel(0, 0) & 0xFFFFFF;
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

/// A piece of the screen, read from the X server.
QImage screenArea(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

/// The columns and rows of area's pixels that ink(colour) accepts.
QRect inkBounds(const QImage& area, const std::function<bool(QRgb)>& ink) {
    QRect bounds;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            if (ink(area.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

/// The window ids of the root window's property, bottom to top.
QStringList rootWindows(const char* property) {
    QStringList ids;
    const QString line = run(QStringLiteral("xprop"), {"-root", QLatin1String(property)});
    for (const QString& part : line.section(QLatin1Char('#'), 1).split(QLatin1Char(','))) {
        bool ok = false;
        const qulonglong id = part.trimmed().toULongLong(&ok, 16);
        if (ok)
            ids << QString::number(id);
    }
    return ids;
}

/// The program's visible windows.
QStringList visibleWindows(const RunningProgram& p) {
    return xdotool({"search", "--onlyvisible", "--pid", QString::number(p.process.processId())})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

/// A visible window of the program that is not among before, or empty.
QString newWindow(const RunningProgram& p, const QStringList& before) {
    for (const QString& id : visibleWindows(p)) {
        if (!before.contains(id))
            return id;
    }
    return {};
}

/// Waits for the program to end; true when it ended normally with 0.
bool endedCleanly(RunningProgram& p) {
    int code = -2;
    return p.finished(&code) && code == 0;
}

/// Clicks Exit; true when the program then ends normally with 0.
bool exitByButton(RunningProgram& p) {
    p.click(ExitX, ButtonY);
    return endedCleanly(p);
}

/// Dismisses the "Mirabou" message box if one shows; true if one did.
bool dismissErrorBox() {
    const QString box = waitForWindow(QStringLiteral("^Mirabou$"));
    if (box.isEmpty())
        return false;
    xdotool({"windowfocus", "--sync", box});
    xdotool({"key", "Return"});
    return true;
}

bool PrivateDisplay::start() {
    server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-noreset", "-nolisten", "tcp",
                                          "-screen", "0", "1024x768x24"});
    if (!server.waitForStarted() || !server.waitForReadyRead(10000))
        return false;
    const QByteArray number = server.readLine().trimmed();
    if (number.isEmpty())
        return false;
    before = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":" + number);
    return true;
}

void PrivateDisplay::stop() {
    if (server.state() == QProcess::NotRunning)
        return;
    server.terminate();
    server.waitForFinished(5000);
    qputenv("DISPLAY", before);
}

bool AccessibilityBus::start() {
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--config-file=" MIRABOU_TEST_SUPPORT "/private-bus.conf"),
               "--nofork", "--print-address=1"});
    if (!bus.waitForStarted() || !bus.waitForReadyRead(5000))
        return false;
    address = QString::fromUtf8(bus.readLine()).trimmed();
    // Found through the session bus, not the display: programs of other
    // tests on the same display never look for it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    env.remove(QStringLiteral("DISPLAY"));
    launcher.setProcessEnvironment(env);
    launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {"--launch-immediately"});
    if (!launcher.waitForStarted())
        return false;
    const QString name = QStringLiteral("accessibility-test");
    bool up = false;
    {
        QDBusConnection connection = QDBusConnection::connectToBus(address, name);
        for (int i = 0; i < 50 && !up; ++i) {
            up = connection.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus"));
            if (!up)
                QTest::qWait(100);
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return up;
}

QStringList AccessibilityBus::environment() const {
    return {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + address,
            QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1")};
}

QJsonArray AccessibilityBus::windows(qint64 pid, const QString& window) const {
    QProcess reader;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    reader.setProcessEnvironment(env);
    // Debian's Python, which has Debian's pyatspi.
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(MIRABOU_TEST_SUPPORT "/atspi_tree.py"), QString::number(pid), window});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
        qWarning("%s", reader.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

AccessibilityBus::~AccessibilityBus() {
    for (QProcess* p : {&launcher, &bus}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished();
        }
    }
}

bool RunningProgram::installFrom(const QString& programFolder) const {
    const QDir from(programFolder);
    for (const QString& name : from.entryList(QDir::Files)) {
        if (!QFile::copy(from.filePath(name), folder() + name))
            return false;
    }
    return true;
}

bool RunningProgram::start(const QByteArray& settings, const QStringList& env, bool copyProgram) {
    const QString exe = folder() + QStringLiteral("Mirabou");
    if (copyProgram && !testsupport::copyProgram(folder()))
        return false;
    if (!settings.isNull())
        writeFile(folder() + QStringLiteral("settings.ini"), settings);
    process.setProcessEnvironment(environmentWith(env));
    process.setWorkingDirectory(QDir::tempPath()); // never the program folder
    if (unprivileged && ::geteuid() == 0) {
        // The folder and its files become the other user's, with the
        // permissions the test gave them.
        const uid_t nobody = 65534;
        bool owned = ::chown(QFile::encodeName(dir.path()).constData(), nobody, nobody) == 0;
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            owned = ::chown(QFile::encodeName(folder() + name).constData(), nobody, nobody) == 0 &&
                    owned;
        if (!owned)
            return false;
        process.start(QStringLiteral("setpriv"),
                      {"--reuid=65534", "--regid=65534", "--clear-groups", exe});
    } else {
        process.start(exe, {});
    }
    if (!process.waitForStarted())
        return false;
    // A new start is a new window: the last run's is gone, and a click or a
    // key aimed at it would land wherever the pointer or the focus is.
    window.clear();
    for (int i = 0; i < 100 && window.isEmpty(); ++i) {
        window = findWindow(QStringLiteral("^Mirabou 1\\.8$"));
        if (window.isEmpty())
            QTest::qWait(100);
    }
    if (window.isEmpty())
        return false;
    xdotool({"windowfocus", "--sync", window});
    QTest::qWait(200);
    return true;
}

void RunningProgram::click(int x, int y, int button) {
    xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y)});
    QTest::qWait(50);
    xdotool({"click", QString::number(button)});
    QTest::qWait(150);
}

void RunningProgram::key(const QString& keys) {
    xdotool({"key", keys});
    QTest::qWait(100);
}

bool RunningProgram::finished(int* code) {
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(10000);
    if (process.state() != QProcess::NotRunning)
        return false;
    *code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return true;
}

void RunningProgram::holdEyeWizard(int scale) {
    xdotool({"mousemove", "--window", window, QString::number(EyeWizardX * scale),
             QString::number(ButtonY * scale)});
    QTest::qWait(100);
    xdotool({"mousedown", "1"});
    QTest::qWait(100);
}

QString RunningProgram::copyEyeColour(int scale) {
    click(EyeOptionsX * scale, ButtonY * scale);
    for (const char* keys : {"Down", "Right", "Return"})
        key(QLatin1String(keys));
    return clipboardOut();
}

RunningProgram::~RunningProgram() {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace testsupport
