#include "platform/DisplayLoss.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>

namespace platform {

namespace {

struct Watch {
    std::mutex lock;
    std::mutex running; // held while the handler runs
    std::function<void()> handler;
    bool installed = false;
    QtMessageHandler previous = nullptr;
    std::atomic_bool ran = false;
};

Watch& watch() {
    static Watch w;
    return w;
}

/// What Qt 6's X11 and Wayland platforms say just before they end the
/// process for a broken connection.
bool meansDisplayLost(const QString& message) {
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection experienced a fatal error"));
}

void listen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    Watch& w = watch();
    if (type == QtWarningMsg && meansDisplayLost(message)) {
        // Qt's threads may each find the break, and each ends the process
        // once it has said so: the first runs the handler, the others wait
        // here until it is done.
        const std::lock_guard<std::mutex> running(w.running);
        if (!w.ran.exchange(true)) {
            std::function<void()> handler;
            {
                const std::lock_guard<std::mutex> guard(w.lock);
                handler = w.handler;
            }
            if (handler)
                handler();
        }
    }
    if (w.previous)
        w.previous(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

void onDisplayLost(std::function<void()> handler) {
    Watch& w = watch();
    const std::lock_guard<std::mutex> guard(w.lock);
    w.handler = std::move(handler);
    if (!std::exchange(w.installed, true))
        w.previous = qInstallMessageHandler(listen);
}

} // namespace platform
