#include "support/RealDesktop.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace testsupport {

namespace {

/// A VNC viewer of the tests' own, just enough to press keys on a
/// compositor's seat through wayvnc: the RFB 3.8 handshake without security,
/// then key events.
class PointerOverVnc {
public:
    explicit PointerOverVnc(const QString& socketPath) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(socketPath);
        if (m_fd < 0 || path.size() >= qsizetype(sizeof address.sun_path))
            return;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return;
        const QByteArray version = receive(12);
        if (!version.startsWith("RFB 003.")) // the server's version, then ours
            return;
        send("RFB 003.008\n");
        const QByteArray count = receive(1);
        if (count.size() != 1 || !receive(quint8(count[0])).contains('\x01'))
            return; // no "None" among the security types
        send(QByteArray(1, '\x01'));
        if (receive(4) != QByteArray(4, '\0'))
            return;                          // security result: failed
        send(QByteArray(1, '\x01'));         // ClientInit: share the desktop
        const QByteArray init = receive(24); // size, pixel format, name length
        if (init.size() != 24)
            return;
        const quint32 nameLength = quint32(quint8(init[20])) << 24 |
                                   quint32(quint8(init[21])) << 16 |
                                   quint32(quint8(init[22])) << 8 | quint32(quint8(init[23]));
        receive(int(nameLength));
        m_ready = true;
    }
    ~PointerOverVnc() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ready() const { return m_ready; }
    /// A KeyEvent: the X keysym down, then up.
    bool key(quint32 keysym) {
        for (const char down : {1, 0}) {
            const char event[8] = {
                4,           down, 0, 0, char(keysym >> 24), char(keysym >> 16), char(keysym >> 8),
                char(keysym)};
            send(QByteArray(event, 8));
        }
        QTest::qWait(60);
        return m_ready;
    }

private:
    void send(const QByteArray& bytes) {
        if (m_fd >= 0 && ::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            m_ready = false;
    }
    QByteArray receive(int size) {
        QByteArray bytes;
        pollfd wait{m_fd, POLLIN, 0};
        while (bytes.size() < size && ::poll(&wait, 1, 5000) == 1) {
            char buffer[256];
            const ssize_t n =
                ::read(m_fd, buffer, std::min<size_t>(sizeof buffer, size_t(size - bytes.size())));
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        return bytes;
    }
    int m_fd = -1;
    bool m_ready = false;
};

/// The tests' pointer on a desktop (seat_pointer.c): moves and presses
/// anywhere in the layout, in the desktop's points.
class SeatPointer {
public:
    explicit SeatPointer(const QStringList& args = {}) {
        m_process.start(qEnvironmentVariable("MIRABOU_SEAT_POINTER"), args);
        m_ready = m_process.waitForReadyRead(5000) && m_process.readLine().trimmed() == "ready";
        if (!m_ready)
            qWarning("the tests' pointer: %s", m_process.readAll().constData());
    }
    ~SeatPointer() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
    }
    bool ready() const { return m_ready; }
    bool move(int x, int y, bool pressed) {
        m_process.write(QByteArray::number(x) + ' ' + QByteArray::number(y) + ' ' +
                        (pressed ? "1\n" : "0\n"));
        const bool done =
            m_process.waitForReadyRead(3000) && m_process.readLine().trimmed() == "ok";
        QTest::qWait(60);
        return done;
    }

private:
    QProcess m_process;
    bool m_ready = false;
};

/// The Wayland clipboard's text, as wl-paste reads it.
QString wlPaste() {
    QProcess paste;
    paste.start(QStringLiteral("wl-paste"), {"--no-newline"});
    paste.waitForFinished(3000);
    return QString::fromUtf8(paste.readAllStandardOutput());
}

/// What swaymsg answers to a question of type, as JSON.
QJsonDocument sway(const char* type) {
    QProcess message;
    message.start(QStringLiteral("swaymsg"), {"-r", "-t", QLatin1String(type)});
    message.waitForFinished(5000);
    return QJsonDocument::fromJson(message.readAllStandardOutput());
}

/// The size of sway's layout, its outputs' union, as the pointer's arguments.
QStringList swayLayout() {
    QRect layout;
    for (const QJsonValue output : sway("get_outputs").array()) {
        const QJsonObject r = output.toObject().value(QStringLiteral("rect")).toObject();
        if (output.toObject().value(QStringLiteral("active")).toBool())
            layout |=
                QRect(r.value(QStringLiteral("x")).toInt(), r.value(QStringLiteral("y")).toInt(),
                      r.value(QStringLiteral("width")).toInt(),
                      r.value(QStringLiteral("height")).toInt());
    }
    return {QString::number(layout.right() + 1), QString::number(layout.bottom() + 1)};
}

/// sway: its tree tells the windows, its virtual pointer moves anywhere in
/// the layout, wayvnc presses keys, wl-paste reads the clipboard.
class SwayDesktop : public Desktop {
public:
    SwayDesktop() : m_vnc(qEnvironmentVariable("MIRABOU_VNC_SOCKET")), m_pointer(swayLayout()) {}
    bool ready() const override { return m_vnc.ready() && m_pointer.ready(); }
    QList<QRect> windows(const QString& appId) override {
        QList<QRect> found;
        std::function<void(const QJsonObject&)> find = [&](const QJsonObject& node) {
            // A Wayland client by its app_id, an X11 one by its WM_CLASS.
            const QString x11Class = node.value(QStringLiteral("window_properties"))
                                         .toObject()
                                         .value(QStringLiteral("class"))
                                         .toString();
            if (node.value(QStringLiteral("app_id")).toString() == appId ||
                x11Class.compare(appId, Qt::CaseInsensitive) == 0) {
                const QJsonObject r = node.value(QStringLiteral("rect")).toObject();
                found << QRect(r.value(QStringLiteral("x")).toInt(),
                               r.value(QStringLiteral("y")).toInt(),
                               r.value(QStringLiteral("width")).toInt(),
                               r.value(QStringLiteral("height")).toInt());
            }
            for (const char* children : {"nodes", "floating_nodes"}) {
                for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
                    find(child.toObject());
            }
        };
        find(sway("get_tree").object());
        return found;
    }
    bool pointer(int x, int y, bool pressed) override { return m_pointer.move(x, y, pressed); }
    QString clipboard() override { return wlPaste(); }
    bool key(const QString& name) override {
        const quint32 keysym = name == QLatin1String("Right")    ? 0xff53
                               : name == QLatin1String("Escape") ? 0xff1b
                               : name == QLatin1String("F11")    ? 0xffc8
                                                                 : 0;
        return keysym && m_vnc.key(keysym);
    }
    bool place(const QString& title, QPoint p) override {
        QProcess move;
        move.start(QStringLiteral("swaymsg"),
                   {QStringLiteral("[title=\"^%1\"] move absolute position %2 %3")
                        .arg(title)
                        .arg(p.x())
                        .arg(p.y())});
        return move.waitForFinished(5000) && move.exitCode() == 0;
    }

private:
    PointerOverVnc m_vnc;
    SeatPointer m_pointer;
};

/// KDE: a script run by KWin prints where the windows are into KWin's log,
/// the tests' client of KWin's fake input gives the pointer (in the
/// desktop's points, on a scaled output too), wl-paste reads the clipboard.
class KdeDesktop : public Desktop {
public:
    bool ready() const override { return m_pointer.ready(); }
    QList<QRect> windows(const QString& appId) override {
        QList<QRect> found;
        for (const QList<QByteArray>& words :
             run("for (const c of workspace.clientList()) { const g = c.frameGeometry;"
                 " print(tag, c.resourceClass, g.x, g.y, g.width, g.height); }")) {
            if (words.size() == 7 && QString::fromUtf8(words[2]) == appId)
                found << QRect(words[3].toInt(), words[4].toInt(), words[5].toInt(),
                               words[6].toInt());
        }
        return found;
    }
    bool place(const QString& title, QPoint p) override {
        run(QStringLiteral("for (const c of workspace.clientList()) if (c.caption.startsWith('%1'))"
                           " c.frameGeometry = {x: %2, y: %3, width: c.frameGeometry.width,"
                           " height: c.frameGeometry.height};")
                .arg(title)
                .arg(p.x())
                .arg(p.y())
                .toUtf8());
        return true;
    }
    bool pointer(int x, int y, bool pressed) override { return m_pointer.move(x, y, pressed); }
    QString clipboard() override { return wlPaste(); }

private:
    /// Runs a script in KWin; what it prints with the variable tag first
    /// comes back, a line of words each (the tag's two words first).
    QList<QList<QByteArray>> run(const QByteArray& body) {
        // KWin's log outlives a test process: the tag names this process too.
        const QByteArray tag = "mirabou-" + QByteArray::number(QCoreApplication::applicationPid()) +
                               '-' + QByteArray::number(++m_runs);
        QTemporaryFile script(QDir::tempPath() + QStringLiteral("/mirabou-XXXXXX.js"));
        if (!script.open())
            return {};
        script.write("const tag = '" + tag + " said';\n" + body + "\nprint('" + tag + " done');\n");
        script.close();
        QDBusInterface scripting(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                 QStringLiteral("org.kde.kwin.Scripting"));
        scripting.call(QStringLiteral("loadScript"), script.fileName(), QString::fromLatin1(tag));
        scripting.call(QStringLiteral("start"));
        QList<QList<QByteArray>> said;
        QFile log(qEnvironmentVariable("MIRABOU_KWIN_LOG"));
        bool done = false;
        for (QDeadlineTimer deadline(3000); !done && !deadline.hasExpired();) {
            QTest::qWait(50);
            if (!log.open(QIODevice::ReadOnly))
                break;
            said.clear();
            for (const QByteArray& line : log.readAll().split('\n')) {
                // "js: <tag> said ..." or "js: <tag> done"
                const QList<QByteArray> words = line.simplified().split(' ');
                if (words.size() >= 3 && words[1] == tag) {
                    done = done || words[2] == "done";
                    if (words[2] == "said")
                        said << words.mid(1);
                }
            }
            log.close();
        }
        scripting.call(QStringLiteral("unloadScript"), QString::fromLatin1(tag));
        return said;
    }

