#pragma once

#include "eyedropper/Loupe.h"
#include "eyedropper/ScreenContext.h"

#include <QObject>
#include <memory>
#include <optional>

class QKeyEvent;

/// A pick from anywhere, with no window of the program's own: the whole
/// screen becomes the picker. The pointer shows a crosshair and the
/// magnifier follows it; a left click picks the pixel under it, the arrow
/// keys move the picked point (with Shift by ten) and Enter picks that,
/// Escape or a right click cancels. A pick may average a square of device
/// pixels around the picked one. On X11 the pointer and the keyboard are
/// grabbed meanwhile; on Wayland the portal's screenshot is shown frozen, or
/// the desktop's own picker runs where screenshots are refused.
class TScreenPicker : public QObject {
    Q_OBJECT
public:
    explicit TScreenPicker(std::unique_ptr<ScreenContext> screen, QObject* parent = nullptr);
    ~TScreenPicker() override;

    /// The side of the square of device pixels a pick averages: 1 (the
    /// pixel alone), 3, 5 or 9; set before start().
    void setSampleSize(int across) { m_loupe.setSample(across); }

    /// Begins the pick; one of the signals ends it.
    void start();
    /// Ends it as Escape does.
    void cancel();
    /// The program ends: see ScreenContext::settle().
    void settle() { m_screen->settle(); }

signals:
    /// The picker is ready: the pointer is the picker's.
    void ready();
    void picked(PackedColor color);
    void cancelled();
    /// Nothing can be picked, and why.
    void unavailable(PickFailure why);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void move();
    /// An arrow key, Enter or Escape: true when the picker took it.
    bool key(const QKeyEvent& key);
    void pick();
    void finish();

    std::unique_ptr<ScreenContext> m_screen;
    TLoupe m_loupe;
    std::optional<PackedColor> m_last; // the colour last read at the picked point
    bool m_running = false;
};
