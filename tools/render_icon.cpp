// Renders an SVG picture to square pictures, or converts a picture Qt can
// read (one of Qt's own resources too):
//   render_icon picture.svg size:out.png...
//   render_icon --convert picture out.argb
// An .argb file is the program's unpacked form, shown without decoding: "ARGB",
// width and height as 32-bit little-endian numbers, then the premultiplied
// pixels as 32-bit little-endian 0xAARRGGBB, row by row.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

namespace {

bool writeArgb(const QImage& picture, const QString& out) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray data("ARGB");
    auto put = [&data](quint32 value) {
        const quint32 le = qToLittleEndian(value);
        data.append(reinterpret_cast<const char*>(&le), sizeof le);
    };
    put(quint32(image.width()));
    put(quint32(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            put(line[x]);
    }
    QFile file(out);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
}

bool save(const QImage& image, const QString& out) {
    QDir().mkpath(QFileInfo(out).absolutePath());
    return out.endsWith(QLatin1String(".argb")) ? writeArgb(image, out) : image.save(out);
}

} // namespace

int main(int argc, char** argv) {
    // Widgets' own pictures are resources of its library.
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    if (args[1] == QLatin1String("--convert")) {
        const QImage image(args[2]);
        return args.size() == 4 && !image.isNull() && save(image, args[3]) ? 0 : 1;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid())
        return 1;
    for (int i = 2; i < args.size(); ++i) {
        const int size = args[i].section(QLatin1Char(':'), 0, 0).toInt();
        const QString out = args[i].section(QLatin1Char(':'), 1);
        if (size <= 0 || out.isEmpty())
            return 2;
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!save(image, out))
            return 1;
    }
    return 0;
}
