#pragma once

#include "color/ColorValue.h"

#include <QPoint>
#include <functional>
#include <memory>

/// Where the eyedropper reads pixels from: the pointer's position and the
/// colour of single screen pixels, both in device pixels of the whole desktop.
class ScreenContext {
public:
    virtual ~ScreenContext() = default;

    /// The pointer's position on the desktop, in device pixels.
    virtual QPoint cursorPos() = 0;
    /// The packed colour of the pixel at p, or UnreadablePixel.
    virtual PackedColor pixel(QPoint p) = 0;
};

/// A screen that can read nothing.
class NullScreenContext : public ScreenContext {
public:
    QPoint cursorPos() override { return {}; }
    PackedColor pixel(QPoint) override { return UnreadablePixel; }
};

/// Opens the screen context that fits the running platform: X11 when the
/// program runs on xcb, otherwise one that reads nothing (every point counts
/// as unreadable).
std::unique_ptr<ScreenContext> openScreenContext();

using ScreenContextFactory = std::function<std::unique_ptr<ScreenContext>()>;
