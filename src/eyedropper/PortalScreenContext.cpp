#include "eyedropper/PortalScreenContext.h"

#include <QCursor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace portal {

QString requestPath(const QString& sender, const QString& token) {
    QString name = sender.startsWith(QLatin1Char(':')) ? sender.mid(1) : sender;
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + name + QLatin1Char('/') +
           token;
}

namespace {

/// count of the points, evenly spread over the list.
QList<QPoint> spread(const QList<QPoint>& points, int count) {
    QList<QPoint> picked;
    for (int i = 0; i < count; ++i)
        picked.append(points[qsizetype(i) * points.size() / count]);
    return picked;
}

} // namespace

std::optional<QPoint> locate(const QImage& window, const QImage& picture) {
    if (window.isNull() || window.width() > picture.width() || window.height() > picture.height())
        return std::nullopt;
    const QImage needle = window.convertToFormat(QImage::Format_RGB32);
    const QImage hay = picture.convertToFormat(QImage::Format_RGB32);
    // Probe points spread over the window's edges (pixels unlike a
    // neighbour), so that the window shifted by a few pixels does not match
    // where it is flat. A few may differ: a button drawn pressed a moment
    // later, a caret.
    constexpr int Probes = 48;
    constexpr int Allowed = 4;
    QList<QPoint> edges;
    for (int y = 0; y + 1 < needle.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(needle.constScanLine(y));
        const auto* next = reinterpret_cast<const QRgb*>(needle.constScanLine(y + 1));
        for (int x = 0; x + 1 < needle.width(); ++x) {
            if (line[x] != line[x + 1] || line[x] != next[x])
                edges.append({x, y});
        }
    }
    if (edges.size() < Probes)
        return std::nullopt; // too plain to tell where it is
    const QList<QPoint> probes = spread(edges, Probes);
    const auto matches = [&](int x, int y) {
        int misses = 0;
        for (const QPoint& p : probes) {
            const auto* line = reinterpret_cast<const QRgb*>(hay.constScanLine(y + p.y()));
            const auto* own = reinterpret_cast<const QRgb*>(needle.constScanLine(p.y()));
            if (line[x + p.x()] != own[p.x()] && ++misses > Allowed)
                return false;
        }
        return true;
    };

    // Candidates are the places where one of three short runs of the
    // window's pixels (from its top, middle and bottom) appears exactly; a
    // change confined to one part of the window leaves another run whole.
    // One pass per run over the picture keeps this to a few milliseconds.
    constexpr int RunLength = 8;
    const int lastX = hay.width() - needle.width();
    const int lastY = hay.height() - needle.height();
    QList<QPoint> found;
    for (int part = 1; part <= 3; ++part) {
        const QPoint start = edges[qsizetype(part) * edges.size() / 4];
        const int length = std::min(RunLength, needle.width() - start.x());
        const auto* run =
            reinterpret_cast<const QRgb*>(needle.constScanLine(start.y())) + start.x();
        for (int y = 0; y <= lastY; ++y) {
            const auto* line =
                reinterpret_cast<const QRgb*>(hay.constScanLine(y + start.y())) + start.x();
            for (int x = 0; x <= lastX; ++x) {
                if (line[x] != run[0])
                    continue;
                int i = 1;
                while (i < length && line[x + i] == run[i])
                    ++i;
                if (i == length && !found.contains(QPoint(x, y)) && matches(x, y))
                    found.append(QPoint(x, y));
            }
        }
    }
    if (found.size() != 1)
        return std::nullopt; // nowhere, or twice: no telling which
    return found.front();
}

