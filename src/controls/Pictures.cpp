#include "controls/Pictures.h"

#include <QImageReader>
#include <QResource>
#include <QtEndian>
#include <cstring>

namespace pictures {

QImage unpackedImage(const uchar* data, qint64 size) {
    constexpr qint64 header = 12;
    if (!data || size < header || std::memcmp(data, "ARGB", 4) != 0)
        return {};
    const quint32 width = qFromLittleEndian<quint32>(data + 4);
    const quint32 height = qFromLittleEndian<quint32>(data + 8);
    if (width == 0 || height == 0 || width > 4096 || height > 4096 ||
        size != header + qint64(width) * height * 4)
        return {};
    const uchar* pixels = data + header;
    const int w = int(width), h = int(height);
    // Where the stored order is the machine's, the image is the stored pixels
    // themselves, never copied (pixmaps on the raster back end share them).
    if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN && reinterpret_cast<quintptr>(pixels) % 4 == 0)
        return QImage(pixels, w, h, w * 4, QImage::Format_ARGB32_Premultiplied);
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qFromLittleEndian<quint32>(pixels + (qint64(y) * w + x) * 4);
    }
    return image;
}

QPixmap readUnpacked(const QString& path, qreal devicePixelRatio) {
    const QResource resource(path);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    QImage image = unpackedImage(resource.data(), resource.size());
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

namespace {

/// The resource of a picture's 1x or 2x rendering, of the type given.
QString file(const QString& name, bool twice, QLatin1String type) {
    return QStringLiteral(":/icons/") + name +
           (twice ? QLatin1String("@2x.") : QLatin1String(".")) + type;
}

QPixmap load(const QString& name, bool twice) {
    return readUnpacked(file(name, twice, QLatin1String("argb")), twice ? 2.0 : 1.0);
}

// Left to guess, Qt's image reader loads every image format plugin to show
// it the file's first bytes.
QPixmap readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace

QIcon icon(const QString& name) {
    QIcon icon;
    icon.addPixmap(load(name, false));
    icon.addPixmap(load(name, true));
    return icon;
}

QIcon windowIcon() {
    // The sizes the build renders (src/CMakeLists.txt).
    constexpr int sizes[] = {MIRABOU_WINDOW_ICON_SIZES};
    QIcon icon;
    for (const int size : sizes)
        icon.addPixmap(readUnpacked(QStringLiteral(":/icons/window/%1.argb").arg(size)));
    return icon;
}

QPixmap pixmap(const QString& name, qreal devicePixelRatio) {
    const bool twice = devicePixelRatio > 1.0;
    QPixmap picture = readPng(file(name, twice, QLatin1String("png")));
    if (twice)
        picture.setDevicePixelRatio(2.0);
    return picture;
}

} // namespace pictures
