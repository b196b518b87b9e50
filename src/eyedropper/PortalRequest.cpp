#include "eyedropper/PortalRequest.h"

#include "eyedropper/Logging.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cmath>
#include <ctime>

namespace portal {

QString requestPath(const QString& sender, const QString& token) {
    QString name = sender.startsWith(QLatin1Char(':')) ? sender.mid(1) : sender;
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + name + QLatin1Char('/') +
           token;
}

QString pictureFile(const QVariantMap& results) {
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    return uri.isLocalFile() ? uri.toLocalFile() : QString();
}

namespace {

/// A colour channel of the portal's (ddd) answer, 0.0 to 1.0.
std::optional<int> channel(double value) {
    if (!std::isfinite(value) || value < 0.0 || value > 1.0)
        return std::nullopt;
    return int(std::lround(value * 255.0));
}

} // namespace

/// Errors that mean no portal is there to answer, as opposed to one that
/// answers but will not take a screenshot.
static bool meansNoPortal(QDBusError::ErrorType type) {
    switch (type) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
    case QDBusError::NoNetwork:
    case QDBusError::InvalidService:
        return true;
    default:
        return false;
    }
}

std::optional<PackedColor> pickedColor(const QVariantMap& results) {
    const QVariant value = results.value(QStringLiteral("color"));
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(ddd)"))
        return std::nullopt;
    double r = 0, g = 0, b = 0;
    argument.beginStructure();
    argument >> r >> g >> b;
    argument.endStructure();
    const auto red = channel(r), green = channel(g), blue = channel(b);
    if (!red || !green || !blue)
        return std::nullopt;
    return packColor(*red, *green, *blue);
}

QDateTime fileSystemNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return QDateTime::fromMSecsSinceEpoch(qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000,
                                          Qt::UTC);
}

void removeMadeFile(const QString& file, const QDateTime& requested) {
    // The portal leaves its picture behind (wlroots in /tmp, GNOME and KDE in
    // the user's Pictures folder): a file made for the request goes, a file
    // that was there before stays, and so does one whose making the file
    // system does not record.
    if (file.isEmpty())
        return;
    const QDateTime made = QFileInfo(file).birthTime();
    if (!made.isValid()) {
        qCInfo(lcPortal) << "kept" << file << "(the file system tells no birth time)";
        return;
    }
    if (made < requested) {
        qCInfo(lcPortal) << "kept" << file << "(there before the request)";
        return;
    }
    if (QFile::remove(file))
        qCDebug(lcPortal) << "removed the picture" << file;
    else if (QFileInfo::exists(file))
        qCWarning(lcPortal) << "could not remove the picture" << file;
}

} // namespace portal

TPortalRequest::TPortalRequest(QDBusConnection bus, portal::Waits waits, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_waits(waits) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        const Kind kind = m_pending;
        qCWarning(lcPortal).noquote()
            << (kind == Kind::Screenshot ? "no screenshot came within"
                                         : "the colour picker gave"
                                           " no colour within")
            << (kind == Kind::Screenshot ? m_waits.screenshot : m_waits.picker) << "ms";
        drop();
        emit timedOut(kind);
    });
}

TPortalRequest::~TPortalRequest() {
    drop();
    // Those no one can listen to any more: a portal that honours it makes
    // no picture for them.
    for (const Abandoned& request : std::as_const(m_abandoned))
        close(request.path);
}

void TPortalRequest::start(Kind kind) {
    drop();
    m_pending = kind;
    const QString token = QStringLiteral("mirabou%1").arg(++m_serial);
    watchPath(portal::requestPath(m_bus.baseService(), token));

    QVariantMap options{{QStringLiteral("handle_token"), token}};
    QString method = QStringLiteral("PickColor");
    if (kind == Kind::Screenshot) {
        m_requested = portal::fileSystemNow();
        m_pendingHeard = QDeadlineTimer(m_waits.screenshot);
        method = QStringLiteral("Screenshot");
        options.insert(QStringLiteral("interactive"), false);
        options.insert(QStringLiteral("modal"), false);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(portal::Service, portal::ObjectPath,
                                                       portal::ScreenshotInterface, method);
    call << QString() << options;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_waits.call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serial = m_serial](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (serial == m_serial && m_pending != Kind::None)
                    onCallFinished(finished);
            });
    m_deadline.start(kind == Kind::Screenshot ? m_waits.screenshot : m_waits.picker);
}

