#pragma once

// Private to the palette layer: the lock that makes each change of the
// store one step for every process.

#include <QString>

namespace palette::detail {

/// An exclusive lock (flock) on the file at path, made if missing, held
/// while the object lives. It waits for a lock held elsewhere; a process
/// that ends, killed or not, lets go of its lock.
class FileLock {
public:
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return m_fd >= 0; }
    /// Why not, when not locked.
    const QString& error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace palette::detail
