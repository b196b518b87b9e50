#include "eyedropper/PortalScreenContext.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

// Where the desktop's picture shows each screen: the outputs found in it, the
// device pixel under a logical point and the picture pixel that shows it, and
// a screen's device pixels as one picture.

void PortalScreenContext::findOutputs() {
    m_outputs.clear();
    const QPointF s = scale();
    const QList<QScreen*> screens = QGuiApplication::screens();
    // Where every screen has the same ratio, the picture shows each at its
    // own (or the program knows of none: every picture pixel is a device
    // pixel). Otherwise the desktop enlarged the screens of a smaller ratio
    // to the picture's.
    const bool same = std::all_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        return screen->devicePixelRatio() == screens.front()->devicePixelRatio();
    });
    m_devicesArePixels = true;
    for (const QScreen* screen : screens) {
        Output output;
        output.logical = screen->geometry();
        output.origin = QPointF((output.logical.x() - m_desktop.x()) * s.x(),
                                (output.logical.y() - m_desktop.y()) * s.y());
        const qreal ratio = screen->devicePixelRatio();
        output.step = same ? QPointF(1, 1)
                           : QPointF(std::max(1.0, s.x() / ratio), std::max(1.0, s.y() / ratio));
        output.ratio = QPointF(s.x() / output.step.x(), s.y() / output.step.y());
        output.device = QSize(qRound(output.logical.width() * output.ratio.x()),
                              qRound(output.logical.height() * output.ratio.y()));
        // The picture pixels whose middles lie on the screen.
        const QPointF end(output.origin.x() + output.device.width() * output.step.x(),
                          output.origin.y() + output.device.height() * output.step.y());
        output.pixels =
            QRect(QPoint(int(std::ceil(output.origin.x() - 0.5)),
                         int(std::ceil(output.origin.y() - 0.5))),
                  QPoint(int(std::ceil(end.x() - 0.5)) - 1, int(std::ceil(end.y() - 0.5)) - 1));
        m_devicesArePixels = m_devicesArePixels && output.step == QPointF(1, 1);
        m_outputs.push_back(output);
    }
}

namespace {

/// Whether a point lies on a rectangle, its right and bottom edges not.
bool on(const QRectF& r, QPointF p) {
    return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

/// The picture pixel, along one axis, that shows device pixel d of count
/// that begin at origin, step picture pixels each.
int along(qreal origin, qreal step, int d, int count) {
    // The one under the device pixel's middle; but at either end of the
    // screen not one the desktop's enlarging blended with what lies beyond.
    const int nearest = int(std::floor(origin + (d + 0.5) * step));
    const int first = int(std::ceil(origin + step / 2 - 0.5));
    const int last = int(std::floor(origin + (count - 0.5) * step - 0.5));
    return std::clamp(nearest, first, std::max(first, last));
}

} // namespace

std::optional<PortalScreenContext::Device> PortalScreenContext::deviceAt(QPointF logical) const {
    // The screen the point is on, or the nearest (a point on a window's
    // right edge is just off its screen).
    int nearest = -1;
    qreal distance = 0;
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        const QRectF& r = m_outputs[i].logical;
        const qreal dx = std::max({r.left() - logical.x(), 0.0, logical.x() - r.right()});
        const qreal dy = std::max({r.top() - logical.y(), 0.0, logical.y() - r.bottom()});
        const qreal d = on(r, logical) ? -1 : dx + dy;
        if (nearest < 0 || d < distance) {
            nearest = int(i);
            distance = d;
        }
    }
    if (nearest < 0)
        return std::nullopt;
    const Output& output = m_outputs[size_t(nearest)];
    const QPointF in = logical - output.logical.topLeft();
    return Device{nearest, QPoint(std::clamp(int(std::floor(in.x() * output.ratio.x())), 0,
                                             output.device.width() - 1),
                                  std::clamp(int(std::floor(in.y() * output.ratio.y())), 0,
                                             output.device.height() - 1))};
}

std::optional<PortalScreenContext::Device> PortalScreenContext::offset(const Device& from,
                                                                       QPoint delta) const {
    const Output& output = m_outputs[size_t(from.output)];
    const QPoint to = from.at + delta;
    if (QRect(QPoint(), output.device).contains(to))
        return Device{from.output, to};
    // Just inside that device pixel's corner, on whichever screen it is.
    const QPointF logical(output.logical.x() + (to.x() + 0.001) / output.ratio.x(),
                          output.logical.y() + (to.y() + 0.001) / output.ratio.y());
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        if (on(m_outputs[i].logical, logical))
            return deviceAt(logical);
    }
    return std::nullopt;
}

QPoint PortalScreenContext::inPicture(const Device& device) const {
    const Output& output = m_outputs[size_t(device.output)];
    return {along(output.origin.x(), output.step.x(), device.at.x(), output.device.width()),
            along(output.origin.y(), output.step.y(), device.at.y(), output.device.height())};
}

bool PortalScreenContext::shown(QPoint p) const {
    return std::any_of(m_outputs.begin(), m_outputs.end(),
                       [p](const Output& output) { return output.pixels.contains(p); });
}

std::optional<QPoint> PortalScreenContext::pictureAround(QPoint picked, QPoint delta) const {
    // As around() reads them: picture pixels where they are the screens'
    // device pixels, otherwise the device pixels of the picked one's screen.
    if (m_devicesArePixels || !m_picked || inPicture(*m_picked) != picked) {
        const QPoint p = picked + delta;
        return m_picture.valid(p) && shown(p) ? std::optional<QPoint>(p) : std::nullopt;
    }
    const std::optional<Device> cell = offset(*m_picked, delta);
    const QPoint at = cell ? inPicture(*cell) : QPoint(-1, -1);
    return m_picture.valid(at) ? std::optional<QPoint>(at) : std::nullopt;
}

bool PortalScreenContext::showsAround(QPoint picked, QPoint offset) const {
    return m_stage == Stage::Frozen && pictureAround(picked, offset).has_value();
}

QImage PortalScreenContext::deviceImage(const Output& output) const {
    const int index = int(&output - m_outputs.data());
    QImage image(output.device, QImage::Format_RGB32);
    std::vector<int> columns(size_t(output.device.width()));
    for (int x = 0; x < output.device.width(); ++x)
        columns[size_t(x)] =
            std::clamp(inPicture({index, QPoint(x, 0)}).x(), 0, m_picture.width() - 1);
    for (int y = 0; y < output.device.height(); ++y) {
        const int row = std::clamp(inPicture({index, QPoint(0, y)}).y(), 0, m_picture.height() - 1);
        const auto* from = reinterpret_cast<const QRgb*>(m_picture.constScanLine(row));
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < output.device.width(); ++x)
            to[x] = from[columns[size_t(x)]];
    }
    return image;
}

QPointF PortalScreenContext::scale() const {
    return {double(m_picture.width()) / m_desktop.width(),
            double(m_picture.height()) / m_desktop.height()};
}
