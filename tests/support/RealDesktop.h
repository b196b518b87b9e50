#pragma once

// The real desktops the Wayland tests run inside (see portal_stack.sh), as
// the tests meet them from outside: where windows are, the seat's pointer,
// the clipboard, the desktop's own dialogs.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

namespace testsupport {

/// A real desktop as the tests meet it from outside: where its windows are,
/// the seat's pointer, the clipboard.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool ready() const = 0;
    /// The rectangles of the windows of a program, by its Wayland app id or
    /// X11 class.
    virtual QList<QRect> windows(const QString& appId) = 0;
    /// Moves the pointer to the desktop's logical x, y, the left button down
    /// or up there; false when the desktop refused it.
    virtual bool pointer(int x, int y, bool pressed) = 0;
    virtual QString clipboard() = 0;
    /// The clipboard's text once it is want, or as it stands when ms have
    /// passed on the clock (a reading may take a while: QTRY's count of
    /// tries would wait many times as long).
    QString clipboardOnce(const QString& want, int ms = 5000);
    /// Whether the desktop's question to the user is open.
    virtual bool asking() { return false; }
    /// Answers the open question as the user would: a click on its Allow.
    virtual bool allow() { return false; }
    /// Whether the desktop's own colour picker is open.
    virtual bool picking() { return false; }
    /// Presses and releases a key ("Right", "Escape"); false where the tests
    /// cannot.
    virtual bool key(const QString& name) {
        (void)name;
        return false;
    }
    /// Moves the window whose title starts with title to the desktop's x, y,
    /// as a user may; false where the tests cannot.
    virtual bool place(const QString& title, QPoint p) {
        (void)title;
        (void)p;
        return false;
    }
    /// Moves the window titled title, one of appId's, to p and waits until
    /// it has stayed there for a second, moving it again while it does not:
    /// mutter places a window it has just shown once more when the window
    /// first draws, over a move asked before (a slow start). False when it
    /// is not there to stay within ms.
    bool placeToStay(const QString& title, const QString& appId, QPoint p, int ms = 10000);
    /// The one window of appId once it has stayed where it is for a second
    /// (the same late placing); an empty rectangle when none has within ms.
    QRect settledWindow(const QString& appId, int ms = 40000);
    /// The output's scale: some pointers count device pixels, the desktop
    /// logical ones.
    double scale = 1;
};

/// The desktop the tests run inside: "wlroots" (sway, the pointer through
/// its virtual pointer, keys through wayvnc), "gnome" (mutter's remote
/// desktop) or "kde" (KWin's fake input).
std::unique_ptr<Desktop> openDesktop(const QString& name);

} // namespace testsupport