    SeatPointer m_pointer;
    int m_runs = 0;
};

/// GNOME: the shell (in its unsafe mode, which the tests' extension turns
/// on) tells the windows, the clipboard and its question; mutter's remote
/// desktop gives the pointer, on a session that lives as long as this
/// connection.
class GnomeDesktop : public Desktop {
public:
    GnomeDesktop() {
        const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
        QDBusInterface remoteDesktop(service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
                                     service, m_bus);
        const QDBusReply<QDBusObjectPath> session =
            remoteDesktop.call(QStringLiteral("CreateSession"));
        if (!session.isValid())
            return;
        m_session = session.value().path();
        QDBusInterface remoteSession(service, m_session, service + QStringLiteral(".Session"),
                                     m_bus);
        const QString id = remoteSession.property("SessionId").toString();
        // Absolute moves are given on a screen-cast stream of a monitor, one
        // per monitor, in its own coordinates.
        const QString cast = QStringLiteral("org.gnome.Mutter.ScreenCast");
        QDBusInterface screenCast(cast, QStringLiteral("/org/gnome/Mutter/ScreenCast"), cast,
                                  m_bus);
        const QDBusReply<QDBusObjectPath> castSession =
            screenCast.call(QStringLiteral("CreateSession"),
                            QVariantMap{{QStringLiteral("remote-desktop-session-id"), id}});
        if (!castSession.isValid())
            return;
        QDBusInterface castOn(cast, castSession.value().path(), cast + QStringLiteral(".Session"),
                              m_bus);
        const QJsonArray monitors =
            eval(QStringLiteral("const m = imports.gi.Meta.MonitorManager.get();"
                                " [0, 1, 2, 3].map(i => ['Meta-' + i,"
                                " m.get_monitor_for_connector('Meta-' + i)]).filter(c => c[1] >= 0)"
                                ".map(([c, i]) => { const g = global.display"
                                ".get_monitor_geometry(i); return [c, g.x, g.y, g.width,"
                                " g.height]; })"))
                .toArray();
        for (const QJsonValue monitor : monitors) {
            const QJsonArray m = monitor.toArray();
            const QDBusReply<QDBusObjectPath> stream =
                castOn.call(QStringLiteral("RecordMonitor"), m[0].toString(), QVariantMap());
            if (!stream.isValid())
                return;
            m_streams.append({stream.value().path(),
                              QRect(m[1].toInt(), m[2].toInt(), m[3].toInt(), m[4].toInt())});
        }
        if (m_streams.isEmpty())
            return;
        if (remoteSession.call(QStringLiteral("Start")).type() != QDBusMessage::ReplyMessage)
            return;
        // The stream takes absolute moves once it runs.
        QDeadlineTimer started(10000);
        while (!remote(QStringLiteral("NotifyPointerMotionAbsolute"),
                       {m_streams.front().first, 1.0, 1.0}) &&
               !started.hasExpired())
            QTest::qWait(100);
        // Mutter adds the session's keyboard at its first key. Without a
        // keyboard the seat gives no client the keyboard focus, and mutter
        // takes the clipboard only from the client that has it.
        constexpr uint Shift = 0xffe1; // XK_Shift_L
        m_ready = remote(QStringLiteral("NotifyKeyboardKeysym"), {Shift, true}) &&
                  remote(QStringLiteral("NotifyKeyboardKeysym"), {Shift, false}) &&
                  !started.hasExpired();
    }
    ~GnomeDesktop() override {
        if (m_ready)
            remote(QStringLiteral("Stop"), {});
    }
    bool ready() const override { return m_ready; }
    QList<QRect> windows(const QString& appId) override {
        const QJsonArray list =
            eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window)"
                                ".filter(w => w.get_wm_class() === '%1')"
                                ".map(w => { const r = w.get_frame_rect();"
                                " return [r.x, r.y, r.width, r.height]; })")
                     .arg(appId))
                .toArray();
        QList<QRect> found;
        for (const QJsonValue window : list) {
            const QJsonArray r = window.toArray();
            found << QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt());
        }
        return found;
    }
    bool pointer(int x, int y, bool pressed) override {
        // On the stream of the monitor the place is on.
        auto on = m_streams.cbegin();
        while (on + 1 != m_streams.cend() && !on->second.contains(QPoint(x, y)))
            ++on;
        bool done = remote(QStringLiteral("NotifyPointerMotionAbsolute"),
                           {on->first, (x - on->second.x()) * scale, (y - on->second.y()) * scale});
        if (pressed != m_pressed) {
            constexpr int LeftButton = 0x110; // BTN_LEFT
            done = remote(QStringLiteral("NotifyPointerButton"), {LeftButton, pressed}) && done;
            m_pressed = pressed;
        }
        QTest::qWait(60);
        return done;
    }
    QString clipboard() override {
        eval(QStringLiteral("imports.gi.St.Clipboard.get_default().get_text("
                            "imports.gi.St.ClipboardType.CLIPBOARD,"
                            " (c, text) => { globalThis.mirabouClipboard = text; }); 0"));
        QTest::qWait(100);
        return eval(QStringLiteral("globalThis.mirabouClipboard")).toString();
    }
    bool place(const QString& title, QPoint p) override {
        return eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window)"
                                   ".filter(w => (w.get_title() || '').startsWith('%1'))"
                                   ".map(w => { w.move_frame(true, %2, %3); return true; })"
                                   ".length > 0")
                        .arg(title)
                        .arg(p.x())
                        .arg(p.y()))
            .toBool();
    }
    bool asking() override {
        return eval(QStringLiteral("imports.ui.main.shellAccessDialogDBusService._accessDialog"
                                   " != null"))
            .toBool();
    }
    bool picking() override {
        return eval(QStringLiteral("imports.ui.main.modalCount > 0 &&"
                                   " imports.ui.main.shellAccessDialogDBusService._accessDialog"
                                   " == null"))
            .toBool();
    }
    bool allow() override {
        const QJsonArray at =
            eval(QStringLiteral("const d = imports.ui.main.shellAccessDialogDBusService"
                                "._accessDialog; const b = d.buttonLayout.get_children()"
                                ".find(b => b.label === 'Allow'); const [x, y] ="
                                " b.get_transformed_position(); const [w, h] ="
                                " b.get_transformed_size(); [x + w / 2, y + h / 2]"))
                .toArray();
        if (at.size() != 2)
            return false;
        const int x = qRound(at[0].toDouble()), y = qRound(at[1].toDouble());
        return pointer(x, y, false) && pointer(x, y, true) && pointer(x, y, false);
    }

