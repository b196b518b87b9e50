#include "platform/ClipboardServer.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clipboard {

bool serveInBackground(const QString& text) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        return false;
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray option = QByteArray("--") + ServeOption;
    const QByteArray value = text.toUtf8();
    const QByteArray readyArgument = "--ready=" + QByteArray::number(ready[1]);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return false;
    }
    if (child == 0) {
        // A grandchild of its own session, with no terminal and none of the
        // caller's streams: the caller's pipes reach their end with ours.
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        for (const int stream : {0, 1, 2})
            ::dup2(null, stream);
        ::fcntl(ready[1], F_SETFD, 0); // the one descriptor it keeps
        const char* arguments[] = {program.constData(), option.constData(), value.constData(),
                                   readyArgument.constData(), nullptr};
        ::execv(program.constData(), const_cast<char* const*>(arguments));
        ::_exit(127);
    }
    ::close(ready[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // One byte once the clipboard is the server's; nothing if it died.
    pollfd wait{ready[0], POLLIN, 0};
    char byte = 0;
    const bool served = ::poll(&wait, 1, 5000) == 1 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    return served;
}

int serve(const QString& text, int readyFd) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    if (readyFd >= 0) {
        const char byte = 1;
        const bool owned = clipboard->ownsClipboard();
        if (owned) {
            [[maybe_unused]] const ssize_t written = ::write(readyFd, &byte, 1);
        }
        ::close(readyFd);
        if (!owned)
            return 1;
    }
    QObject::connect(clipboard, &QClipboard::changed, qApp, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

} // namespace clipboard
