#include "files/AtomicFile.h"

#include <QSaveFile>

namespace files {

AtomicWrite writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: Qt's save file commits a file whose buffered write failed
    // (a full disk), which would put an empty file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return AtomicWrite::NotMade;
    return file.write(bytes) == bytes.size() && file.commit() ? AtomicWrite::Written
                                                              : AtomicWrite::Failed;
}

} // namespace files
