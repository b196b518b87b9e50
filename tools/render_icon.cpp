// Renders an SVG picture to PNG files of the given square sizes:
//   render_icon picture.svg out-dir size...   (writes out-dir/<size>.png)
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4)
        return 2;
    QSvgRenderer svg(args[1]);
    if (!svg.isValid())
        return 1;
    QDir().mkpath(args[2]);
    for (int i = 3; i < args.size(); ++i) {
        const int size = args[i].toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!image.save(QStringLiteral("%1/%2.png").arg(args[2]).arg(size)))
            return 1;
    }
    return 0;
}
