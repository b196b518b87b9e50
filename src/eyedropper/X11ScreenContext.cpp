#include "eyedropper/X11ScreenContext.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QThread>
#include <QWheelEvent>
#include <QtEndian>
#include <QtMath>
#include <algorithm>
#include <cstdlib>
#include <vector>

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

bool X11ScreenContext::showsSquare(QPoint picked, int across) const {
    return desktop::oneScreenShows(
        QRect(picked - QPoint(across / 2, across / 2), QSize(across, across)));
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

namespace {

/// The picture an xcb_get_image reply holds of inside, placed in area, white
/// elsewhere; a missing reply leaves it all white.
QImage picture(xcb_get_image_reply_t* reply, const QRect& area, const QRect& inside) {
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white); // what no screen shows
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
                to[x] = qFromLittleEndian<quint32>(from) | 0xFF000000u; // 0xFFRRGGBB
        }
    }
    std::free(reply);
    return image;
}

} // namespace

ScreenContext::Reading X11ScreenContext::areaLater(const QRect& area) {
    const QRect inside = area & m_rootArea;
    if (inside.isEmpty())
        return [area] { return picture(nullptr, area, area); };
    // The answer is taken once; one never asked for is thrown away.
    struct Request {
        xcb_connection_t* connection = nullptr;
        xcb_get_image_cookie_t cookie{};
        std::optional<QImage> image;
        ~Request() {
            if (!image)
                xcb_discard_reply(connection, cookie.sequence);
        }
    };
    auto request = std::make_shared<Request>();
    request->connection = m_connection;
    request->cookie =
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, qint16(inside.x()),
                      qint16(inside.y()), quint16(inside.width()), quint16(inside.height()), ~0u);
    return [request, area, inside] {
        if (!request->image)
            request->image = picture(
                xcb_get_image_reply(request->connection, request->cookie, nullptr), area, inside);
        return *request->image;
    };
}