std::optional<QPoint> locateScaled(const QImage& window, const QImage& picture, double factor) {
    const QSize size = (QSizeF(window.size()) * factor).toSize();
    if (window.isNull() || size.width() < 3 || size.height() < 3 ||
        size.width() > picture.width() || size.height() > picture.height())
        return std::nullopt;
    // The desktop's filter is not known: each probe is compared with the
    // window shrunk smoothly and shrunk to the nearest pixel, and the closer
    // counts. Compositors drawing with either match to the pixel.
    const QImage smooth = window.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    const QImage sharp = window.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    const QImage hay = picture.convertToFormat(QImage::Format_RGB32);
    const auto at = [](const QImage& image, int x, int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
    };
    const auto difference = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
    };
    // Probes where the window's look changes (they place it), and a few amid
    // a colour of their own (they tell it from what merely looks alike).
    QList<QPoint> flat, edges;
    for (int y = 1; y + 1 < smooth.height(); ++y) {
        for (int x = 1; x + 1 < smooth.width(); ++x) {
            const QRgb c = at(smooth, x, y);
            bool alike = true;
            for (int dy = -1; dy <= 1 && alike; ++dy)
                for (int dx = -1; dx <= 1 && alike; ++dx)
                    alike = at(smooth, x + dx, y + dy) == c;
            (alike ? flat : edges).append({x, y});
        }
    }
    constexpr int EdgeProbes = 256;
    constexpr int FlatProbes = 48;
    if (edges.size() < EdgeProbes / 4 || flat.size() < FlatProbes)
        return std::nullopt; // too plain to tell where it is
    // Flat probes first: each must hold but for rounding (a few may not: a
    // button drawn pressed a moment later), which rules out most places at
    // once. Then the sum over all decides.
    const QList<QPoint> probes =
        spread(flat, FlatProbes) + spread(edges, std::min<int>(EdgeProbes, edges.size()));
    constexpr int Rounding = 24;
    constexpr int Allowed = 4;
    // Per probe, of 765: what a place may differ by at most, and by how much
    // more than the best any other place must differ for the best to count.
    constexpr int MeanDifference = 64;
    constexpr int Margin = 16;
    const qint64 most = qint64(probes.size()) * MeanDifference;
    const auto rival = [&](qint64 best) { return 2 * best + qint64(probes.size()) * Margin; };
    // Each probe as its offset into the picture and the two colours it may
    // show, so that trying a place reads the picture alone.
    struct Probe {
        qsizetype offset;
        QRgb smooth, sharp;
    };
    const auto* bits = reinterpret_cast<const QRgb*>(hay.constBits());
    const qsizetype stride = hay.bytesPerLine() / qsizetype(sizeof(QRgb));
    std::vector<Probe> looks;
    for (const QPoint& p : probes)
        looks.push_back(
            {p.y() * stride + p.x(), at(smooth, p.x(), p.y()), at(sharp, p.x(), p.y())});
    const auto off = [&](const QRgb* place, std::size_t i) {
        const QRgb seen = place[looks[i].offset];
        return std::min(difference(seen, looks[i].smooth), difference(seen, looks[i].sharp));
    };
    const auto flatHolds = [&](int x, int y) {
        const QRgb* place = bits + y * stride + x;
        int misses = 0;
        for (std::size_t i = 0; i < FlatProbes; ++i) {
            if (off(place, i) > Rounding && ++misses > Allowed)
                return false;
        }
        return true;
    };
    const auto score = [&](int x, int y, qint64 bound) {
        const QRgb* place = bits + y * stride + x;
        qint64 sum = 0;
        for (std::size_t i = 0; i < looks.size() && sum <= bound; ++i)
            sum += off(place, i);
        return sum;
    };
    // Flat probes hold a pixel either way of the place too: they are tried at
    // every third place across and down, and around each where they hold,
    // every place is summed whole. A place that differs by more than twice
    // the best so far, and then some, is neither the best nor its rival: no
    // need to sum it whole.
    constexpr int Step = 3;
    const int lastX = hay.width() - smooth.width();
    const int lastY = hay.height() - smooth.height();
    QList<QPair<QPoint, qint64>> found;
    qint64 least = most;
    for (int gy = 1; gy < lastY + Step; gy += Step) {
        for (int gx = 1; gx < lastX + Step; gx += Step) {
            const int x = std::min(gx, lastX), y = std::min(gy, lastY);
            if (!flatHolds(x, y))
                continue;
            for (int py = std::max(0, y - 1); py <= std::min(lastY, y + 1); ++py) {
                for (int px = std::max(0, x - 1); px <= std::min(lastX, x + 1); ++px) {
                    if (!flatHolds(px, py))
                        continue;
                    const qint64 bound = std::min(most, rival(least));
                    const qint64 sum = score(px, py, bound);
                    if (sum <= bound) {
                        found.append({QPoint(px, py), sum});
                        least = std::min(least, sum);
                    }
                }
            }
        }
    }
    if (found.isEmpty())
        return std::nullopt;
    const auto best =
        std::min_element(found.cbegin(), found.cend(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    // Next to the place, a pixel or so either way, the probes nearly hold
    // too; anywhere else nearly as well, and there is no telling which.
    constexpr int Near = 2;
    for (const auto& [place, sum] : found) {
        if ((std::abs(place.x() - best->first.x()) > Near ||
             std::abs(place.y() - best->first.y()) > Near) &&
            sum <= rival(best->second))
            return std::nullopt;
    }
    return best->first;
}

} // namespace portal

