#include "platform/Display.h"

#include <QByteArray>
#include <QFile>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

constexpr char SharedMemoryOff[] = "QT_XCB_NO_MITSHM";

bool waylandAnswers() {
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        name = runtime + '/' + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

bool x11Answers() {
    if (qgetenv("DISPLAY").isEmpty())
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = connection && !xcb_connection_has_error(connection);
    if (connection)
        xcb_disconnect(connection);
    return connected;
}

} // namespace

Display availableDisplay() {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (chosen.startsWith("xcb"))
        return x11Answers() ? Display::X11 : Display::None;
    if (chosen.startsWith("wayland"))
        return waylandAnswers() ? Display::Wayland : Display::None;
    if (!chosen.isEmpty())
        return Display::None; // offscreen and the like show nothing to pick from
    // As Qt chooses: Wayland (or else X11) where the session says it is
    // one, X11 otherwise.
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" && waylandAnswers())
        return Display::Wayland;
    return x11Answers() ? Display::X11 : Display::None;
}

RepaintsInRequests::RepaintsInRequests() {
    if (qEnvironmentVariableIsSet(SharedMemoryOff))
        return;
    m_set = qputenv(SharedMemoryOff, "1");
}

void RepaintsInRequests::end() {
    if (m_set)
        qunsetenv(SharedMemoryOff);
    m_set = false;
}

} // namespace platform
