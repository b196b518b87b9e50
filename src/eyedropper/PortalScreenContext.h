#pragma once

#include "eyedropper/ScreenContext.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <optional>
#include <vector>

class QDBusPendingCallWatcher;

namespace portal {

inline const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString ObjectPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
inline const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

/// How long the portal may take, in milliseconds: to take a method call, to
/// deliver a screenshot, and for the user to pick with the desktop's picker.
struct Waits {
    int call = 3000;
    int screenshot = 5000;
    int picker = 120000;
};

/// The object path the portal gives a request made with token by the
/// connection whose unique name is sender.
QString requestPath(const QString& sender, const QString& token);

/// Where window (a picture of it, as drawn) lies in picture, in picture
/// pixels: the place where all but a few of a spread of its pixels match.
/// Nothing when it is not there once.
std::optional<QPoint> locate(const QImage& window, const QImage& picture);

/// The same where the desktop shows the window at factor times its size,
/// through a filter of its own: found by the pixels that every filter leaves
/// as they are (those amid their like), placed exactly by its edges.
std::optional<QPoint> locateScaled(const QImage& window, const QImage& picture, double factor);

} // namespace portal

/// One screen of the frozen picture: a full-screen window of the program's
/// own that shows its screen's part of the picture and reports the pointer.
class TFrozenScreen : public QWidget {
    Q_OBJECT
public:
    /// source is the part of picture, in picture pixels, that screen shows.
    TFrozenScreen(QScreen* screen, const QImage& picture, const QRectF& source);

    /// Where this window's top-left corner lies on the desktop, in logical
    /// pixels.
    QPoint origin() const { return m_origin; }

signals:
    /// The pointer moved to pos, in logical desktop coordinates.
    void moved(QPointF pos);
    /// A mouse button came up, or Escape was pressed.
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// The desktop's place of a point of this window.
    QPointF onDesktop(QPointF pos) const;

    QImage m_picture;
    QRectF m_source;
    QPoint m_origin;
    QSize m_screenSize;
};

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
        Picker,      // the desktop's picker runs
        Answered,    // the picker's colour is being applied
        Unavailable, // no portal answered: moves read nothing
    };
    Q_ENUM(Stage)

    explicit PortalScreenContext(QDBusConnection bus, portal::Waits waits = {});
    ~PortalScreenContext() override;

    QPoint cursorPos() override;
    PackedColor pixel(QPoint p) override;
    void beginPick(const PickHandlers& handlers) override;
    bool followsPointer() const override;
    bool endPick() override;

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

private slots:
    void onResponse(uint code, const QVariantMap& results);
    void onLateResponse(uint code, const QVariantMap& results, const QDBusMessage& message);

private:
    enum class Request { None, Screenshot, PickColor };

    void request(Request kind);
    void dropRequest();
    void onCallFinished(QDBusPendingCallWatcher* watcher);
    void watchPath(const QString& path);
    /// Connects slot to, or disconnects it from, the Response of the request
    /// at path.
    bool listen(const QString& path, const char* slot, bool on);
    void abandon(const QString& path);
    /// The local file a screenshot answer names, or none.
    static QString pictureFile(const QVariantMap& results);
    static void removeMadeFile(const QString& file, const QDateTime& requested);
    void onScreenshot(uint code, const QVariantMap& results);
    void onPickedColor(uint code, const QVariantMap& results);
    void noAnswer();
    void freeze(const QImage& picture);
    void unfreeze();
    void applyAnswer(PackedColor color);
    void finish();
    void setStage(Stage stage);
    /// Picture pixels per logical desktop pixel, across and down.
    QPointF scale() const;

    QDBusConnection m_bus;
    portal::Waits m_waits;
    PickHandlers m_handlers;
    Stage m_stage = Stage::Idle;
    Request m_request = Request::None;
    QDateTime m_requested; // when the last screenshot was asked for
    QString m_watchedPath;
    /// Screenshot requests given up before their answer (the user let go of
    /// the button, or the desktop's question is still open), by path: the
    /// file a late answer brings is removed all the same.
    QList<std::pair<QString, QDateTime>> m_abandoned;
    quint32 m_serial = 0;
    QTimer m_deadline;
    QImage m_picture;
    QRect m_desktop; // the logical desktop the picture covers
    std::optional<QPointF> m_pointer;
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
