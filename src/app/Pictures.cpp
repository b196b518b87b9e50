#include "app/Pictures.h"

#include <QImageReader>

namespace pictures {

// Left to guess, Qt's image reader loads every image format plugin to show
// it the file's first bytes.
QPixmap readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

namespace {

QPixmap load(const QString& name, bool twice) {
    QPixmap picture = readPng(QStringLiteral(":/icons/") + name +
                              (twice ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
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

QIcon windowIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 96})
        icon.addPixmap(readPng(QStringLiteral(":/icons/window/%1.png").arg(size)));
    return icon;
}

QPixmap pixmap(const QString& name, qreal devicePixelRatio) {
    return load(name, devicePixelRatio > 1.0);
}

} // namespace pictures
