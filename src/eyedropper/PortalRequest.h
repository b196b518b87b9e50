#pragma once

#include "color/ColorValue.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>
#include <optional>

class QDBusPendingCallWatcher;

namespace portal {

inline const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString ObjectPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
inline const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

/// How long the portal may take, in milliseconds: to take a method call, to
/// deliver a screenshot, and for the user to pick with the desktop's picker.
struct Waits {
    int call = 3000;
    int screenshot = 5000;
    int picker = 120000;
};

/// The object path the portal gives a request made with token by the
/// connection whose unique name is sender.
QString requestPath(const QString& sender, const QString& token);

/// The local file a screenshot answer names, or none.
QString pictureFile(const QVariantMap& results);

/// The colour of a PickColor answer, if it is one.
std::optional<PackedColor> pickedColor(const QVariantMap& results);

/// Now, on the clock the file system stamps files with: a file made after
/// this moment never has an earlier birth time. (The kernel stamps files
/// with the time of its last tick, which lags the precise clock by up to a
/// tick: GNOME makes its picture within a few milliseconds of the request,
/// often with a birth time before a precise request time.)
QDateTime fileSystemNow();

/// Removes the picture a portal left behind, if it was made at or after
/// requested (a time of fileSystemNow()); a file that was there before
/// stays.
void removeMadeFile(const QString& file, const QDateTime& requested);

} // namespace portal

/// Requests to the desktop portal's Screenshot interface, one at a time: a
/// method call, then the answer on the request's own object, each wait
/// bounded.
///
/// A screenshot request given up before its answer is not closed but still
/// listened to, so that the picture a late answer brings is removed: the
/// desktops make the picture of a closed request all the same (GNOME 43,
/// KDE Plasma 5.27 and xdg-desktop-portal-wlr 0.6 were seen to) and then
/// send no answer that names it. Only when the program ends, after a last
/// wait for such answers, are the requests still open closed. A picker
/// request given up is closed at once: it leaves no file.
class TPortalRequest : public QObject {
    Q_OBJECT
public:
    enum class Kind { None, Screenshot, PickColor };
    Q_ENUM(Kind)

    TPortalRequest(QDBusConnection bus, portal::Waits waits, QObject* parent = nullptr);
    ~TPortalRequest() override;

    bool connected() const { return m_bus.isConnected(); }
    /// Asks the portal; a request under way is given up first.
    void start(Kind kind);
    /// Gives up the request under way, if any.
    void drop();
    Kind pending() const { return m_pending; }
    /// When the last screenshot was asked for, by fileSystemNow().
    const QDateTime& requested() const { return m_requested; }
    /// Whether a screenshot asked for may still bring a picture.
    bool unanswered() const { return m_pending == Kind::Screenshot || !m_abandoned.isEmpty(); }
    /// For the program's end: waits until every screenshot asked for within
    /// the screenshot wait has answered (its picture then goes), at most
    /// until that wait has passed for each, then closes every request still
    /// open. Runs the event loop meanwhile.
    void settle();

signals:
    /// The portal answered (code 0: granted, with results).
    void answered(TPortalRequest::Kind kind, uint code, const QVariantMap& results);
    /// The call failed; noPortal when no portal is there to answer, as
    /// opposed to one that will not do this kind of request.
    void failed(TPortalRequest::Kind kind, bool noPortal);
    /// No answer came in time.
    void timedOut(TPortalRequest::Kind kind);

private slots:
    void onResponse(uint code, const QVariantMap& results);
    void onLateResponse(uint code, const QVariantMap& results, const QDBusMessage& message);

private:
    void onCallFinished(QDBusPendingCallWatcher* watcher);
    void watchPath(const QString& path);
    /// Connects slot to, or disconnects it from, the Response of the request
    /// at path.
    bool listen(const QString& path, const char* slot, bool on);
    void abandon(const QString& path);
    /// Asks the portal to close the request at path; waits for its answer
    /// for at most wait ms where wait is given.
    void close(const QString& path, int wait = -1);

    QDBusConnection m_bus;
    portal::Waits m_waits;
    Kind m_pending = Kind::None;
    QDateTime m_requested;
    QString m_watchedPath;
    /// Screenshot requests given up before their answer (the user let go of
    /// the button, or the desktop's question is still open), by path.
    struct Abandoned {
        QString path;
        QDateTime requested;  // by fileSystemNow()
        QDeadlineTimer heard; // how long an answer may still come in time
    };
    QList<Abandoned> m_abandoned;
    QDeadlineTimer m_pendingHeard;
    quint32 m_serial = 0;
    QTimer m_deadline;
};
