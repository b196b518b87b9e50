// The floor for start-up figures: a bare Qt widget window of one colour.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::red);
    window.setPalette(pal);
    window.setGeometry(100, 100, 439, 176);
    window.show();
    return app.exec();
}