namespace {

/// Errors that mean no portal is there to answer, as opposed to one that
/// answers but will not take a screenshot.
bool meansNoPortal(QDBusError::ErrorType type) {
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

/// A colour channel of the portal's (ddd) answer, 0.0 to 1.0.
std::optional<int> channel(double value) {
    if (!std::isfinite(value) || value < 0.0 || value > 1.0)
        return std::nullopt;
    return int(std::lround(value * 255.0));
}

/// The colour of a PickColor answer, if it is one.
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

QRect logicalDesktop() {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.united(screen->geometry());
    return desktop;
}

} // namespace

// --- TFrozenScreen -----------------------------------------------------------

TFrozenScreen::TFrozenScreen(QScreen* screen, const QImage& picture, const QRectF& source)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture), m_source(source), m_origin(screen->geometry().topLeft()),
      m_screenSize(screen->geometry().size()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setScreen(screen);
    setGeometry(screen->geometry());
}

void TFrozenScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QRectF(rect()), m_picture, m_source);
}

// A full screen window is as large as the desktop makes it, which is not
// always the size the screen claims: mutter, on an output scaled by a whole
// number, gives the screen's size in device pixels and a window of it in
// points. The window shows the whole of its part of the picture either way.
QPointF TFrozenScreen::onDesktop(QPointF pos) const {
    if (width() > 0 && height() > 0) {
        pos.rx() *= double(m_screenSize.width()) / width();
        pos.ry() *= double(m_screenSize.height()) / height();
    }
    return QPointF(m_origin) + pos;
}

void TFrozenScreen::mouseMoveEvent(QMouseEvent* event) {
    emit moved(onDesktop(event->position()));
}

void TFrozenScreen::mouseReleaseEvent(QMouseEvent* event) {
    emit moved(onDesktop(event->position()));
    emit released();
}

void TFrozenScreen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        emit released();
    else
        QWidget::keyPressEvent(event);
}

// --- PortalScreenContext -----------------------------------------------------

PortalScreenContext::PortalScreenContext(QDBusConnection bus, portal::Waits waits)
    : m_bus(std::move(bus)), m_waits(waits) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &PortalScreenContext::noAnswer);
}

PortalScreenContext::~PortalScreenContext() {
    dropRequest();
    for (const QPointer<TFrozenScreen>& window : m_frozen)
        delete window.data();
}

std::vector<TFrozenScreen*> PortalScreenContext::frozenScreens() const {
    std::vector<TFrozenScreen*> windows;
    for (const QPointer<TFrozenScreen>& window : m_frozen) {
        if (window)
            windows.push_back(window);
    }
    return windows;
}

QPoint PortalScreenContext::cursorPos() {
    if (m_stage != Stage::Frozen || m_desktop.isEmpty())
        return {};
    // The picture is in device pixels; the desktop's layout is logical.
    const QPointF qtSees(QCursor::pos());
    const QPointF where =
        m_windowFound ? *m_windowFound + (qtSees - m_windowAssumed) * m_windowScale : qtSees;
    const QPointF logical = m_pointer.value_or(where) - m_desktop.topLeft();
    const QPointF s = scale();
    return {int(std::floor(logical.x() * s.x())), int(std::floor(logical.y() * s.y()))};
}

PackedColor PortalScreenContext::pixel(QPoint p) {
    switch (m_stage) {
    case Stage::Frozen:
        if (!m_picture.valid(p))
            return UnreadablePixel;
        {
            const QRgb rgb = m_picture.pixel(p);
            return packColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
        }
    case Stage::Answered:
        return m_answer;
    default:
        return UnreadablePixel;
    }
}

