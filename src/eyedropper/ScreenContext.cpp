#include "eyedropper/ScreenContext.h"

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

QScreen* screenAt(QPoint device) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (inDevicePixels(screen, screen->geometry()).contains(device))
            return screen;
    }
    return QGuiApplication::primaryScreen();
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
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || onXWayland())
        return std::make_unique<PortalScreenContext>(QDBusConnection::sessionBus());
    if (auto x11 = X11ScreenContext::open())
        return x11;
    return std::make_unique<NullScreenContext>();
}
