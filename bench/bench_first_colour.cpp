// Press to first colour on a real Wayland desktop (run inside one by
// portal_stack.sh --bench): from the press on the Eye Wizard to the first
// colour taken from the frozen screen and drawn in it, and from the start of
// a pick from anywhere to its picker being ready, with where the time goes:
//  - the desktop's screenshot: the press to the picture's file made;
//  - the file written: made to closed (the desktop's encoding);
//  - the answer: written to opened by the program (the portal's reply);
//  - the decode: opened to closed by the program;
//  - the frozen screens made: the picture read to the screens shown (the
//    window found in the picture, one full-screen window per screen);
//  - shown: to the first painting of the frozen screen under the pointer
//    with the magnifier and the first colour.
// The file's life is watched through inotify on its folder, by a thread of
// its own, so that the program's work delays none of the readings.
//
//   bench_first_colour <stack> <folder of the portal's pictures> [runs]
#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "controls/SpeedButton.h"
#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/ScreenPicker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

/// What happens to the pictures (*.png) of a folder, with the moment each
/// was seen.
class FolderWatch {
public:
    struct Seen {
        uint32_t mask;
        Clock::time_point at;
    };
    explicit FolderWatch(const QString& folder) {
        m_fd = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                          IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_OPEN | IN_CLOSE_NOWRITE |
                              IN_DELETE);
        m_thread = std::thread([this] {
            alignas(inotify_event) char buffer[4096];
            pollfd ready{m_fd, POLLIN, 0};
            while (!m_stop) {
                // Woken now and then to see whether it should stop.
                if (::poll(&ready, 1, 100) <= 0)
                    continue;
                const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
                if (n <= 0)
                    return;
                const Clock::time_point now = Clock::now();
                std::lock_guard<std::mutex> lock(m_mutex);
                for (ssize_t at = 0; at < n;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    // The portal's pictures, not what else lands in the folder.
                    const std::string name = event->len ? event->name : "";
                    if (!(event->mask & IN_ISDIR) && name.size() > 4 &&
                        name.compare(name.size() - 4, 4, ".png") == 0)
                        m_seen.push_back({event->mask, now});
                    at += ssize_t(sizeof(inotify_event) + event->len);
                }
            }
        });
    }
    ~FolderWatch() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    std::vector<Seen> take() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_seen, {});
    }

private:
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
};

/// The moments of one pick, from the press.
struct Pick {
    double made = -1, written = -1, opened = -1, read = -1, frozen = -1, shown = -1;
};

/// Fills the file's moments in from what the folder saw.
void fileMoments(Pick& pick, Clock::time_point press, const std::vector<FolderWatch::Seen>& seen) {
    for (const FolderWatch::Seen& s : seen) {
        const double at = msSince(press, s.at);
        if (s.mask & IN_CREATE && pick.made < 0)
            pick.made = at;
        else if (s.mask & (IN_CLOSE_WRITE | IN_MOVED_TO))
            pick.written = at;
        else if (s.mask & IN_OPEN && pick.written >= 0 && pick.opened < 0)
            pick.opened = at;
        else if (s.mask & IN_CLOSE_NOWRITE && pick.opened >= 0)
            pick.read = at;
    }
    if (pick.made < 0) // written elsewhere and moved in
        pick.made = pick.written;
}

/// Waits for the first painting of window after now; false after 10 s.
class FirstPaint : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