private:
    QJsonValue eval(const QString& code) {
        const QString shell = QStringLiteral("org.gnome.Shell");
        QDBusMessage call = QDBusMessage::createMethodCall(
            shell, QStringLiteral("/org/gnome/Shell"), shell, QStringLiteral("Eval"));
        call << code;
        const QDBusMessage reply = m_bus.call(call);
        if (reply.arguments().size() != 2 || !reply.arguments()[0].toBool()) {
            qWarning("the shell: %s%s", qPrintable(reply.errorMessage()),
                     qPrintable(reply.arguments().value(1).toString()));
            return {};
        }
        return QJsonDocument::fromJson("[" + reply.arguments()[1].toString().toUtf8() + "]")
            .array()
            .first();
    }
    bool remote(const QString& method, const QVariantList& arguments) {
        const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, m_session, service + QStringLiteral(".Session"), method);
        call.setArguments(arguments);
        const QDBusMessage reply = m_bus.call(call);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        qWarning("mutter, %s: %s", qPrintable(method), qPrintable(reply.errorMessage()));
        return false;
    }

    QDBusConnection m_bus = QDBusConnection::sessionBus();
    QString m_session;
    QList<std::pair<QString, QRect>> m_streams; // each monitor's stream, and where it lies
    bool m_ready = false;
    bool m_pressed = false;
};

} // namespace

