#include "eyedropper/PortalScreenContext.h"

#include "eyedropper/PickCursor.h"

#include "eyedropper/Logging.h"
#include "eyedropper/Sample.h"
#include "eyedropper/WindowLocator.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

QRect logicalDesktop() {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.united(screen->geometry());
    return desktop;
}

QList<QRect> screenGeometries() {
    QList<QRect> geometries;
    for (const QScreen* screen : QGuiApplication::screens())
        geometries.append(screen->geometry());
    return geometries;
}

} // namespace

PortalScreenContext::PortalScreenContext(QDBusConnection bus, portal::Waits waits)
    : m_request(std::move(bus), waits) {
    connect(&m_request, &TPortalRequest::answered, this, &PortalScreenContext::onAnswer);
    connect(&m_request, &TPortalRequest::failed, this, &PortalScreenContext::onFailure);
    connect(&m_request, &TPortalRequest::timedOut, this, &PortalScreenContext::noAnswer);
}

PortalScreenContext::~PortalScreenContext() {
    if (m_reader.joinable())
        m_reader.join(); // what it hands back goes with this object
    portal::removeMadeFile(m_readFile, m_readRequested);
    for (const QPointer<TFrozenScreen>& window : m_frozen)
        delete window.data();
    showCursorFor(Stage::Idle);
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
    m_picked.reset();
    if (m_stage != Stage::Frozen || m_desktop.isEmpty())
        return {};
    return pickedPoint();
}

QPoint PortalScreenContext::pickedPoint() {
    m_picked.reset();
    // The picture is in device pixels; the desktop's layout is logical.
    const QPointF qtSees =
        m_stage == Stage::Releasing && m_seen ? *m_seen : QPointF(QCursor::pos());
    const QPointF where =
        m_windowFound ? *m_windowFound + (qtSees - m_windowAssumed) * m_windowScale : qtSees;
    const QPointF pointer = m_pointer.value_or(where);
    if (m_devicesArePixels) {
        const QPointF logical = pointer - m_desktop.topLeft();
        const QPointF s = scale();
        return QPoint(int(std::floor(logical.x() * s.x())), int(std::floor(logical.y() * s.y()))) +
               m_nudged;
    }
    const std::optional<Device> under = deviceAt(pointer);
    m_picked = under ? offset(*under, m_nudged) : std::nullopt;
    return m_picked ? inPicture(*m_picked) : QPoint(-1, -1); // off every screen: nothing
}

QImage PortalScreenContext::area(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white); // what no screen shows
    if (m_stage != Stage::Frozen)
        return image;
    QPainter painter(&image);
    for (const Output& output : m_outputs) {
        const QRect inside = area & output.pixels & m_picture.rect();
        if (!inside.isEmpty())
            painter.drawImage(inside.topLeft() - area.topLeft(), m_picture, inside);
    }
    return image;
}

QImage PortalScreenContext::around(QPoint picked, int across) {
    if (m_devicesArePixels || !m_picked || inPicture(*m_picked) != picked)
        return ScreenContext::around(picked, across);
    // A cell per device pixel of the picked one's screen, each from the
    // picture pixel that shows it.
    QImage image(across, across, QImage::Format_RGB32);
    for (int y = 0; y < across; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < across; ++x) {
            const std::optional<Device> cell =
                offset(*m_picked, QPoint(x - across / 2, y - across / 2));
            const QPoint at = cell ? inPicture(*cell) : QPoint(-1, -1);
            line[x] = m_picture.valid(at) ? m_picture.pixel(at) : qRgb(255, 255, 255);
        }
    }
    return image;
}

void PortalScreenContext::pointerSeen(QPointF) {
    m_nudged = {};
}

void PortalScreenContext::nudge(QPoint delta) {
    m_nudged += delta;
}

PortalScreenContext::MagnifierPlace PortalScreenContext::magnifierPlace() const {
    return m_stage == Stage::Frozen ? MagnifierPlace::Picture : MagnifierPlace::None;
}

void PortalScreenContext::showMagnifier(const Magnified& view) {
    const QPointF picked = QPointF(cursorPos()) + QPointF(0.5, 0.5);
    for (const QPointer<TFrozenScreen>& window : m_frozen) {
        if (!window)
            continue;
        if (view.cells.isNull() || !window->source().contains(picked))
            window->setMagnifier({}, {});
        else
            window->setMagnifier(view, window->fromPicture(picked));
    }
}

