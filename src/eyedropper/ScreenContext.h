#pragma once

#include "color/ColorValue.h"

#include <QColor>
#include <QImage>
#include <QMetaType>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <functional>
#include <memory>

class QKeyEvent;
class QWheelEvent;
class QWidget;

/// Why a pick could read nothing of the screen.
enum class PickFailure {
    NoPortal,   ///< no desktop portal answered the call
    NoAnswer,   ///< the portal took the request but gave no picture in time
    Unreadable, ///< the picture it gave cannot be read: the pick reads white
    Refused,    ///< the desktop refused its screenshot and its own picker
    NoScreen,   ///< the pointer and the keyboard could not be had (X11)
};
Q_DECLARE_METATYPE(PickFailure)

/// What a screen context may drive by itself while a pick runs: a move reads
/// the context's pixel under its pointer, a release ends the pick. window is
/// the window whose button started the pick.
struct PickHandlers {
    std::function<void()> move;
    std::function<void()> release;
    QWidget* window = nullptr;
    /// A right click ended the pick (a release where unset).
    std::function<void()> cancel;
    /// Nothing can be read, and why (after Unreadable, reads give white).
    std::function<void(PickFailure)> failed;
    /// The context's picture or picker is shown.
    std::function<void()> ready;
    /// The side of the square of device pixels a read averages (1: the
    /// picked pixel alone), for a pick the context ends by itself.
    int sample = 1;
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
    /// Where the release that ends the pick found the pointer, as
    /// pointerSeen() has it; told before endPick().
    virtual void releaseSeen(QPointF global) { (void)global; }
    /// The packed colour of the pixel at p, or UnreadablePixel.
    virtual PackedColor pixel(QPoint p) = 0;
    /// The pixels of area in one reading, white where no screen shows one.
    virtual QImage area(const QRect& area);
    /// The device pixels around picked (what cursorPos() answered), across
    /// by across in one reading, picked in the middle: one per device pixel
    /// of the screen that shows picked, white where no screen shows one.
    virtual QImage around(QPoint picked, int across) {
        return area(QRect(picked - QPoint(across / 2, across / 2), QSize(across, across)));
    }
    /// Whether a screen shows the pixel offset device pixels from picked, as
    /// around() counts them.
    virtual bool showsAround(QPoint picked, QPoint offset) const;
    /// Whether it is known that one screen shows all the across by across
    /// pixels around picked, so that none needs asking for by showsAround().
    virtual bool showsSquare(QPoint, int) const { return false; }
    /// Whether around() reads what the screen shows (not a colour the
    /// desktop's own picker answered, which is the pixel alone).
    virtual bool readsArea() const { return true; }
    /// A reading of area taken now, whose pixels are fetched when first
    /// asked for: they show the screen as it was when it was taken.
    using Reading = std::function<QImage()>;
    virtual Reading areaLater(const QRect& area);
    /// Waits until the display has done all that was sent to it. An X
    /// server tells no other client of a window's repaint until it has run
    /// out of requests from the painter: what is sent after a repaint and
    /// before the wait no longer holds up those who watch the window.
    virtual void catchUp() {}
    /// Moves the picked point by delta device pixels: the pointer itself
    /// where the context may move it. The next cursorPos() answers the
    /// point, also where it lies off every screen.
    virtual void nudge(QPoint delta) { (void)delta; }

    /// The eyedropper button went down. A context that cannot read the live
    /// screen prepares its own source here and may call the handlers later.
    virtual void beginPick(const PickHandlers& handlers) { (void)handlers; }
    /// Whether a pointer movement over the button should be read now; false
    /// while the context is still preparing or another picker runs.
    virtual bool followsPointer() const { return true; }
    /// The eyedropper button came up. Returns false when the pick goes on
    /// and the context ends it later through its release handler: the
    /// desktop's picker runs, or the picture to pick from has not come yet
    /// (it then picks the point of the release, as releaseSeen() found it,
    /// once the picture comes).
    virtual bool endPick() { return true; }
    /// The pick was cancelled: whatever the context shows for it goes.
    virtual void cancelPick() { endPick(); }
    /// The program ends: what the context still owes the desktop is done
    /// (the pictures of requests given up are waited for and removed).
    virtual void settle() {}

    /// What the magnifier shows: the cells around the picked pixel (one per
    /// device pixel, the picked one in the middle), how many device pixels a
    /// cell spans, the picked colour's hex text, the side of the square of
    /// cells the picked colour averages (framed), and where the pick is
    /// compared with a colour, that colour and the contrast ratio ("4.49:1").
    struct Magnified {
        QImage cells;
        int zoom = 8;
        QString text;
        int sample = 1;
        QColor compared{};
        QString contrast{};
    };
    /// Where the magnifier goes: a window of its own beside the pointer
    /// (live screens), the context's own picture, or nowhere (while another
    /// picker runs).
    enum class MagnifierPlace { Window, Picture, None };
    virtual MagnifierPlace magnifierPlace() const { return MagnifierPlace::Window; }
    /// Shows the magnifier inside the context's own picture, at the picked
    /// point; an empty view hides it.
    virtual void showMagnifier(const Magnified& view) { (void)view; }
    /// Device pixels per logical pixel where the picked point p is shown.
    virtual qreal ratioAt(QPoint p) const;

    /// Whether the context reads the screen as it is now (or a picture of
    /// its own, which its own windows show).
    virtual bool readsLive() const { return true; }
    /// What a pick from anywhere hears of the pointer and the keyboard.
    struct InputHandlers {
        std::function<void()> moved;
        std::function<void(Qt::MouseButton)> pressed;
        std::function<void(const QWheelEvent&)> wheel;
        std::function<void(const QKeyEvent&)> key;
    };
    /// Takes the pointer (showing a crosshair) and the keyboard for a pick
    /// from anywhere; false where the context cannot.
    virtual bool grabInput(const InputHandlers& handlers) {
        (void)handlers;
        return false;
    }
    /// Gives them back.
    virtual void releaseInput() {}
};

class QScreen;

/// The desktop's screens in device pixels: Qt keeps each screen's origin
/// where its device pixels start and scales the rest of it.
namespace desktop {

QRect inDevicePixels(const QScreen* screen, const QRectF& logical);
/// Whether one screen shows all of an area of device pixels.
bool oneScreenShows(const QRect& device);
/// The screen showing a device pixel, or the primary screen.
QScreen* screenAt(QPoint device);
/// The logical point of a device pixel's centre.
QPointF toLogical(QPoint device);

} // namespace desktop

/// A screen that can read nothing.
class NullScreenContext : public ScreenContext {
public:
    QPoint cursorPos() override { return {}; }
    PackedColor pixel(QPoint) override { return UnreadablePixel; }
    bool readsArea() const override { return false; }
};

/// Opens the screen context that fits the running platform: X11 when the
/// program runs on xcb, the desktop portal on Wayland, otherwise one that
/// reads nothing (every point counts as unreadable).
std::unique_ptr<ScreenContext> openScreenContext();

using ScreenContextFactory = std::function<std::unique_ptr<ScreenContext>()>;

/// Why a pick read nothing, in English, for the command line and the log.
const char* pickFailureText(PickFailure why);
