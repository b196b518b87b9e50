#include "eyedropper/ScreenContext.h"

#include "eyedropper/Logging.h"

#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/X11ScreenContext.h"

#include <QGuiApplication>
#include <QScreen>

QImage ScreenContext::area(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const PackedColor c = pixel(area.topLeft() + QPoint(x, y));
            line[x] =
                c == UnreadablePixel ? qRgb(255, 255, 255) : qRgb(redOf(c), greenOf(c), blueOf(c));
        }
    }
    return image;
}

ScreenContext::Reading ScreenContext::areaLater(const QRect& area) {
    return [image = this->area(area)] { return image; };
}

bool ScreenContext::showsAround(QPoint picked, QPoint offset) const {
    return desktop::oneScreenShows(QRect(picked + offset, QSize(1, 1)));
}

qreal ScreenContext::ratioAt(QPoint p) const {
    return desktop::screenAt(p)->devicePixelRatio();
}

namespace desktop {

QRect inDevicePixels(const QScreen* screen, const QRectF& logical) {
    const QPointF origin = screen->geometry().topLeft();
    const qreal ratio = screen->devicePixelRatio();
    return QRectF(origin + (logical.topLeft() - origin) * ratio, logical.size() * ratio)
        .toAlignedRect();
}

namespace {

/// The screen showing all of an area of device pixels, if one does.
QScreen* screenShowing(const QRect& device) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (inDevicePixels(screen, screen->geometry()).contains(device))
            return screen;
    }
    return nullptr;
}

} // namespace

bool oneScreenShows(const QRect& device) {
    return screenShowing(device) != nullptr;
}

QScreen* screenAt(QPoint device) {
    QScreen* screen = screenShowing(QRect(device, QSize(1, 1)));
    return screen ? screen : QGuiApplication::primaryScreen();
}

QPointF toLogical(QPoint device) {
    const QScreen* screen = screenAt(device);
    const QPointF origin = screen->geometry().topLeft();
    return origin + (QPointF(device) + QPointF(0.5, 0.5) - origin) / screen->devicePixelRatio();
}

} // namespace desktop

namespace {

bool onXWayland() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && x11->connection() && X11ScreenContext::isXWayland(x11->connection());
}

} // namespace

std::unique_ptr<ScreenContext> openScreenContext() {
    // On Wayland, and for an X11 program on XWayland, only the desktop's
    // portal can see the whole screen.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || onXWayland()) {
        qCInfo(lcPick) << "reading the screen through the desktop portal";
        return std::make_unique<PortalScreenContext>(QDBusConnection::sessionBus());
    }
    if (auto x11 = X11ScreenContext::open()) {
        qCInfo(lcPick) << "reading the screen from the X server";
        return x11;
    }
    qCWarning(lcPick) << "no screen to read on the platform" << QGuiApplication::platformName()
                      << ": every pick reads nothing";
    return std::make_unique<NullScreenContext>();
}

const char* pickFailureText(PickFailure why) {
    switch (why) {
    case PickFailure::NoPortal:
        return "no desktop portal answers";
    case PickFailure::NoAnswer:
        return "the desktop portal gave no picture of the screen in time";
    case PickFailure::Unreadable:
        return "the desktop's picture of the screen cannot be read";
    case PickFailure::Refused:
        return "the desktop refuses screenshots and its own colour picker";
    case PickFailure::NoScreen:
        return "the pointer and the keyboard cannot be had for the pick";
    }
    return "";
}