qreal PortalScreenContext::ratioAt(QPoint p) const {
    for (const QPointer<TFrozenScreen>& window : m_frozen) {
        if (window && window->source().contains(QPointF(p) + QPointF(0.5, 0.5)))
            return window->devicePixelRatioF();
    }
    return ScreenContext::ratioAt(p);
}

PackedColor PortalScreenContext::pixel(QPoint p) {
    switch (m_stage) {
    case Stage::Frozen:
        if (!m_picture.valid(p) || !shown(p))
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
    m_request.drop();
    m_handlers = handlers;
    m_pointer.reset();
    m_seen.reset();
    ++m_readings; // a picture read for an earlier pick is not this one's
    m_nudged = {};
    m_windowShot = QImage();
    if (QWidget* window = handlers.window) {
        // As it looks now, which is how the screenshot will show it.
        m_windowShot = window->grab().toImage();
        m_windowAssumed = window->mapToGlobal(QPoint(0, 0));
    }
    if (!m_request.connected()) {
        qCWarning(lcPortal) << "no session bus to ask the desktop portal on";
        fail(Stage::Unavailable, PickFailure::NoPortal);
        return;
    }
    request(Kind::Screenshot);
}

bool PortalScreenContext::followsPointer() const {
    return m_stage == Stage::Frozen || m_stage == Stage::Answered || m_stage == Stage::Unreadable;
}

void PortalScreenContext::cancelPick() {
    m_request.drop();
    unfreeze();
    setStage(Stage::Idle);
}

bool PortalScreenContext::endPick() {
    if (m_stage == Stage::Picker || m_stage == Stage::Releasing)
        return false; // the desktop's picker, or the picture, answers later
    if (m_stage == Stage::Requesting) {
        // Up before the picture came (a slow desktop): the pick ends where
        // the button came up, read from the picture once it comes. Screens
        // prepared for it are not drawn yet, and no longer needed.
        qCInfo(lcPick) << "released before the desktop's picture came: picking from it once it "
                          "comes";
        unfreeze();
        setStage(Stage::Releasing);
        return false;
    }
    if (m_stage == Stage::Frozen)
        qCInfo(lcPick) << "released over the picture at" << cursorPos()
                       << (m_windowFound ? "(the window found in it)" : "(the window not found)");
    m_request.drop();
    unfreeze();
    setStage(Stage::Idle);
    return true;
}

void PortalScreenContext::onScreenshot(uint code, const QVariantMap& results) {
    if (code != 0) {
        request(Kind::PickColor); // refused: the desktop's own picker, then
        return;
    }
    // Granted, but a picture that is missing, no picture, cut short or too
    // large to be the desktop's shows nothing: every point reads as one no
    // screen shows.
    const QString file = portal::pictureFile(results);
    if (file.isEmpty()) {
        qCWarning(lcPortal) << "the screenshot's answer names no local file:"
                            << results.value(QStringLiteral("uri"));
        if (m_stage == Stage::Releasing) {
            pickReleased(QImage());
            return;
        }
        fail(Stage::Unreadable, PickFailure::Unreadable);
        return;
    }
    readPicture(file);
    if (m_stage == Stage::Requesting)
        prepareScreens();
}

namespace {

/// The picture in file, if its size, read before the picture, is at most
/// most; a null image otherwise.
QImage decodePicture(const QString& file, QSize most) {
    QImageReader reader(file);
    const QSize size = reader.size();
    if (!size.isValid()) {
        qCWarning(lcPortal).noquote()
            << "the screenshot" << file << "cannot be read:" << reader.errorString();
        return {};
    }
    if (size.width() > most.width() || size.height() > most.height()) {
        qCWarning(lcPortal) << "the screenshot" << file << "is" << size
                            << "pixels, larger than the desktop's" << most;
        return {};
    }
    QImage picture = reader.read();
    if (picture.isNull())
        qCWarning(lcPortal).noquote()
            << "the screenshot" << file << "cannot be read:" << reader.errorString();
    picture.convertTo(QImage::Format_RGB32); // in place where it can be
    return picture;
}

} // namespace

void PortalScreenContext::readPicture(const QString& file) {
    // At most the desktop's size at its screens' largest scale (no less
    // than 2), which a screenshot of it has; the size is read before the
    // picture, so that a file claiming more is not decoded at all.
    qreal scale = 2;
    for (const QScreen* screen : QGuiApplication::screens())
        scale = std::max(scale, std::ceil(screen->devicePixelRatio()));
    const QSize most = (QSizeF(logicalDesktop().size()) * scale).toSize();
    if (m_reader.joinable())
        m_reader.join(); // an earlier pick's, given up
    portal::removeMadeFile(m_readFile, m_readRequested);
    m_readFile = file;
    m_readRequested = m_request.requested();
    const quint64 reading = m_reading = ++m_readings;
    m_reader = std::thread([this, file, most, reading] {
        QImage picture = decodePicture(file, most);
        QMetaObject::invokeMethod(
            this,
            [this, reading, picture = std::move(picture)]() mutable {
                pictureRead(reading, std::move(picture));
            },
            Qt::QueuedConnection);
    });
}

void PortalScreenContext::pictureRead(quint64 reading, QImage picture) {
    if (reading == m_reading && m_reader.joinable()) {
        m_reader.join();
        portal::removeMadeFile(m_readFile, m_readRequested);
        m_readFile.clear();
    }
    if (reading != m_readings)
        return; // the pick began again meanwhile
    if (m_stage == Stage::Releasing) {
        pickReleased(std::move(picture));
        return;
    }
    if (m_stage != Stage::Requesting)
        return; // the pick ended meanwhile
    if (picture.isNull()) {
        unfreeze();
        fail(Stage::Unreadable, PickFailure::Unreadable);
    } else {
        freeze(std::move(picture));
    }
}

void PortalScreenContext::prepareScreens() {
    unfreeze();
    // An X11 window shows (whatever it holds) once shown: there the frozen
    // screens are shown with their picture.
    const bool shownWhenDrawn =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    m_preparedFor = screenGeometries();
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* window = new TFrozenScreen(screen);
        connect(window, &TFrozenScreen::moved, this, [this](QPointF pos) {
            m_pointer = pos;
            m_nudged = {};
            if (m_handlers.move)
                m_handlers.move();
        });
        connect(window, &TFrozenScreen::released, this, [this](Qt::MouseButton button, QPointF at) {
            unfreeze();
            if (button == Qt::RightButton && m_handlers.cancel) {
                setStage(Stage::Idle);
                m_handlers.cancel();
            } else if (m_stage == Stage::Requesting) {
                // Up before its picture was drawn: picked there once it is.
                m_pointer = at;
                setStage(Stage::Releasing);
            } else {
                finish();
            }
        });
        m_frozen.emplace_back(window);
        if (shownWhenDrawn)
            window->showFullScreen();
    }
}

