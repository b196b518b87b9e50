#pragma once

#include <thread>

namespace platform {

/// Reads the desktop's font configuration on a thread of its own while the
/// application connects to the display. Reading it (fontconfig's files and
/// caches) is most of what a program's first line of text costs, and the
/// connection does not need it. Wait before the first text is measured.
class FontSetup {
public:
    FontSetup();
    ~FontSetup();
    FontSetup(const FontSetup&) = delete;
    FontSetup& operator=(const FontSetup&) = delete;

    void wait();

private:
    void* m_library = nullptr;
    std::thread m_thread;
};

} // namespace platform