std::unique_ptr<Desktop> openDesktop(const QString& name) {
    if (name == QLatin1String("gnome"))
        return std::make_unique<GnomeDesktop>();
    if (name == QLatin1String("kde"))
        return std::make_unique<KdeDesktop>();
    return std::make_unique<SwayDesktop>();
}

QString Desktop::clipboardOnce(const QString& want, int ms) {
    QString text;
    [[maybe_unused]] const bool found =
        QTest::qWaitFor([&] { return (text = clipboard()) == want; }, ms);
    return text;
}

bool Desktop::placeToStay(const QString& title, const QString& appId, QPoint p, int ms) {
    QElapsedTimer there;
    for (QDeadlineTimer deadline(ms); !deadline.hasExpired(); QTest::qWait(100)) {
        const QList<QRect> shown = windows(appId);
        if (std::any_of(shown.begin(), shown.end(),
                        [p](const QRect& window) { return window.topLeft() == p; })) {
            if (!there.isValid())
                there.start();
            if (there.elapsed() >= 1000)
                return true;
        } else {
            there.invalidate();
            place(title, p);
        }
    }
    return false;
}

QRect Desktop::settledWindow(const QString& appId, int ms) {
    QRect at;
    QElapsedTimer there;
    for (QDeadlineTimer deadline(ms); !deadline.hasExpired(); QTest::qWait(100)) {
        const QList<QRect> shown = windows(appId);
        const QRect now = shown.size() == 1 ? shown.front() : QRect();
        if (now.width() <= 0 || now != std::exchange(at, now)) {
            there.invalidate();
            continue;
        }
        if (!there.isValid())
            there.start();
        if (there.elapsed() >= 1000)
            return at;
    }
    return {};
}

} // namespace testsupport
