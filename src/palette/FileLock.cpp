#include "palette/FileLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace palette::detail {

FileLock::FileLock(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_error = path + QStringLiteral(": cannot be made (%1)")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    int done;
    do
        done = ::flock(fd, LOCK_EX);
    while (done != 0 && errno == EINTR);
    if (done != 0) {
        m_error = path + QStringLiteral(": cannot be locked (%1)")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // lets go of the lock
}

} // namespace palette::detail
