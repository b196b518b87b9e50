#include "eyedropper/PortalScreenContext.h"

#include "eyedropper/WindowLocator.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace {

QRect logicalDesktop() {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.united(screen->geometry());
    return desktop;
}

} // namespace

PortalScreenContext::PortalScreenContext(QDBusConnection bus, portal::Waits waits)
    : m_request(std::move(bus), waits) {
    connect(&m_request, &TPortalRequest::answered, this, &PortalScreenContext::onAnswer);
    connect(&m_request, &TPortalRequest::failed, this, &PortalScreenContext::onFailure);
    connect(&m_request, &TPortalRequest::timedOut, this, &PortalScreenContext::noAnswer);
}

PortalScreenContext::~PortalScreenContext() {
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
    return QPoint(int(std::floor(logical.x() * s.x())), int(std::floor(logical.y() * s.y()))) +
           m_nudged;
}

QImage PortalScreenContext::area(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white); // what no screen shows
    const QRect inside = area & m_picture.rect();
    if (m_stage == Stage::Frozen && !inside.isEmpty()) {
        QPainter painter(&image);
        painter.drawImage(inside.topLeft() - area.topLeft(), m_picture, inside);
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
    m_request.drop();
    m_handlers = handlers;
    m_pointer.reset();
    m_nudged = {};
    m_windowShot = QImage();
    if (QWidget* window = handlers.window) {
        // As it looks now, which is how the screenshot will show it.
        m_windowShot = window->grab().toImage();
        m_windowAssumed = window->mapToGlobal(QPoint(0, 0));
    }
    if (!m_request.connected()) {
        setStage(Stage::Unavailable);
        return;
    }
    request(Kind::Screenshot);
}

bool PortalScreenContext::followsPointer() const {
    return m_stage == Stage::Frozen || m_stage == Stage::Answered ||
           m_stage == Stage::Unreadable;
}

void PortalScreenContext::cancelPick() {
    m_request.drop();
    unfreeze();
    setStage(Stage::Idle);
}

bool PortalScreenContext::endPick() {
    if (m_stage == Stage::Picker)
        return false; // the desktop's picker answers later
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
    const QImage picture = readPicture(file);
    portal::removeMadeFile(file, m_request.requested());
    if (picture.isNull())
        setStage(Stage::Unreadable);
    else
        freeze(picture);
}

QImage PortalScreenContext::readPicture(const QString& file) const {
    if (file.isEmpty())
        return {};
    // At most the desktop's size at its screens' largest scale (no less
    // than 2), which a screenshot of it has; the size is read before the
    // picture, so that a file claiming more is not decoded at all.
    qreal scale = 2;
    for (const QScreen* screen : QGuiApplication::screens())
        scale = std::max(scale, std::ceil(screen->devicePixelRatio()));
    const QSize most = (QSizeF(logicalDesktop().size()) * scale).toSize();
    QImageReader reader(file);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > most.width() || size.height() > most.height())
        return {};
    return reader.read();
}

void PortalScreenContext::onPickedColor(uint code, const QVariantMap& results) {
    const std::optional<PackedColor> color =
        code == 0 ? portal::pickedColor(results) : std::optional<PackedColor>();
    if (color)
        applyAnswer(*color);
    else
        finish(); // cancelled or refused: the colour stays as it was
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
    if (kind == Kind::Screenshot && !noPortal)
        request(Kind::PickColor); // a portal without screenshots
    else
        noAnswer(kind);
}

void PortalScreenContext::noAnswer(Kind kind) {
    if (kind == Kind::PickColor)
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
            m_nudged = {};
            if (m_handlers.move)
                m_handlers.move();
        });
        connect(window, &TFrozenScreen::released, this, [this](Qt::MouseButton button) {
            unfreeze();
            if (button == Qt::RightButton && m_handlers.cancel) {
                setStage(Stage::Idle);
                m_handlers.cancel();
            } else {
                finish();
            }
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

QPointF PortalScreenContext::scale() const {
    return {double(m_picture.width()) / m_desktop.width(),
            double(m_picture.height()) / m_desktop.height()};
}

void PortalScreenContext::setStage(Stage stage) {
    if (m_stage == stage)
        return;
    m_stage = stage;
    emit stageChanged(stage);
    if ((stage == Stage::Unavailable || stage == Stage::Unreadable) && m_handlers.unavailable)
        m_handlers.unavailable();
    else if ((stage == Stage::Frozen || stage == Stage::Picker) && m_handlers.ready)
        m_handlers.ready();
}
