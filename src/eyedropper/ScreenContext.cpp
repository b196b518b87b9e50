#include "eyedropper/ScreenContext.h"

#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/X11ScreenContext.h"

#include <QGuiApplication>

std::unique_ptr<ScreenContext> openScreenContext() {
    if (auto x11 = X11ScreenContext::open())
        return x11;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return std::make_unique<PortalScreenContext>(QDBusConnection::sessionBus());
    return std::make_unique<NullScreenContext>();
}
