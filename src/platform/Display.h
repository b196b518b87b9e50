#pragma once

/// The display a program of this session would show its windows on.
namespace platform {

enum class Display { X11, Wayland, None };

/// Which display the toolkit will connect to (as QT_QPA_PLATFORM, or the
/// session's WAYLAND_DISPLAY and DISPLAY, name it), if one answers; asked
/// before the application object is made, which would end the process
/// when none does.
Display availableDisplay();

} // namespace platform
