// The floor for start-up figures: a bare Qt widget window of one colour and
// the main window's size. With --label it also draws a line of text, which
// costs what every program that shows text pays once: the font database.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::red);
    window.setPalette(pal);
    window.setGeometry(100, 100, 439, 176);
    if (QCoreApplication::arguments().contains(QStringLiteral("--label")))
        (new QLabel(QStringLiteral("#FF8000"), &window))->setGeometry(8, 8, 120, 16);
    window.show();
    return app.exec();
}