void X11ScreenContext::catchUp() {
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

QImage X11ScreenContext::area(const QRect& area) {
    return areaLater(area)();
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

// --- a pick from anywhere ----------------------------------------------------

/// The pointer and the keyboard grabbed on the root window: their events
/// reach no window of Qt's, so they are taken as they come from the X server.
class X11ScreenContext::Grab : public QAbstractNativeEventFilter {
public:
    Grab(xcb_connection_t* connection, xcb_window_t root, InputHandlers handlers)
        : m_connection(connection), m_root(root), m_handlers(std::move(handlers)) {}
    ~Grab() override {
        if (m_pointer)
            xcb_ungrab_pointer(m_connection, XCB_CURRENT_TIME);
        if (m_keyboard)
            xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        if (m_cursor)
            xcb_free_cursor(m_connection, m_cursor);
        xcb_flush(m_connection);
    }

    /// Takes both, trying for a moment while another program holds them
    /// (a menu closing, a key still down).
    bool take() {
        readKeyboardMap();
        // The crosshair of X's own cursor font.
        const xcb_font_t font = xcb_generate_id(m_connection);
        xcb_open_font(m_connection, font, 6, "cursor");
        m_cursor = xcb_generate_id(m_connection);
        constexpr quint16 Crosshair = 34;
        xcb_create_glyph_cursor(m_connection, m_cursor, font, font, Crosshair, Crosshair + 1, 0, 0,
                                0, 0xFFFF, 0xFFFF, 0xFFFF);
        xcb_close_font(m_connection, font);
        for (int attempt = 0; attempt < 50 && !(m_pointer && m_keyboard); ++attempt) {
            if (attempt > 0)
                QThread::msleep(20);
            if (!m_pointer) {
                constexpr quint16 Mask = XCB_EVENT_MASK_POINTER_MOTION |
                                         XCB_EVENT_MASK_BUTTON_PRESS |
                                         XCB_EVENT_MASK_BUTTON_RELEASE;
                m_pointer = succeeded(xcb_grab_pointer_reply(
                    m_connection,
                    xcb_grab_pointer(m_connection, 0, m_root, Mask, XCB_GRAB_MODE_ASYNC,
                                     XCB_GRAB_MODE_ASYNC, XCB_NONE, m_cursor, XCB_CURRENT_TIME),
                    nullptr));
            }
            if (!m_keyboard)
                m_keyboard = succeeded(xcb_grab_keyboard_reply(
                    m_connection,
                    xcb_grab_keyboard(m_connection, 0, m_root, XCB_CURRENT_TIME,
                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                    nullptr));
        }
        return m_pointer && m_keyboard;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7F) {
        case XCB_MOTION_NOTIFY:
            if (m_handlers.moved)
                m_handlers.moved();
            return true;
        case XCB_BUTTON_PRESS: {
            const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
            if (press->detail == 4 || press->detail == 5) { // the wheel, up and down
                const QWheelEvent wheel(QPointF(), QPointF(press->root_x, press->root_y), QPoint(),
                                        QPoint(0, press->detail == 4 ? 120 : -120), Qt::NoButton,
                                        Qt::NoModifier, Qt::NoScrollPhase, false);
                if (m_handlers.wheel)
                    m_handlers.wheel(wheel);
            } else if (m_handlers.pressed) {
                m_handlers.pressed(press->detail == 1   ? Qt::LeftButton
                                   : press->detail == 3 ? Qt::RightButton
                                                        : Qt::MiddleButton);
            }
            return true;
        }
        case XCB_BUTTON_RELEASE:
            return true;
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE: {
            const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
            const QKeyEvent qt((event->response_type & 0x7F) == XCB_KEY_PRESS ? QEvent::KeyPress
                                                                              : QEvent::KeyRelease,
                               qtKey(key->detail),
                               key->state & XCB_MOD_MASK_SHIFT ? Qt::ShiftModifier
                                                               : Qt::NoModifier);
            if (m_handlers.key)
                m_handlers.key(qt);
            return true;
        }
        default:
            return false;
        }
    }

private:
    static bool succeeded(auto* reply) {
        const bool done = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        return done;
    }

    void readKeyboardMap() {
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        m_firstKeycode = setup->min_keycode;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            m_connection,
            xcb_get_keyboard_mapping(m_connection, setup->min_keycode,
                                     quint8(setup->max_keycode - setup->min_keycode + 1)),
            nullptr);
        if (!map)
            return;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map);
        const int length = xcb_get_keyboard_mapping_keysyms_length(map);
        const int perKeycode = map->keysyms_per_keycode;
        for (int i = 0; perKeycode > 0 && i < length; i += perKeycode)
            m_keysyms.push_back(keysyms[i]); // the key's first, unshifted symbol
        std::free(map);
    }

    /// The Qt key of the picker's keys; others count as none.
    int qtKey(xcb_keycode_t code) const {
        const std::size_t index = std::size_t(code) - m_firstKeycode;
        const xcb_keysym_t keysym = index < m_keysyms.size() ? m_keysyms[index] : 0;
        switch (keysym) {
        case 0xff51:
            return Qt::Key_Left;
        case 0xff52:
            return Qt::Key_Up;
        case 0xff53:
            return Qt::Key_Right;
        case 0xff54:
            return Qt::Key_Down;
        case 0xff0d:
            return Qt::Key_Return;
        case 0xff8d:
            return Qt::Key_Enter;
        case 0xff1b:
            return Qt::Key_Escape;
        default:
            return Qt::Key_unknown;
        }
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    InputHandlers m_handlers;
    xcb_cursor_t m_cursor = XCB_NONE;
    bool m_pointer = false;
    bool m_keyboard = false;
    quint8 m_firstKeycode = 0;
    std::vector<xcb_keysym_t> m_keysyms;
};

bool X11ScreenContext::grabInput(const InputHandlers& handlers) {
    releaseInput();
    auto grab = std::make_unique<Grab>(m_connection, m_root, handlers);
    if (!grab->take())
        return false;
    m_grab = std::move(grab);
    QCoreApplication::instance()->installNativeEventFilter(m_grab.get());
    return true;
}

void X11ScreenContext::releaseInput() {
    if (!m_grab)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(m_grab.get());
    m_grab.reset();
}

X11ScreenContext::~X11ScreenContext() {
    releaseInput();
}
