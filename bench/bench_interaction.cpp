// The cost of what a user does over and over, each with the repaint of every
// changed view, as a table of median and 99th percentile:
//  - one Eye Wizard move under X11: pointer query, a 1x1 pixel read, the hex
//    synchronisation, over thousands of pointer positions on a screen
//    painted with known colours; then with the magnifier, with its contrast
//    label, with the label and a 9x9 area, and with the area alone;
//  - the same move with the Contrast window closed and open (its figures,
//    simulations and samples followed and drawn, at most once a display
//    frame), every window's layout and repaint counted;
//  - one synchronisation from the hex boxes (ChangeOne) and from the
//    decimal boxes (ChangeTwo), each with a new colour;
//  - applying a language to all three windows (ChangeLang), alternating
//    between two shipped language files;
//  - on Wayland, once per pick: finding the pressed window in a screenshot,
//    also where the desktop shows it shrunk.
#include "app/MirabouApplication.h"
#include "app/Program.h"
#include "controls/SpeedButton.h"

#include "controls/umEdit.h"
#include "eyedropper/EyeWizard.h"
#include "eyedropper/PortalScreenContext.h"
#include "eyedropper/WindowLocator.h"

#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
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

struct Row {
    std::string what;
    std::vector<double> micros;
};

/// Times step(i) count times, each with the repaint it causes (of window, or
/// with window null of every window, their layouts first).
template <typename Step> Row timeIt(std::string what, QWidget* window, int count, Step step) {
    Row row{std::move(what), {}};
    row.micros.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        // Every changed view drawn before the next step, as the event loop
        // would: the window's, then what was posted (the magnifier follows the
        // views after their repaint) and the repaints that caused.
        if (!window)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        row.micros.push_back(double(t.nsecsElapsed()) / 1000.0);
    }
    return row;
}

