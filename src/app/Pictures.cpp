#include "app/Pictures.h"

#include <QImageReader>

namespace pictures {

namespace {

// Read as PNG and nothing else: left to guess, Qt's image reader loads
// every image format plugin to show it the file's first bytes.
QPixmap load(const QString& name, bool twice) {
    const QString path = QStringLiteral(":/icons/") + name +
                         (twice ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    QPixmap picture = QPixmap::fromImage(reader.read());
    if (twice)
        picture.setDevicePixelRatio(2.0);
    return picture;
}

} // namespace

QIcon icon(const QString& name) {
    QIcon icon;
    icon.addPixmap(load(name, false));
    icon.addPixmap(load(name, true));
    return icon;
}

QPixmap pixmap(const QString& name, qreal devicePixelRatio) {
    return load(name, devicePixelRatio > 1.0);
}

} // namespace pictures
