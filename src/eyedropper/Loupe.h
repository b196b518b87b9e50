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
/// screen's own picture; without it, the one pixel. With a sample of more
/// than one pixel, the read is the mean of the square around the point
/// (from the same one reading), which the magnifier frames.
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
    /// The side of the square of device pixels a read averages: 1 (the
    /// picked pixel alone), 3, 5 or 9.
    int sample() const { return m_sample; }
    void setSample(int across) { m_sample = across; }
    /// The colour the picked one is compared with: the magnifier shows their
    /// WCAG contrast ratio beside the hex text. None: no ratio.
    void setCompared(std::optional<PackedColor> colour) { m_compared = colour; }
    /// Steps the magnification by the wheel's turn; true when it changed.
    bool wheel(const QWheelEvent& event);

private:
    /// The mean of the sample around the picked point, from cells read
    /// around it (the picked one in the middle).
    PackedColor meanOf(const ScreenContext& screen, QPoint picked, const QImage& cells) const;

    std::unique_ptr<TMagnifier> m_magnifier; // made when first shown
    ScreenContext* m_shownFor = nullptr;
    int m_zoom;
    int m_sample = 1;
    std::optional<PackedColor> m_compared;
    int m_turned = 0; // eighths of a degree not yet a step
};

/// How far an arrow key moves the picked point: a device pixel, with Shift
/// ten; nothing for other keys.
std::optional<QPoint> nudgeOf(const QKeyEvent& key);
