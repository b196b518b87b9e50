#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

int wakeFds[2] = {-1, -1};
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request: nothing is lost by dropping this.
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default actions
    m_notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
        }
        emit requested();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : Signals)
        ::sigaction(s, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier)
        return;
    for (const int s : Signals)
        ::signal(s, SIG_DFL);
    delete m_notifier;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

} // namespace platform
