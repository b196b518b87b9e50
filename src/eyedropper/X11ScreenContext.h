#pragma once

#include "eyedropper/ScreenContext.h"

#include <optional>
#include <xcb/xcb.h>

/// Reads the X11 root window through Qt's own xcb connection: a pixel with a
/// 1x1 xcb_get_image, an area with one xcb_get_image; the pointer where the
/// last pointer event found it, or with xcb_query_pointer when there was none
/// or the screen is scaled.
class X11ScreenContext : public ScreenContext {
public:
    X11ScreenContext(xcb_connection_t* connection, xcb_window_t root, QSize rootSize);
    ~X11ScreenContext() override;

    QPoint cursorPos() override;
    void pointerSeen(QPointF global) override;
    bool showsSquare(QPoint picked, int across) const override;
    PackedColor pixel(QPoint p) override;
    QImage area(const QRect& area) override;
    /// Asks the X server now and takes its answer when the pixels are
    /// needed, without waiting for it meanwhile.
    Reading areaLater(const QRect& area) override;
    void catchUp() override;
    /// Warps the pointer; a point off the root window is picked without it.
    void nudge(QPoint delta) override;
    /// Grabs them on the root window, with X's crosshair.
    bool grabInput(const InputHandlers& handlers) override;
    void releaseInput() override;

    /// The context for the running application, or null when it does not run
    /// on xcb.
    static std::unique_ptr<X11ScreenContext> open();
    /// Whether the X server is XWayland: its root window holds the X11
    /// windows only, every other pixel of the screen reads black.
    static bool isXWayland(xcb_connection_t* connection);

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    QRect m_rootArea;
    std::optional<QPoint> m_seen;   // device pixels, taken by the next cursorPos()
    std::optional<QPoint> m_nudged; // off the root window, until the pointer moves
    class Grab;
    std::unique_ptr<Grab> m_grab;
};
