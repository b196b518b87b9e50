#pragma once

#include "eyedropper/FrozenScreen.h"
#include "eyedropper/PortalRequest.h"
#include "eyedropper/ScreenContext.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <optional>
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
    PackedColor pixel(QPoint p) override;
    QImage area(const QRect& area) override;
    /// Moves the picked point over the frozen picture (no program may move
    /// the pointer); a move of the pointer puts it back under the pointer.
    void nudge(QPoint delta) override;
    void beginPick(const PickHandlers& handlers) override;
    bool followsPointer() const override;
    bool endPick() override;
    void cancelPick() override;
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
    /// The portal's picture, if it is one no larger than the desktop's
    /// screens could show; a null image otherwise.
    QImage readPicture(const QString& file) const;
    void onPickedColor(uint code, const QVariantMap& results);
    void freeze(const QImage& picture);
    void unfreeze();
    void applyAnswer(PackedColor color);
    void finish();
    void setStage(Stage stage);
    /// Picture pixels per logical desktop pixel, across and down.
    QPointF scale() const;

    TPortalRequest m_request;
    PickHandlers m_handlers;
    Stage m_stage = Stage::Idle;
    QImage m_picture;
    QRect m_desktop; // the logical desktop the picture covers
    std::optional<QPointF> m_pointer;
    QPoint m_nudged; // picture pixels the picked point lies off the pointer
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
    PackedColor m_answer = UnreadablePixel;
};
