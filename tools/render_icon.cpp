// Renders an SVG picture to square PNG files:
//   render_icon picture.svg size:out.png...
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    QSvgRenderer svg(args[1]);
    if (!svg.isValid())
        return 1;
    for (int i = 2; i < args.size(); ++i) {
        const int size = args[i].section(QLatin1Char(':'), 0, 0).toInt();
        const QString out = args[i].section(QLatin1Char(':'), 1);
        if (size <= 0 || out.isEmpty())
            return 2;
        QDir().mkpath(QFileInfo(out).absolutePath());
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!image.save(out))
            return 1;
    }
    return 0;
}