void PortalScreenContext::onPickedColor(uint code, const QVariantMap& results) {
    const std::optional<PackedColor> color =
        code == 0 ? portal::pickedColor(results) : std::optional<PackedColor>();
    if (color) {
        applyAnswer(*color);
        return;
    }
    // Cancelled by the user, or refused: the colour stays as it was.
    if (code != 1) {
        qCWarning(lcPortal) << "the desktop's colour picker gave no colour: answer" << code
                            << results;
        if (m_handlers.failed)
            m_handlers.failed(PickFailure::Refused);
    }
    finish();
}

void PortalScreenContext::request(Kind kind) {
    m_request.start(kind);
    setStage(kind == Kind::Screenshot ? Stage::Requesting : Stage::Picker);
}

void PortalScreenContext::onAnswer(Kind kind, uint code, const QVariantMap& results) {
    if (kind == Kind::Screenshot)
        onScreenshot(code, results);
    else
        onPickedColor(code, results);
}

void PortalScreenContext::onFailure(Kind kind, bool noPortal) {
    if (kind == Kind::Screenshot && !noPortal) {
        request(Kind::PickColor); // a portal without screenshots
    } else if (kind == Kind::PickColor && !noPortal) {
        if (m_handlers.failed)
            m_handlers.failed(PickFailure::Refused);
        finish();
    } else {
        if (kind == Kind::Screenshot)
            fail(Stage::Unavailable, PickFailure::NoPortal);
        else
            noAnswer(kind);
    }
}

void PortalScreenContext::noAnswer(Kind kind) {
    if (kind == Kind::PickColor) {
        finish(); // the button is up already: the colour stays as it was
        return;
    }
    unfreeze(); // screens prepared for a picture that did not come
    fail(Stage::Unavailable, PickFailure::NoAnswer);
}

void PortalScreenContext::fail(Stage stage, PickFailure why) {
    qCWarning(lcPick).noquote() << "the pick reads nothing:" << pickFailureText(why) << "(stage"
                                << QDebug::toString(m_stage).section(QLatin1String("::"), -1)
                                << "->" << QDebug::toString(stage).section(QLatin1String("::"), -1)
                                << ")";
    setStage(stage);
    if (m_handlers.failed)
        m_handlers.failed(why);
}