void PortalScreenContext::beginPick(const PickHandlers& handlers) {
    unfreeze();
    dropRequest();
    m_handlers = handlers;
    m_pointer.reset();
    m_windowShot = QImage();
    if (QWidget* window = handlers.window) {
        // As it looks now, which is how the screenshot will show it.
        m_windowShot = window->grab().toImage();
        m_windowAssumed = window->mapToGlobal(QPoint(0, 0));
    }
    if (!m_bus.isConnected()) {
        setStage(Stage::Unavailable);
        return;
    }
    request(Request::Screenshot);
}

bool PortalScreenContext::followsPointer() const {
    return m_stage == Stage::Frozen || m_stage == Stage::Answered;
}

bool PortalScreenContext::endPick() {
    if (m_stage == Stage::Picker)
        return false; // the desktop's picker answers later
    dropRequest();
    unfreeze();
    setStage(Stage::Idle);
    return true;
}

void PortalScreenContext::request(Request kind) {
    dropRequest();
    m_request = kind;
    const QString token = QStringLiteral("mirabou%1").arg(++m_serial);
    watchPath(portal::requestPath(m_bus.baseService(), token));

    QVariantMap options{{QStringLiteral("handle_token"), token}};
    QString method = QStringLiteral("PickColor");
    if (kind == Request::Screenshot) {
        m_requested = QDateTime::currentDateTimeUtc();
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
                if (serial == m_serial && m_request != Request::None)
                    onCallFinished(finished);
            });
    m_deadline.start(kind == Request::Screenshot ? m_waits.screenshot : m_waits.picker);
    setStage(kind == Request::Screenshot ? Stage::Requesting : Stage::Picker);
}

void PortalScreenContext::dropRequest() {
    ++m_serial; // late replies to an earlier call are ignored
    if (m_request == Request::Screenshot && !m_watchedPath.isEmpty())
        abandon(m_watchedPath);
    m_request = Request::None;
    m_deadline.stop();
    watchPath(QString());
}

bool PortalScreenContext::listen(const QString& path, const char* slot, bool on) {
    const QString member = QStringLiteral("Response");
    return on ? m_bus.connect(portal::Service, path, portal::RequestInterface, member, this, slot)
              : m_bus.disconnect(portal::Service, path, portal::RequestInterface, member, this,
                                 slot);
}

void PortalScreenContext::abandon(const QString& path) {
    constexpr qsizetype Kept = 16; // a user does not leave more questions open
    const char* slot = SLOT(onLateResponse(uint, QVariantMap, QDBusMessage));
    if (m_abandoned.size() == Kept)
        listen(m_abandoned.takeFirst().first, slot, false);
    if (listen(path, slot, true))
        m_abandoned.append({path, m_requested});
}

void PortalScreenContext::onLateResponse(uint code, const QVariantMap& results,
                                         const QDBusMessage& message) {
    for (qsizetype i = 0; i < m_abandoned.size(); ++i) {
        if (m_abandoned[i].first != message.path())
            continue;
        const auto [path, requested] = m_abandoned.takeAt(i);
        listen(path, SLOT(onLateResponse(uint, QVariantMap, QDBusMessage)), false);
        if (code == 0)
            removeMadeFile(pictureFile(results), requested);
        return;
    }
}

QString PortalScreenContext::pictureFile(const QVariantMap& results) {
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    return uri.isLocalFile() ? uri.toLocalFile() : QString();
}

void PortalScreenContext::removeMadeFile(const QString& file, const QDateTime& requested) {
    // The portal leaves its picture behind (wlroots in /tmp, GNOME and KDE in
    // the user's Pictures folder): a file made for the request goes, a file
    // that was there before stays, and so does one whose making the file
    // system does not record.
    if (file.isEmpty())
        return;
    const QDateTime made = QFileInfo(file).birthTime();
    if (made.isValid() && made >= requested)
        QFile::remove(file);
}

void PortalScreenContext::watchPath(const QString& path) {
    const char* slot = SLOT(onResponse(uint, QVariantMap));
    if (!m_watchedPath.isEmpty())
        listen(m_watchedPath, slot, false);
    m_watchedPath = path;
    if (!path.isEmpty())
        listen(path, slot, true);
}

void PortalScreenContext::onCallFinished(QDBusPendingCallWatcher* watcher) {
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        watchPath(QString()); // no answer will come to that request
        const QDBusError error = reply.error();
        if (m_request == Request::Screenshot && !meansNoPortal(error.type()))
            request(Request::PickColor); // a portal without screenshots
        else
            noAnswer();
        return;
    }
    // Portals older than handle_token answer on a path of their own choosing.
    const QString handle = reply.value().path();
    if (handle != m_watchedPath)
        watchPath(handle);
}

