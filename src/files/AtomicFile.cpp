#include "files/AtomicFile.h"

#include <QSaveFile>

namespace files {

AtomicWrite writeAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Unbuffered: Qt's save file commits a file whose buffered write failed
    // (a full disk), which would put an empty file in place of the old one.
    AtomicWrite result = AtomicWrite::Written;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        result = AtomicWrite::NotMade;
    else if (file.write(bytes) != bytes.size() || !file.commit())
        result = AtomicWrite::Failed;
    if (error && result != AtomicWrite::Written)
        *error = file.errorString();
    return result;
}

} // namespace files
