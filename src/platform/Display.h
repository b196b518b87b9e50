#pragma once

/// The display a program of this session would show its windows on.
namespace platform {

enum class Display { X11, Wayland, None };

/// Which display the toolkit will connect to (as QT_QPA_PLATFORM, or the
/// session's WAYLAND_DISPLAY and DISPLAY, name it), if one answers; asked
/// before the application object is made, which would end the process
/// when none does.
Display availableDisplay();

/// While it is held, the toolkit connecting to an X server hands the server
/// the pixels of each repaint inside its drawing requests, not in memory the
/// two share. Over shared memory Qt waits, before it paints again where it
/// painted last, until the server has read what it was given: a round trip
/// at every repaint of the same views, which during a pick is every pointer
/// move, and about a fifth of a move's time on an idle X server. A copy
/// of the few kilobytes a move changes costs far less. What it costs is a
/// repaint of a whole large window: about 1 ms more for 1200 x 900 pixels,
/// 12 ms more for a window as large as a 4K screen. This program's windows
/// are smaller, and repaint whole only as they open or change size.
/// The toolkit reads the setting (QT_XCB_NO_MITSHM) once, as it connects;
/// it leaves the environment again at end(), so that the programs started
/// later (a browser for a link, the clipboard's keeper, wl-copy) keep their
/// own way. One the user set stays as it is. Take it before any thread that
/// reads the environment starts, and end it when they are done.
class RepaintsInRequests {
public:
    RepaintsInRequests();
    ~RepaintsInRequests() { end(); }
    RepaintsInRequests(const RepaintsInRequests&) = delete;
    RepaintsInRequests& operator=(const RepaintsInRequests&) = delete;

    void end();

private:
    bool m_set = false;
};

} // namespace platform
