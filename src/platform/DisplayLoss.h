#pragma once

#include <functional>

namespace platform {

/// When the display goes away (the X server ends, the Wayland compositor
/// dies), Qt ends the process by itself, on whichever thread found the
/// break, with no window left to ask and none of the usual shut-down. The
/// handler runs once then, just before; it must not call into the
/// windowing system. Noticed by what Qt says of the break as it ends.
void onDisplayLost(std::function<void()> handler);

} // namespace platform
