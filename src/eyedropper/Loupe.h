#pragma once

#include "eyedropper/ScreenContext.h"

#include <QPoint>
#include <memory>
#include <optional>

class QKeyEvent;
class QWheelEvent;
class TMagnifier;

/// What a pick reads at the picked point and shows around it: with the
/// magnifier, the pixels around the point in one reading (mended where the
/// magnifier stands or stood), shown beside the pointer or inside the
/// screen's own picture; without it, the one pixel.
class TLoupe {
public:
    TLoupe();
    ~TLoupe();
    TLoupe(const TLoupe&) = delete;
    TLoupe& operator=(const TLoupe&) = delete;

    /// The colour of the picked point of screen, the magnifier shown when
    /// magnify and the screen has a place for it.
    PackedColor read(ScreenContext& screen, bool magnify);
    /// The colour of the picked point of screen alone, mended where the
    /// magnifier stands or stood.
    PackedColor readPoint(ScreenContext& screen);
    /// Hides the magnifier, wherever it shows.
    void hide(ScreenContext* screen);

    /// The magnification, kept from one pick to the next.
    int zoom() const { return m_zoom; }
    /// Steps the magnification by the wheel's turn; true when it changed.
    bool wheel(const QWheelEvent& event);

private:
    std::unique_ptr<TMagnifier> m_magnifier; // made when first shown
    ScreenContext* m_shownFor = nullptr;
    int m_zoom;
    int m_turned = 0; // eighths of a degree not yet a step
};

/// How far an arrow key moves the picked point: a device pixel, with Shift
/// ten; nothing for other keys.
std::optional<QPoint> nudgeOf(const QKeyEvent& key);
