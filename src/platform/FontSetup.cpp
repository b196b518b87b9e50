#include "platform/FontSetup.h"

#include <dlfcn.h>

namespace platform {

FontSetup::FontSetup() {
    // Qt's font database begins with FcInit(), which returns at once when the
    // configuration has been read. Looked up rather than linked: Qt has loaded
    // fontconfig already where it uses it, and elsewhere there is nothing to do.
    m_library = ::dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!m_library)
        return;
    if (auto* init = reinterpret_cast<int (*)()>(::dlsym(m_library, "FcInit")))
        m_thread = std::thread(init);
}

FontSetup::~FontSetup() {
    wait();
    if (m_library)
        ::dlclose(m_library);
}

void FontSetup::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace platform
