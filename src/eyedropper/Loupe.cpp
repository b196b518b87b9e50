#include "eyedropper/Loupe.h"

#include "color/ColorTexts.h"
#include "eyedropper/Magnifier.h"

#include <QKeyEvent>
#include <QWheelEvent>

TLoupe::TLoupe() : m_zoom(magnifier::DefaultZoom) {}

TLoupe::~TLoupe() = default;

PackedColor TLoupe::read(ScreenContext& screen, bool magnify) {
    using Place = ScreenContext::MagnifierPlace;
    const Place place = magnify ? screen.magnifierPlace() : Place::None;
    const QPoint picked = screen.cursorPos();
    if (place == Place::None)
        return screen.pixel(picked);
    const int across = magnifier::cellsAcross(m_zoom, screen.ratioAt(picked));
    const QRect area(picked - QPoint(across / 2, across / 2), QSize(across, across));
    // One reading for the pixels shown and the picked one, never of the
    // magnifier itself.
    QImage cells = screen.around(picked, across);
    if (m_magnifier && place == Place::Window)
        cells = m_magnifier->unobstructed(cells, area);
    const QRgb middle = cells.pixel(across / 2, across / 2);
    const PackedColor color = packColor(qRed(middle), qGreen(middle), qBlue(middle));
    const ScreenContext::Magnified view{cells, m_zoom,
                                        colortext::formatColor(color, colortext::Format::Hex)};
    if (place == Place::Picture) {
        screen.showMagnifier(view);
        return color;
    }
    if (!m_magnifier || m_shownFor != &screen) {
        m_magnifier = std::make_unique<TMagnifier>(
            [&screen](const QRect& shown) { return screen.areaLater(shown); });
        m_shownFor = &screen;
    }
    m_magnifier->showAt(picked, view);
    return color;
}

PackedColor TLoupe::readPoint(ScreenContext& screen) {
    const QPoint picked = screen.cursorPos();
    if (!m_magnifier || m_shownFor != &screen)
        return screen.pixel(picked);
    const QRect point(picked, QSize(1, 1));
    const QRgb c = m_magnifier->unobstructed(screen.area(point), point).pixel(0, 0);
    return packColor(qRed(c), qGreen(c), qBlue(c));
}

void TLoupe::hide(ScreenContext* screen) {
    if (m_magnifier)
        m_magnifier->dismiss();
    if (screen)
        screen->showMagnifier({});
}

bool TLoupe::wheel(const QWheelEvent& event) {
    m_turned += event.angleDelta().y();
    const int steps = m_turned / QWheelEvent::DefaultDeltasPerStep;
    m_turned %= QWheelEvent::DefaultDeltasPerStep;
    const int before = m_zoom;
    m_zoom = magnifier::stepZoom(m_zoom, steps);
    return m_zoom != before;
}

std::optional<QPoint> nudgeOf(const QKeyEvent& key) {
    const int step = key.modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (key.key()) {
    case Qt::Key_Left:
        return QPoint(-step, 0);
    case Qt::Key_Right:
        return QPoint(step, 0);
    case Qt::Key_Up:
        return QPoint(0, -step);
    case Qt::Key_Down:
        return QPoint(0, step);
    default:
        return std::nullopt;
    }
}
