// The cost of one Eye Wizard move under X11: pointer query, a 1x1 pixel read,
// the hex synchronisation and the repaint of every view, over thousands of
// pointer positions on a screen painted with known colours.
#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "controls/SpeedButton.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

/// A full-screen window of colour stripes, so that every move reads a new colour.
class Stripes : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        for (int x = 0; x < width(); x += 8)
            p.fillRect(x, 0, 8, height(), QColor::fromHsv((x / 8 * 37) % 360, 200, 230));
    }
};

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButtons buttons) {
    const QPointF local(10, 10);
    QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_pick needs an X server (run it through make bench)\n");
        return 1;
    }
    Stripes stripes;
    stripes.setWindowFlag(Qt::FramelessWindowHint);
    stripes.setGeometry(QGuiApplication::primaryScreen()->geometry());
    stripes.show();

    QTemporaryDir folder;
    Program program(folder.path() + QLatin1Char('/'));
    program.form1.show();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();

    auto* wand = program.form1.findChild<TSpeedButton*>(QStringLiteral("SpeedButton1"));
    auto* hex = program.form1.findChild<QLabel*>(QStringLiteral("Label4"));
    sendMouse(wand, QEvent::MouseButtonPress, Qt::LeftButton);

    const int moves = 5000;
    std::vector<double> micros;
    micros.reserve(moves);
    QSet<QString> colours;
    const QRect area = stripes.geometry().adjusted(0, 0, -1, -1);
    for (int i = 0; i < moves; ++i) {
        QCursor::setPos(area.left() + (i * 7) % area.width(), area.top() + (i * 13) % 300);
        QElapsedTimer t;
        t.start();
        sendMouse(wand, QEvent::MouseMove, Qt::LeftButton);
        // Every changed view drawn before the next move, as the event loop would.
        QCoreApplication::sendPostedEvents(&program.form1, QEvent::UpdateRequest);
        micros.push_back(double(t.nsecsElapsed()) / 1000.0);
        colours.insert(hex->text());
    }
    sendMouse(wand, QEvent::MouseButtonRelease, Qt::NoButton);

    std::printf("Eye Wizard move (pixel read + ChangeOne + repaint), %d moves, %lld colours\n",
                moves, static_cast<long long>(colours.size()));
    std::printf("| median | p99 | max |\n|---|---|---|\n| %.1f us | %.1f us | %.1f us |\n",
                percentile(micros, 0.5), percentile(micros, 0.99), percentile(micros, 1.0));
    return 0;
}
