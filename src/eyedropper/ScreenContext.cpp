#include "eyedropper/ScreenContext.h"

#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/X11ScreenContext.h"

#include <QGuiApplication>

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