/// A mouse event over w as the display sends it: at the pointer's place.
void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButtons buttons,
               QPointF global = QCursor::pos()) {
    QMouseEvent e(type, w->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char** argv) {
    MirabouApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "bench_interaction needs an X server (run it through make bench)\n");
        return 1;
    }
    Stripes stripes;
    stripes.setWindowFlag(Qt::FramelessWindowHint);
    stripes.setGeometry(QGuiApplication::primaryScreen()->geometry());
    stripes.show();

    // A program folder with the shipped settings and language files.
    QTemporaryDir folder;
    const QDir resources(QStringLiteral(MIRABOU_RESOURCES));
    QFile::copy(resources.filePath(QStringLiteral("settings.ini")),
                folder.filePath(QStringLiteral("settings.ini")));
    for (const QString& lng :
         QDir(resources.filePath(QStringLiteral("lang"))).entryList({QStringLiteral("*.lng")}))
        QFile::copy(resources.filePath(QStringLiteral("lang/") + lng), folder.filePath(lng));
    Program program(folder.path() + QLatin1Char('/'));
    TForm1& form = program.form1;
    form.show();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();

    auto* wand = form.findChild<TSpeedButton*>(QStringLiteral("SpeedButton1"));
    auto* hex = form.findChild<QLabel*>(QStringLiteral("Label4"));
    std::vector<Row> rows;

    QSet<QString> colours;
    const QRect area = stripes.geometry().adjusted(0, 0, -1, -1);
    // Without the magnifier, with it, with its contrast label (an eye colour
    // remembered before the press), and with the label and a 9x9 area.
    struct Move {
        const char* what;
        bool magnifier;
        bool eye;
        int sample;
    };
    for (const Move& move :
         {Move{"Eye Wizard move (pixel read, ChangeOne)", false, false, 1},
          Move{"Eye Wizard move with the magnifier (area read, ChangeOne, magnifier moved and "
               "drawn)",
               true, false, 1},
          Move{"Eye Wizard move with the magnifier and the contrast label", true, true, 1},
          Move{"Eye Wizard move with the magnifier, the contrast label and a 9x9 area", true, true,
               9},
          Move{"Eye Wizard move with a 9x9 area, no magnifier", false, false, 9}}) {
        TEyeWizard& wizard = form.eyeWizard();
        wizard.setMagnifierOn(move.magnifier);
        wizard.setSampleSize(move.sample);
        if (move.eye)
            wizard.eyeColor().set(packColor(0x20, 0x40, 0x60));
        else
            wizard.eyeColor().clear();
        for (int i = 0; i < 50; ++i) // each row from the same start, as below
            QCoreApplication::processEvents();
        sendMouse(wand, QEvent::MouseButtonPress, Qt::LeftButton);
        rows.push_back(timeIt(move.what, &form, 5000, [&](int i) {
            const QPoint at(area.left() + (i * 7) % area.width(), area.top() + (i * 13) % 300);
            QCursor::setPos(at);
            sendMouse(wand, QEvent::MouseMove, Qt::LeftButton, at);
            colours.insert(hex->text());
        }));
        sendMouse(wand, QEvent::MouseButtonRelease, Qt::NoButton);
    }
    form.eyeWizard().setSampleSize(1);

    // The Contrast window following every move, against the same move with
    // it closed, both drawing every window that changed.
    form.eyeWizard().setMagnifierOn(false);
    form.eyeWizard().eyeColor().set(0xFFFFFF);
    for (const bool open : {false, true}) {
        if (open)
            program.form5.open();
        // Both rows from the same start: what the display has sent so far
        // handled (a move costs more or less with a backlog of its events).
        for (int i = 0; i < 50; ++i)
            QCoreApplication::processEvents();
        sendMouse(wand, QEvent::MouseButtonPress, Qt::LeftButton);
        rows.push_back(timeIt(open ? "Eye Wizard move, the Contrast window open (pixel read, "
                                     "ChangeOne, its figures and samples drawn once a frame)"
                                   : "Eye Wizard move, the Contrast window closed (the same, "
                                     "every window drawn)",
                              nullptr, 5000, [&](int i) {
                                  const QPoint at(area.left() + (i * 7) % area.width(),
                                                  area.top() + (i * 13) % 300);
                                  QCursor::setPos(at);
                                  sendMouse(wand, QEvent::MouseMove, Qt::LeftButton, at);
                              }));
        sendMouse(wand, QEvent::MouseButtonRelease, Qt::NoButton);
    }
    program.form5.close();
    form.eyeWizard().setMagnifierOn(true);

    const char* hexNames[] = {"umRed", "umGreen", "umBlue"};
    const char* decNames[] = {"dcRed", "dcGreen", "dcBlue"};
    TumNumberEdit* hexBoxes[3];
    TumNumberEdit* decBoxes[3];
    for (int c = 0; c < 3; ++c) {
        hexBoxes[c] = form.findChild<TumNumberEdit*>(QLatin1String(hexNames[c]));
        decBoxes[c] = form.findChild<TumNumberEdit*>(QLatin1String(decNames[c]));
    }
    rows.push_back(
        timeIt("synchronisation from the hex boxes (ChangeOne)", &form, 5000, [&](int i) {
            for (int c = 0; c < 3; ++c)
                hexBoxes[c]->setText(hexPair((i * (c + 3) * 7) & 0xFF));
            form.ChangeOne();
        }));
    rows.push_back(
        timeIt("synchronisation from the decimal boxes (ChangeTwo)", &form, 5000, [&](int i) {
            for (int c = 0; c < 3; ++c)
                decBoxes[c]->setText(QString::number((i * (c + 5) * 11) & 0xFF));
            form.ChangeTwo();
        }));
    rows.push_back(timeIt("applying a language to all windows (ChangeLang)", &form, 500,
                          [&](int i) { form.ChangeLang(1 + i % 2); }));

    // On Wayland, once per pick: finding the pressed window in the screenshot.
    const QImage window = form.grab().toImage();
    for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
        QImage desktop(size, QImage::Format_RGB32);
        desktop.fill(qRgb(0x3A, 0x6E, 0xA5));
        QPainter painter(&desktop);
        for (int x = 0; x < size.width(); x += 97)
            painter.fillRect(x, 0, 40, size.height(), QColor::fromHsv(x % 360, 120, 200));
        painter.drawImage(QPoint(size.width() * 2 / 3, size.height() / 2), window);
        painter.end();
        const std::string what = "finding the pressed window in a " + std::to_string(size.width()) +
                                 "x" + std::to_string(size.height()) + " screenshot";
        rows.push_back(timeIt(what, &form, 20, [&](int) {
            if (!portal::locate(window, desktop))
                std::fprintf(stderr, "the window was not found\n");
        }));
    }

    {
        // A bare desktop in the window's own background colour: each place
        // in it must be ruled out quickly.
        QImage desktop(QSize(3840, 2160), QImage::Format_RGB32);
        desktop.fill(window.pixel(window.width() - 3, window.height() - 3));
        QPainter painter(&desktop);
        painter.drawImage(QPoint(2560, 1080), window);
        painter.end();
        rows.push_back(
            timeIt("finding the pressed window on a desktop of its own colour, 3840x2160", &form,
                   20, [&](int) {
                       if (!portal::locate(window, desktop))
                           std::fprintf(stderr, "the window was not found\n");
                   }));
    }

    {
        // Drawn at two, shown at 1.5 (a fractional desktop scale): the window
        // is looked for shrunk, through the desktop's own filter.
        const QImage twice =
            window.scaled(window.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage desktop(QSize(2880, 1620), QImage::Format_RGB32);
        desktop.fill(qRgb(0x3A, 0x6E, 0xA5));
        QPainter painter(&desktop);
        painter.drawImage(QRectF(QPointF(1500, 700), QSizeF(twice.size()) * 0.75), twice);
        painter.end();
        rows.push_back(timeIt("finding the pressed window shown at 1.5 in a 2880x1620 screenshot",
                              &form, 20, [&](int) {
                                  if (!portal::locateScaled(twice, desktop, 0.75))
                                      std::fprintf(stderr, "the window was not found\n");
                              }));
    }

    std::printf("%lld colours read by the Eye Wizard\n\n", static_cast<long long>(colours.size()));
    std::printf("| what | runs | median | p99 | max |\n|---|---|---|---|---|\n");
    for (const Row& row : rows)
        std::printf("| %s | %zu | %.1f us | %.1f us | %.1f us |\n", row.what.c_str(),
                    row.micros.size(), percentile(row.micros, 0.5), percentile(row.micros, 0.99),
                    percentile(row.micros, 1.0));
    return 0;
}