double median(std::vector<double> v) {
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/// Runs the event loop until done, looking every 2 ms; false after ms.
bool waitFor(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(2); // wakes the loop without spinning
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

/// The frozen screen that shows the desktop's point p (logical).
TFrozenScreen* frozenAt(PortalScreenContext& context, QPoint p) {
    for (TFrozenScreen* window : context.frozenScreens()) {
        if (window->geometry().contains(p))
            return window;
    }
    return nullptr;
}

/// A move of the pointer over a frozen screen, at the desktop's point p, and
/// the time to the screen's next painting: the first colour drawn there.
bool firstColour(PortalScreenContext& context, QPoint p, Clock::time_point press, Pick& pick) {
    TFrozenScreen* window = frozenAt(context, p);
    if (!window)
        return false;
    pick.frozen = msSince(press, Clock::now());
    FirstPaint paint;
    window->installEventFilter(&paint);
    const QPointF local = QPointF(p - window->geometry().topLeft()) + QPointF(0.5, 0.5);
    QMouseEvent move(QEvent::MouseMove, local, QPointF(p), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    // Drawn, and placed by the desktop (Qt draws a window only once the
    // desktop has placed it, but say so).
    const bool drawn = waitFor([&] {
        return paint.painted && window->windowHandle() && window->windowHandle()->isExposed();
    });
    pick.shown = msSince(press, Clock::now());
    window->removeEventFilter(&paint);
    return drawn;
}

} // namespace

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    if (argc < 3 || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fprintf(stderr,
                     "bench_first_colour runs inside a Wayland desktop (not %s): "
                     "tests/portal_stack.sh --bench DESKTOP BENCH SEAT_POINTER\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }
    const std::string stack = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;

    QTemporaryDir programFolder;
    PortalScreenContext* context = nullptr;
    Program program(programFolder.path() + QLatin1Char('/'), [&context] {
        auto c = std::make_unique<PortalScreenContext>(QDBusConnection::sessionBus());
        context = c.get();
        return c;
    });
    TForm1& form = program.form1;
    form.show();
    waitFor([&] { return form.windowHandle() && form.windowHandle()->isExposed(); });
    waitFor([] { return false; }, 500); // drawn, and placed by the desktop
    auto* wand = form.findChild<TSpeedButton*>(QStringLiteral("SpeedButton1"));
    const QPoint onWand = wand->mapToGlobal(wand->rect().center());

    FolderWatch watch(folder);
    std::vector<Pick> picks;
    for (int run = 0; run < runs + 1; ++run) { // the first warms the portal up
        watch.take();
        const Clock::time_point press = Clock::now();
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(wand->rect().center()), QPointF(onWand),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(wand, &down);
        Pick pick;
        const bool frozen = waitFor(
            [&] { return context && context->stage() != PortalScreenContext::Stage::Requesting; });
        if (!frozen || context->stage() != PortalScreenContext::Stage::Frozen ||
            !firstColour(*context, context->frozenScreens().front()->geometry().center(), press,
                         pick)) {
            std::fprintf(stderr, "%s: no frozen screen (stage %d)\n", stack.c_str(),
                         context ? int(context->stage()) : -1);
            return 1;
        }
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(wand->rect().center()), QPointF(onWand),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(wand, &up);
        waitFor([] { return false; }, 300); // the frozen screens gone, the file removed
        fileMoments(pick, press, watch.take());
        if (run > 0)
            picks.push_back(pick);
    }

    // A pick from anywhere: started to ready (its frozen screen shown).
    std::vector<double> ready;
    for (int run = 0; run < runs; ++run) {
        // A connection of its own, as the command's own process has: the
        // portal keeps a request's path for the connection's life.
        const QDBusConnection bus = QDBusConnection::connectToBus(
            QDBusConnection::SessionBus, QStringLiteral("picker%1").arg(run));
        auto owned = std::make_unique<PortalScreenContext>(bus);
        PortalScreenContext& own = *owned;
        TScreenPicker picker(std::move(owned));
        bool isReady = false;
        QObject::connect(&picker, &TScreenPicker::ready, [&] { isReady = true; });
        const Clock::time_point start = Clock::now();
        picker.start();
        Pick pick;
        if (!waitFor([&] { return isReady; }) || own.frozenScreens().empty() ||
            !firstColour(own, own.frozenScreens().front()->geometry().center(), start, pick)) {
            std::fprintf(stderr, "%s: the picker was never ready (stage %d)\n", stack.c_str(),
                         int(own.stage()));
            return 1;
        }
        ready.push_back(pick.shown);
        picker.cancel();
        waitFor([] { return false; }, 300);
    }

    const auto column = [&](double Pick::*from, double Pick::*to) {
        std::vector<double> v;
        v.reserve(picks.size());
        for (const Pick& p : picks)
            v.push_back(from ? p.*to - p.*from : p.*to);
        return median(v);
    };
    const QSize size = QGuiApplication::primaryScreen()->geometry().size() *
                       QGuiApplication::primaryScreen()->devicePixelRatio();
    // The machine's load beside the figures (the one-minute average).
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadavg.open(QIODevice::ReadOnly) ? loadavg.readLine().split(' ').value(0) : "?";
    std::printf(
        "| %s | %dx%d | %.0f ms | %.0f | %.0f | %.0f | %.0f | %.0f | %.0f | %.0f ms | %s |\n",
        stack.c_str(), size.width(), size.height(), column(nullptr, &Pick::shown),
        column(nullptr, &Pick::made), column(&Pick::made, &Pick::written),
        column(&Pick::written, &Pick::opened), column(&Pick::opened, &Pick::read),
        column(&Pick::read, &Pick::frozen), column(&Pick::frozen, &Pick::shown), median(ready),
        load.constData());
    std::fflush(stdout);
    return 0;
}
