#pragma once

// What a writer process the test kills tells it, through a small file both
// map: the test makes the file (State's size, zeroed), the writer and the
// test each map it.

#include <QFile>
#include <QString>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace testsupport {

/// The file at path mapped as a State shared with the other process; null
/// when it cannot be.
template <typename State> State* mapSharedState(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void* shared = ::mmap(nullptr, sizeof(State), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    return shared == MAP_FAILED ? nullptr : static_cast<State*>(shared);
}

} // namespace testsupport
