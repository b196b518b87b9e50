#include "eyedropper/Loupe.h"

#include "color/ColorTexts.h"
#include "color/Contrast.h"
#include "eyedropper/Magnifier.h"
#include "eyedropper/Sample.h"

#include <QKeyEvent>
#include <QWheelEvent>

TLoupe::TLoupe() : m_zoom(magnifier::DefaultZoom) {}

TLoupe::~TLoupe() = default;

PackedColor TLoupe::meanOf(const ScreenContext& screen, QPoint picked, const QImage& cells) const {
    const QPoint middle(cells.width() / 2, cells.height() / 2);
    if (screen.showsSquare(picked, m_sample))
        return sample::mean(m_sample, cells, middle);
    return sample::mean(m_sample, [&](QPoint offset) {
        return screen.showsAround(picked, offset)
                   ? std::optional<QRgb>(cells.pixel(middle + offset))
                   : std::nullopt;
    });
}

PackedColor TLoupe::read(ScreenContext& screen, bool magnify) {
    using Place = ScreenContext::MagnifierPlace;
    const Place place = magnify ? screen.magnifierPlace() : Place::None;
    const QPoint picked = screen.cursorPos();
    const bool area = m_sample > 1 && screen.readsArea();
    if (place == Place::None)
        return area ? meanOf(screen, picked, screen.around(picked, m_sample))
                    : screen.pixel(picked);
    const qreal ratio = screen.ratioAt(picked);
    // Cells small enough for the whole sample and a cell around it.
    const int zoom = area ? magnifier::zoomFitting(m_zoom, ratio, m_sample + 2) : m_zoom;
    const int across = magnifier::cellsAcross(zoom, ratio);
    const QRect shown(picked - QPoint(across / 2, across / 2), QSize(across, across));
    // One reading for the pixels shown and the picked ones, never of the
    // magnifier itself.
    QImage cells = screen.around(picked, across);
    if (m_magnifier && place == Place::Window)
        cells = m_magnifier->unobstructed(cells, shown);
    PackedColor color;
    if (area) {
        color = meanOf(screen, picked, cells);
    } else {
        const QRgb middle = cells.pixel(across / 2, across / 2);
        color = packColor(qRed(middle), qGreen(middle), qBlue(middle));
    }
    ScreenContext::Magnified view;
    view.cells = cells;
    view.zoom = zoom;
    view.text = colortext::formatColor(color, colortext::Format::Hex);
    view.sample = area ? m_sample : 1;
    if (m_compared) {
        const PackedColor c = *m_compared;
        view.compared = QColor(redOf(c), greenOf(c), blueOf(c));
        view.contrast =
            contrast::ratioText(contrast::contrastRatio(color, c)) + QStringLiteral(":1");
    }
    if (place == Place::Picture) {
        screen.showMagnifier(view);
        return color;
    }
    if (!m_magnifier || m_shownFor != &screen) {
        m_magnifier = std::make_unique<TMagnifier>(
            [&screen](const QRect& part) { return screen.areaLater(part); },
            [&screen] { screen.catchUp(); });
        m_shownFor = &screen;
    }
    m_magnifier->showAt(picked, view);
    return color;
}

PackedColor TLoupe::readPoint(ScreenContext& screen) {
    const QPoint picked = screen.cursorPos();
    const bool mended = m_magnifier && m_shownFor == &screen;
    if (m_sample > 1 && screen.readsArea()) {
        const QRect area(picked - QPoint(m_sample / 2, m_sample / 2), QSize(m_sample, m_sample));
        QImage cells = screen.around(picked, m_sample);
        if (mended)
            cells = m_magnifier->unobstructed(cells, area);
        return meanOf(screen, picked, cells);
    }
    if (!mended)
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
