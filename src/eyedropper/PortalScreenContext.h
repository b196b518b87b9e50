#pragma once

#include "eyedropper/FrozenScreen.h"
#include "eyedropper/PickCursor.h"
#include "eyedropper/PortalRequest.h"
#include "eyedropper/ScreenContext.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <optional>
#include <thread>
#include <vector>

/// The eyedropper on Wayland, where no client may read the screen: at the
/// press it asks the desktop portal for a screenshot and shows it frozen over
/// every screen; pixels are read from that picture. Where screenshots are
/// refused it runs the desktop's own colour picker; where no portal answers,
/// the pick reads nothing and the colour stays as it was. Every wait is
/// bounded.
class PortalScreenContext : public QObject, public ScreenContext {
    Q_OBJECT
public:
    enum class Stage {
        Idle,        // no pick
        Requesting,  // waiting for the screenshot
        Frozen,      // the picture is shown; moves read from it
        Unreadable,  // the picture the portal gave cannot be read: moves read white
        Releasing,   // released before the picture came: picks it once it comes
        Picker,      // the desktop's picker runs
        Answered,    // the picker's colour is being applied
        Unavailable, // no portal answered: moves read nothing
    };
    Q_ENUM(Stage)

    explicit PortalScreenContext(QDBusConnection bus, portal::Waits waits = {});
    ~PortalScreenContext() override;

    QPoint cursorPos() override;
    /// A move of the pointer seen by the program's window: the picked point
    /// is under the pointer again.
    void pointerSeen(QPointF global) override;
    void releaseSeen(QPointF global) override { m_seen = global; }
    PackedColor pixel(QPoint p) override;
    QImage area(const QRect& area) override;
    QImage around(QPoint picked, int across) override;
    bool showsAround(QPoint picked, QPoint offset) const override;
    /// Only the frozen picture is read as an area: the desktop picker's
    /// answer is one colour.
    bool readsArea() const override { return m_stage == Stage::Frozen; }
    /// Moves the picked point over the frozen picture by device pixels of
    /// the screen it is on (no program may move the pointer); a move of the
    /// pointer puts it back under the pointer.
    void nudge(QPoint delta) override;
    void beginPick(const PickHandlers& handlers) override;
    bool followsPointer() const override;
    bool endPick() override;
    void cancelPick() override;
    void settle() override;
    /// Inside the frozen picture while it shows; nowhere while the
    /// desktop's own picker runs.
    MagnifierPlace magnifierPlace() const override;
    void showMagnifier(const Magnified& view) override;
    qreal ratioAt(QPoint p) const override;
    /// Reads the picture it shows, or the desktop picker's answer.
    bool readsLive() const override { return false; }

    Stage stage() const { return m_stage; }
    /// The frozen picture of the desktop while one is shown.
    const QImage& picture() const { return m_picture; }
    /// The windows showing the picture, one per screen.
    std::vector<TFrozenScreen*> frozenScreens() const;
    /// Where the picture shows the window that started the pick, in logical
    /// desktop coordinates, if it was found there.
    std::optional<QPointF> windowInPicture() const { return m_windowFound; }

signals:
    void stageChanged(PortalScreenContext::Stage stage);

private:
    using Kind = TPortalRequest::Kind;

    void request(Kind kind);
    void onAnswer(Kind kind, uint code, const QVariantMap& results);
    void onFailure(Kind kind, bool noPortal);
    void noAnswer(Kind kind);
    void onScreenshot(uint code, const QVariantMap& results);
    /// Reads the portal's picture on a thread of its own (a desktop's may
    /// take a tenth of a second to decode), for pictureRead: the picture, if
    /// it is one no larger than the desktop's screens could show, a null
    /// image otherwise. Meanwhile the frozen screens come up.
    void readPicture(const QString& file);
    void pictureRead(quint64 reading, QImage picture);
    /// A frozen screen per screen, without its picture yet: on Wayland shown
    /// already, so that the desktop has placed it by the time it is drawn
    /// (and seen).
    void prepareScreens();
    void onPickedColor(uint code, const QVariantMap& results);
    /// Takes the picture to pick from: where it shows each screen and the
    /// window that started the pick. False when no screen is left to show.
    bool take(QImage picture);
    void freeze(QImage picture);
    /// The pick released before the picture came, picked from it now.
    void pickReleased(QImage picture);
    /// The picture pixel under the picked point (the pointer, or where the
    /// release was, and the nudges), or (-1, -1) where no screen shows one.
    QPoint pickedPoint();
    void unfreeze();
    /// Nothing can be read, and why.
    void fail(Stage stage, PickFailure why);
    void applyAnswer(PackedColor color);
    void finish();
    void setStage(Stage stage);
    /// The pointer's shape for the stage over every window of the program.
    void showCursorFor(Stage stage);
    /// Picture pixels per logical desktop pixel, across and down.
    QPointF scale() const;

