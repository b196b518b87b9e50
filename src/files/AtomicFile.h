#pragma once

#include <QByteArray>
#include <QString>

namespace files {

enum class AtomicWrite {
    Written, ///< the file holds the new bytes
    NotMade, ///< no new file could be made beside it (a folder not ours to write)
    Failed,  ///< the new file could not be written whole (a full disk)
};

/// Writes bytes as the whole new content of the file at path, atomically: a
/// new file beside it, flushed to the disk, then renamed over it, so the file
/// is always wholly old or wholly new. Unless Written, the old file is as it
/// was, and error, where given, says why.
AtomicWrite writeAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace files
