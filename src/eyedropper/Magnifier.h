#pragma once

#include "eyedropper/ScreenContext.h"

#include <QElapsedTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

class QPainter;
class QScreen;

/// The magnifier of a pick: the screen's device pixels around the picked
/// one, each a square cell, the picked one (or the square a read averages)
/// framed, its hex text beneath.
namespace magnifier {

/// The magnifications the wheel steps through: a screen pixel becomes a
/// cell of that many device pixels across.
inline constexpr int Zooms[] = {4, 6, 8, 12, 16, 24, 32};
inline constexpr int DefaultZoom = 8;

/// The magnifier's size in logical pixels, whatever it shows.
QSize size();
/// How many cells fit across at zoom on a screen of ratio: an odd number,
/// so that the picked pixel has the middle one.
int cellsAcross(int zoom, qreal ratio);
/// The magnification at most zoom at which cells cells fit across on a
/// screen of ratio.
int zoomFitting(int zoom, qreal ratio, int cells);
/// The magnification steps up (steps > 0) or down the list from zoom.
int stepZoom(int zoom, int steps);
/// Where a magnifier goes beside pointer on screen (all logical): below and
/// right of it, or on another side where that would leave the screen, gap
/// away from the pointer either way.
QRect place(QPointF pointer, QSize size, const QRect& screen, qreal gap);
/// How far from the pointer a magnifier must stay not to cover the pixels
/// it shows, on a screen of ratio.
qreal gapFor(const ScreenContext::Magnified& view, qreal ratio);
/// Draws the magnifier into frame (logical) on a device of ratio.
void paint(QPainter& painter, const QRect& frame, const ScreenContext::Magnified& view,
           qreal ratio);

} // namespace magnifier

/// The magnifier as a window of its own beside the pointer, for screens read
/// live. It knows what it covers: a reading of the screen where it stands, or
/// where it stood a moment ago (before the windows it uncovered have drawn
/// themselves again), is mended with what was there before it came.
class TMagnifier : public QWidget {
    Q_OBJECT
public:
    /// read takes a reading of an area of the screen, in device pixels;
    /// catchUp waits until the display has done what was sent to it.
    explicit TMagnifier(std::function<ScreenContext::Reading(const QRect&)> read,
                        std::function<void()> catchUp = {});

    /// The screen as it shows area (device pixels) without the magnifier:
    /// live reads the area as it is now.
    QImage unobstructed(QImage live, const QRect& area);
    /// Shows view beside the picked device pixel. The window follows once
    /// the event loop has the views that changed with the pick drawn and
    /// the display has taken their drawing: the colour shows first.
    void showAt(QPoint picked, const ScreenContext::Magnified& view);
    /// Hides it, also where it was about to show.
    void dismiss();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    /// What is known of an area's look without the magnifier.
    struct Known {
        QRect at;
        QImage picture;
        qint64 since; // when the magnifier left it (ms of m_clock), or -1: covered now
        // Parts of the picture read but not yet fetched.
        std::vector<std::pair<QRect, ScreenContext::Reading>> pending;
    };
    /// Fetches what is still pending of a picture.
    static void fetch(Known& known);
    /// Puts what is known of area's look into image, which shows area.
    void paste(QImage& image, const QRect& area);
    void forget();
    void follow();

    std::function<ScreenContext::Reading(const QRect&)> m_read;
    std::function<void()> m_catchUp;
    ScreenContext::Magnified m_view;
    QPoint m_picked;
    bool m_following = false; // a follow() is on its way
    QRect m_covered;
    std::deque<Known> m_known; // the covered area last, the oldest uncovered first
    QElapsedTimer m_clock;
};