bool PortalScreenContext::take(QImage picture) {
    m_picture = std::move(picture); // as decodePicture made it: 32-bit RGB
    m_desktop = logicalDesktop();
    if (m_desktop.isEmpty()) {
        qCWarning(lcPick) << "no screen is left to show the picture";
        return false;
    }
    const QPointF s = scale();
    findOutputs();
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
        } else {
            qCInfo(lcPick) << "the pressed window is not found in the picture: the pointer is "
                              "taken where Qt sees it";
        }
    }
    return true;
}

void PortalScreenContext::freeze(QImage picture) {
    // The screens may have changed while the picture was read: windows made
    // for the old ones would show and place it wrongly.
    const bool lost = std::any_of(m_frozen.begin(), m_frozen.end(),
                                  [](const QPointer<TFrozenScreen>& window) { return !window; });
    if (lost || m_preparedFor != screenGeometries())
        prepareScreens();
    if (!take(std::move(picture))) {
        unfreeze();
        fail(Stage::Unavailable, PickFailure::NoAnswer);
        return;
    }
    const QPointF s = scale();
    for (size_t i = 0; i < m_frozen.size(); ++i) {
        const Output& output = m_outputs[i];
        const QRectF source(
            output.origin, QSizeF(output.logical.width() * s.x(), output.logical.height() * s.y()));
        // Where the screen's device pixels span several of the picture's, it
        // shows each as the pick reads it.
        const bool enlarged = output.step != QPointF(1, 1);
        if (TFrozenScreen* window = m_frozen[i]) {
            window->setPicture(m_picture, source, enlarged ? deviceImage(output) : QImage());
            if (!window->isVisible())
                window->showFullScreen();
        }
    }
    setStage(Stage::Frozen);
}

void PortalScreenContext::pickReleased(QImage picture) {
    if (picture.isNull()) {
        fail(Stage::Unreadable, PickFailure::Unreadable);
        applyAnswer(UnreadablePixel); // as a point no screen shows
        return;
    }
    const std::optional<QPointF> pointer = m_pointer; // a frozen screen's release
    if (!take(std::move(picture))) {
        unfreeze();
        fail(Stage::Unavailable, PickFailure::NoAnswer);
        return;
    }
    m_pointer = pointer;
    const QPoint at = pickedPoint();
    // The pixel there, or the mean of the area around it, as a move would
    // have read it from the frozen picture.
    const PackedColor colour = sample::mean(m_handlers.sample, [&](QPoint delta) {
        const std::optional<QPoint> p = pictureAround(at, delta);
        return p ? std::optional<QRgb>(m_picture.pixel(*p)) : std::nullopt;
    });
    qCInfo(lcPick) << "picked from the picture that came after the release, at" << at;
    unfreeze();
    applyAnswer(colour);
}

void PortalScreenContext::settle() {
    m_handlers = {}; // nothing of the program is left to tell
    if (m_stage != Stage::Idle) {
        unfreeze();
        setStage(Stage::Idle);
    }
    m_request.settle();
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
    m_outputs.clear();
    m_picked.reset();
    m_pointer.reset();
    m_nudged = {};
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

void PortalScreenContext::setStage(Stage stage) {
    if (m_stage == stage)
        return;
    m_stage = stage;
    showCursorFor(stage);
    emit stageChanged(stage);
    if ((stage == Stage::Frozen || stage == Stage::Picker) && m_handlers.ready)
        m_handlers.ready();
}

void PortalScreenContext::showCursorFor(Stage stage) {
    std::optional<pickcursor::Kind> wanted;
    switch (stage) {
    case Stage::Requesting:
    case Stage::Frozen:
    case Stage::Unreadable:
        wanted = pickcursor::Kind::Aiming;
        break;
    case Stage::Releasing:
    case Stage::Picker:
        wanted = pickcursor::Kind::Waiting;
        break;
    case Stage::Idle:
    case Stage::Answered:
    case Stage::Unavailable:
        break;
    }
    if (wanted == m_cursor)
        return;
    if (!wanted)
        QGuiApplication::restoreOverrideCursor();
    else if (m_cursor)
        QGuiApplication::changeOverrideCursor(pickcursor::cursor(*wanted));
    else
        QGuiApplication::setOverrideCursor(pickcursor::cursor(*wanted));
    m_cursor = wanted;
}
