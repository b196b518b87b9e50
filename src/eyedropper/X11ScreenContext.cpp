#include "eyedropper/X11ScreenContext.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>
#include <algorithm>
#include <cstdlib>

X11ScreenContext::X11ScreenContext(xcb_connection_t* connection, xcb_window_t root, QSize rootSize)
    : m_connection(connection), m_root(root), m_rootArea(QPoint(0, 0), rootSize) {}

bool X11ScreenContext::isXWayland(xcb_connection_t* connection) {
    // XWayland names its RandR outputs XWAYLAND0, XWAYLAND1...; since
    // version 23.1 it also announces an extension of its own.
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (std::any_of(screens.begin(), screens.end(), [](const QScreen* s) {
            return s->name().startsWith(QLatin1String("XWAYLAND"));
        }))
        return true;
    static const char name[] = "XWAYLAND";
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

std::unique_ptr<X11ScreenContext> X11ScreenContext::open() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return nullptr;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return nullptr;
    return std::make_unique<X11ScreenContext>(
        c, screen->root, QSize(screen->width_in_pixels, screen->height_in_pixels));
}

void X11ScreenContext::pointerSeen(QPointF global) {
    m_nudged.reset(); // the pointer moved: the picked point is under it again
    // Logical coordinates are the root window's device pixels on a screen
    // that is not scaled; X11 counts whole pixels.
    const QScreen* screen = QGuiApplication::screenAt(global.toPoint());
    if (screen && screen->devicePixelRatio() == 1.0)
        m_seen = QPoint(qFloor(global.x()), qFloor(global.y()));
    else
        m_seen.reset();
}

QPoint X11ScreenContext::cursorPos() {
    if (m_nudged)
        return *m_nudged;
    if (m_seen) {
        const QPoint seen = *m_seen;
        m_seen.reset(); // one event, one reading
        return seen;
    }
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return {};
    const QPoint p(reply->root_x, reply->root_y);
    std::free(reply);
    return p;
}

PackedColor X11ScreenContext::pixel(QPoint p) {
    if (p.x() < 0 || p.y() < 0 || p.x() > 0x7FFF || p.y() > 0x7FFF)
        return UnreadablePixel;
    xcb_get_image_cookie_t cookie = xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root,
                                                  qint16(p.x()), qint16(p.y()), 1, 1, ~0u);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(m_connection, cookie, nullptr);
    if (!reply)
        return UnreadablePixel; // outside the root window
    PackedColor color = UnreadablePixel;
    const int length = xcb_get_image_data_length(reply);
    const uint8_t* data = xcb_get_image_data(reply);
    if (reply->depth >= 24 && length >= 3) // B, G, R, X
        color = packColor(data[2], data[1], data[0]);
    std::free(reply);
    return color;
}

QImage X11ScreenContext::area(const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white); // what no screen shows
    const QRect inside = area & m_rootArea;
    if (inside.isEmpty())
        return image;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, qint16(inside.x()),
                      qint16(inside.y()), quint16(inside.width()), quint16(inside.height()), ~0u),
        nullptr);
    if (!reply)
        return image;
    const int length = xcb_get_image_data_length(reply);
    const uint8_t* data = xcb_get_image_data(reply);
    const int stride = inside.height() > 0 ? length / inside.height() : 0;
    if (reply->depth >= 24 && stride >= inside.width() * 4) { // B, G, R, X
        for (int y = 0; y < inside.height(); ++y) {
            const uint8_t* from = data + qsizetype(y) * stride;
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(inside.y() - area.y() + y)) +
                       (inside.x() - area.x());
            for (int x = 0; x < inside.width(); ++x, from += 4)
                to[x] = qRgb(from[2], from[1], from[0]);
        }
    }
    std::free(reply);
    return image;
}

void X11ScreenContext::nudge(QPoint delta) {
    const QPoint to = cursorPos() + delta;
    m_seen.reset();
    if (!m_rootArea.contains(to)) {
        m_nudged = to; // off every screen: picked without the pointer, as white
        return;
    }
    m_nudged.reset();
    xcb_warp_pointer(m_connection, XCB_NONE, m_root, 0, 0, 0, 0, qint16(to.x()), qint16(to.y()));
    xcb_flush(m_connection);
    m_seen = to; // the warp's own motion event follows later
}