void PortalScreenContext::onResponse(uint code, const QVariantMap& results) {
    const Request answered = m_request;
    m_request = Request::None;
    m_deadline.stop();
    watchPath(QString());
    if (answered == Request::Screenshot)
        onScreenshot(code, results);
    else if (answered == Request::PickColor)
        onPickedColor(code, results);
}

void PortalScreenContext::onScreenshot(uint code, const QVariantMap& results) {
    QImage picture;
    if (code == 0) {
        const QString file = pictureFile(results);
        if (!file.isEmpty()) {
            picture.load(file);
            removeMadeFile(file, m_requested);
        }
    }
    if (picture.isNull())
        request(Request::PickColor); // refused, or nothing we can read
    else
        freeze(picture);
}

void PortalScreenContext::onPickedColor(uint code, const QVariantMap& results) {
    const std::optional<PackedColor> color =
        code == 0 ? pickedColor(results) : std::optional<PackedColor>();
    if (color)
        applyAnswer(*color);
    else
        finish(); // cancelled or refused: the colour stays as it was
}

void PortalScreenContext::noAnswer() {
    const Request pending = m_request;
    dropRequest();
    if (pending == Request::PickColor)
        finish(); // the button is up already: the colour stays as it was
    else
        setStage(Stage::Unavailable);
}

void PortalScreenContext::freeze(const QImage& picture) {
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    m_desktop = logicalDesktop();
    if (m_desktop.isEmpty()) {
        setStage(Stage::Unavailable);
        return;
    }
    const QPointF s = scale();
    m_windowFound.reset();
    if (!m_windowShot.isNull()) {
        // As drawn, device pixel for pixel: as the picture shows it where
        // the compositor did not scale it.
        const double ratio = m_windowShot.devicePixelRatio();
        std::optional<QPoint> at = portal::locate(m_windowShot, m_picture);
        double shown = 1; // picture pixels per device pixel of the window
        if (!at && !qFuzzyCompare(ratio, s.x())) {
            // Drawn at a whole ratio, shown at the desktop's fractional one
            // (or scaled up for a program that knows of no ratio): a point
            // of the window is a point of the desktop.
            shown = s.x() / ratio;
            at = portal::locateScaled(m_windowShot, m_picture, shown);
        }
        if (at) {
            m_windowFound = QPointF(*at) / s.x() + m_desktop.topLeft();
            m_windowScale = ratio * shown / s.x();
        }
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRectF area = QRectF(screen->geometry()).translated(-m_desktop.topLeft());
        const QRectF source(area.x() * s.x(), area.y() * s.y(), area.width() * s.x(),
                            area.height() * s.y());
        auto* window = new TFrozenScreen(screen, m_picture, source);
        connect(window, &TFrozenScreen::moved, this, [this](QPointF pos) {
            m_pointer = pos;
            if (m_handlers.move)
                m_handlers.move();
        });
        connect(window, &TFrozenScreen::released, this, [this] {
            unfreeze();
            finish();
        });
        m_frozen.emplace_back(window);
        window->showFullScreen();
    }
    setStage(Stage::Frozen);
}

void PortalScreenContext::unfreeze() {
    for (const QPointer<TFrozenScreen>& window : m_frozen) {
        if (window) {
            window->hide();
            window->deleteLater(); // may be inside its own event handler
        }
    }
    m_frozen.clear();
    m_picture = QImage();
    m_pointer.reset();
}

void PortalScreenContext::applyAnswer(PackedColor color) {
    m_answer = color;
    setStage(Stage::Answered);
    if (m_handlers.move)
        m_handlers.move();
    finish();
}

void PortalScreenContext::finish() {
    setStage(Stage::Idle);
    if (m_handlers.release)
        m_handlers.release();
}

QPointF PortalScreenContext::scale() const {
    return {double(m_picture.width()) / m_desktop.width(),
            double(m_picture.height()) / m_desktop.height()};
}

void PortalScreenContext::setStage(Stage stage) {
    if (m_stage == stage)
        return;
    m_stage = stage;
    emit stageChanged(stage);
}