void TPortalRequest::drop() {
    ++m_serial; // late replies to an earlier call are ignored
    if (m_pending == Kind::Screenshot && !m_watchedPath.isEmpty())
        abandon(m_watchedPath);
    else if (m_pending == Kind::PickColor && !m_watchedPath.isEmpty())
        close(m_watchedPath);
    m_pending = Kind::None;
    m_deadline.stop();
    watchPath(QString());
}

bool TPortalRequest::listen(const QString& path, const char* slot, bool on) {
    const QString member = QStringLiteral("Response");
    return on ? m_bus.connect(portal::Service, path, portal::RequestInterface, member, this, slot)
              : m_bus.disconnect(portal::Service, path, portal::RequestInterface, member, this,
                                 slot);
}

void TPortalRequest::abandon(const QString& path) {
    constexpr qsizetype Kept = 16; // a user does not leave more questions open
    const char* slot = SLOT(onLateResponse(uint, QVariantMap, QDBusMessage));
    if (m_abandoned.size() == Kept) {
        const Abandoned oldest = m_abandoned.takeFirst();
        listen(oldest.path, slot, false);
        close(oldest.path);
    }
    qCDebug(lcPortal) << "given up before its answer, still listened to:" << path;
    if (listen(path, slot, true))
        m_abandoned.append({path, m_requested, m_pendingHeard});
}

void TPortalRequest::close(const QString& path, int wait) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        portal::Service, path, portal::RequestInterface, QStringLiteral("Close"));
    qCDebug(lcPortal) << "closing" << path;
    QDBusPendingCall closing = m_bus.asyncCall(call, wait < 0 ? m_waits.call : wait);
    if (wait >= 0)
        closing.waitForFinished();
}

void TPortalRequest::settle() {
    drop(); // an answer now only takes its picture away
    for (;;) {
        // Those whose answers may still come in time; a question the user
        // leaves open is waited for no longer than the screenshot itself.
        QDeadlineTimer latest(0);
        for (const Abandoned& request : std::as_const(m_abandoned)) {
            if (request.heard.deadline() > latest.deadline())
                latest = request.heard;
        }
        if (m_abandoned.isEmpty() || latest.hasExpired())
            break;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    for (const Abandoned& request : std::as_const(m_abandoned)) {
        qCInfo(lcPortal) << "no answer came before the end:" << request.path;
        listen(request.path, SLOT(onLateResponse(uint, QVariantMap, QDBusMessage)), false);
        close(request.path, 250);
    }
    m_abandoned.clear();
}

void TPortalRequest::onLateResponse(uint code, const QVariantMap& results,
                                    const QDBusMessage& message) {
    for (qsizetype i = 0; i < m_abandoned.size(); ++i) {
        if (m_abandoned[i].path != message.path())
            continue;
        const Abandoned request = m_abandoned.takeAt(i);
        listen(request.path, SLOT(onLateResponse(uint, QVariantMap, QDBusMessage)), false);
        qCDebug(lcPortal) << "late answer" << code << "to" << request.path;
        if (code == 0)
            portal::removeMadeFile(portal::pictureFile(results), request.requested);
        return;
    }
}

void TPortalRequest::watchPath(const QString& path) {
    const char* slot = SLOT(onResponse(uint, QVariantMap));
    if (!m_watchedPath.isEmpty())
        listen(m_watchedPath, slot, false);
    m_watchedPath = path;
    if (!path.isEmpty())
        listen(path, slot, true);
}

void TPortalRequest::onCallFinished(QDBusPendingCallWatcher* watcher) {
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        watchPath(QString()); // no answer will come to that request
        qCWarning(lcPortal).noquote()
            << (m_pending == Kind::Screenshot ? "the screenshot" : "the colour picker")
            << "call failed:" << reply.error().name() << reply.error().message();
        const Kind kind = m_pending;
        m_pending = Kind::None;
        m_deadline.stop();
        emit failed(kind, portal::meansNoPortal(reply.error().type()));
        return;
    }
    // Portals older than handle_token answer on a path of their own choosing.
    const QString handle = reply.value().path();
    if (handle != m_watchedPath)
        watchPath(handle);
}

void TPortalRequest::onResponse(uint code, const QVariantMap& results) {
    const Kind kind = m_pending;
    qCDebug(lcPortal) << kind << "answered" << code << results;
    m_pending = Kind::None;
    m_deadline.stop();
    watchPath(QString());
    if (kind != Kind::None)
        emit answered(kind, code, results);
}
