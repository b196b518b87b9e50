#pragma once

#include "eyedropper/ScreenContext.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <memory>

namespace testsupport {

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

/// Copies the built program into folder (with its trailing '/' or not): the
/// executable as Mirabou and its part that needs a display beside it.
bool copyProgram(const QString& folder);

/// A screen whose pointer and pixels the test sets.
struct FakeScreen {
    QPoint cursor;
    std::function<PackedColor(QPoint)> colorAt;
    int reads = 0;
};

/// A factory that hands the window a context reading from screen.
ScreenContextFactory fakeScreenFactory(const std::shared_ptr<FakeScreen>& screen);

/// The named child of a window; fails the test when it is missing.
template <typename T> T* child(const QObject* parent, const char* name) {
    T* c = parent->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

/// Shows a window and waits until it is exposed and active.
bool showActive(QWidget* window);

/// A frameless window of one colour at geometry on the screen, shown and
/// exposed; null when it could not be shown.
std::unique_ptr<QWidget> showColouredWindow(const QColor& colour, const QRect& geometry);
/// The same showing a picture, pixel for pixel, with its top-left corner at.
std::unique_ptr<QWidget> showPictureWindow(const QImage& picture, QPoint at);

} // namespace testsupport
