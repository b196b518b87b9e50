#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

bool copyProgram(const QString& folder) {
    const QDir into(folder);
    const QString part = QFileInfo(QStringLiteral(MIRABOU_DISPLAY_PART)).fileName();
    QFile::remove(into.filePath(QStringLiteral("Mirabou")));
    QFile::remove(into.filePath(part));
    return QFile::copy(QStringLiteral(MIRABOU_EXE), into.filePath(QStringLiteral("Mirabou"))) &&
           QFile::copy(QStringLiteral(MIRABOU_DISPLAY_PART), into.filePath(part));
}

namespace {

class FakeScreenContext : public ScreenContext {
public:
    explicit FakeScreenContext(std::shared_ptr<FakeScreen> s) : m_screen(std::move(s)) {}
    QPoint cursorPos() override { return m_screen->cursor; }
    PackedColor pixel(QPoint p) override {
        ++m_screen->reads;
        return colorAt(p);
    }
    QImage area(const QRect& area) override {
        ++m_screen->reads; // one reading, as a real screen's
        QImage image(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                const PackedColor c = colorAt(area.topLeft() + QPoint(x, y));
                image.setPixel(x, y,
                               c == UnreadablePixel ? qRgb(255, 255, 255)
                                                    : qRgb(redOf(c), greenOf(c), blueOf(c)));
            }
        }
        return image;
    }
    /// What the test's screen cannot read, no screen shows.
    bool showsAround(QPoint picked, QPoint offset) const override {
        return colorAt(picked + offset) != UnreadablePixel;
    }
    void nudge(QPoint delta) override { m_screen->cursor += delta; }

private:
    PackedColor colorAt(QPoint p) const {
        return m_screen->colorAt ? m_screen->colorAt(p) : UnreadablePixel;
    }
    std::shared_ptr<FakeScreen> m_screen;
};

} // namespace

ScreenContextFactory fakeScreenFactory(const std::shared_ptr<FakeScreen>& screen) {
    return [screen] { return std::make_unique<FakeScreenContext>(screen); };
}

bool showActive(QWidget* window) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

std::unique_ptr<QWidget> showColouredWindow(const QColor& colour, const QRect& geometry) {
    auto window = std::make_unique<QWidget>();
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->setGeometry(geometry);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

std::unique_ptr<QWidget> showPictureWindow(const QImage& picture, QPoint at) {
    auto window = std::make_unique<QWidget>();
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setAutoFillBackground(true);
    QPalette palette;
    palette.setBrush(QPalette::Window, QPixmap::fromImage(picture));
    window->setPalette(palette);
    window->setGeometry(QRect(at, picture.size()));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

} // namespace testsupport
