#pragma once

#include "color/ColorValue.h"

#include <QPoint>
#include <QPointF>
#include <functional>
#include <memory>

class QWidget;

/// What a screen context may drive by itself while a pick runs: a move reads
/// the context's pixel under its pointer, a release ends the pick. window is
/// the window whose button started the pick.
struct PickHandlers {
    std::function<void()> move;
    std::function<void()> release;
    QWidget* window = nullptr;
};

/// Where the eyedropper reads pixels from: the pointer's position and the
/// colour of single screen pixels, both in device pixels of the whole desktop.
class ScreenContext {
public:
    virtual ~ScreenContext() = default;

    /// The pointer's position on the desktop, in device pixels.
    virtual QPoint cursorPos() = 0;
    /// Where a pointer event over the program's window found the pointer, in
    /// the desktop's logical coordinates; a context may take it for the next
    /// cursorPos() instead of asking the display where the pointer is.
    virtual void pointerSeen(QPointF global) { (void)global; }
    /// The packed colour of the pixel at p, or UnreadablePixel.
    virtual PackedColor pixel(QPoint p) = 0;

    /// The eyedropper button went down. A context that cannot read the live
    /// screen prepares its own source here and may call the handlers later.
    virtual void beginPick(const PickHandlers& handlers) { (void)handlers; }
    /// Whether a pointer movement over the button should be read now; false
    /// while the context is still preparing or another picker runs.
    virtual bool followsPointer() const { return true; }
    /// The eyedropper button came up. Returns false when the pick goes on
    /// and the context ends it later through its release handler.
    virtual bool endPick() { return true; }
};

/// A screen that can read nothing.
class NullScreenContext : public ScreenContext {
public:
    QPoint cursorPos() override { return {}; }
    PackedColor pixel(QPoint) override { return UnreadablePixel; }
};

/// Opens the screen context that fits the running platform: X11 when the
/// program runs on xcb, the desktop portal on Wayland, otherwise one that
/// reads nothing (every point counts as unreadable).
std::unique_ptr<ScreenContext> openScreenContext();

using ScreenContextFactory = std::function<std::unique_ptr<ScreenContext>()>;