    /// A screen's part of the picture. The picture is of the whole desktop
    /// at one scale, its screens' largest: where screens differ in scale,
    /// the desktop enlarged the others in it, and a device pixel of such a
    /// screen spans several of the picture's.
    struct Output {
        QRectF logical; // where the screen lies on the desktop
        QPointF origin; // its top-left corner in the picture
        QPointF ratio;  // its device pixels per logical pixel
        QPointF step;   // picture pixels per device pixel
        QSize device;   // its size in device pixels
        QRect pixels;   // the picture pixels it shows
    };
    /// A device pixel of a screen.
    struct Device {
        int output = -1;
        QPoint at;
    };
    void findOutputs();
    /// The device pixel showing a logical desktop point, if a screen does.
    std::optional<Device> deviceAt(QPointF logical) const;
    /// The device pixel delta away from one, on a neighbouring screen where
    /// it leaves its own; none off every screen.
    std::optional<Device> offset(const Device& from, QPoint delta) const;
    /// The picture pixel that shows a device pixel: the one nearest its
    /// middle, but never one the desktop blended with what lies beyond the
    /// screen's edge.
    QPoint inPicture(const Device& device) const;
    /// Whether a screen shows the picture pixel p.
    bool shown(QPoint p) const;
    /// The picture pixel that shows the device pixel delta away from picked
    /// (as around() counts them), if a screen shows one.
    std::optional<QPoint> pictureAround(QPoint picked, QPoint delta) const;
    /// The picture as a screen's device pixels show it, for a screen whose
    /// device pixels span several of the picture's.
    QImage deviceImage(const Output& output) const;

    TPortalRequest m_request;
    PickHandlers m_handlers;
    Stage m_stage = Stage::Idle;
    /// The pointer's shape the pick has put over every window, if any.
    std::optional<pickcursor::Kind> m_cursor;
    QImage m_picture;
    QRect m_desktop; // the logical desktop the picture covers
    std::optional<QPointF> m_pointer;
    // Where Qt saw the pointer over the program's own window, as its last
    // event there told: the release of a pick that ended before its picture.
    std::optional<QPointF> m_seen;
    QPoint m_nudged; // device pixels the picked point lies off the pointer
    std::vector<Output> m_outputs;
    bool m_devicesArePixels = true; // every screen's device pixels are the picture's
    std::optional<Device> m_picked; // as cursorPos() last found it
    // While the button is held, a Wayland compositor sends the moves to the
    // window that took the press, at a place on the desktop Qt cannot know;
    // found in the picture, it corrects Qt's idea of the pointer.
    // Mutter, on an output scaled by a whole number, shows a window's
    // device pixels one to one in a picture of one pixel per point: a point
    // of the window then spans more than one of the desktop's.
    QImage m_windowShot;
    QPoint m_windowAssumed;
    std::optional<QPointF> m_windowFound;
    double m_windowScale = 1; // the desktop's points per point of the window
    std::vector<QPointer<TFrozenScreen>> m_frozen;
    QList<QRect> m_preparedFor; // the screens m_frozen was made for
    std::thread m_reader;       // reading the picture, or done
    quint64 m_readings = 0;     // picks and pictures: a reading counts for the last
    quint64 m_reading = 0;      // the one m_reader does
    QString m_readFile;         // the picture being read, removed once read
    QDateTime m_readRequested;  // when it was asked for
    PackedColor m_answer = UnreadablePixel;
};
