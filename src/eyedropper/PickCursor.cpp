#include "eyedropper/PickCursor.h"

#include <QPainter>
#include <QPixmap>

namespace pickcursor {

namespace {

constexpr int Side = 33; // logical pixels; the hot spot in the middle
constexpr int Middle = Side / 2;
constexpr int ArmStart = ClearRadius + 2;
constexpr int Ratio = 2; // drawn for scale 2, shown sharp at 1 and 2

QPixmap drawn(Kind kind) {
    QPixmap pixmap(Side * Ratio, Side * Ratio);
    pixmap.setDevicePixelRatio(Ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(Middle + 0.5, Middle + 0.5);
    const auto arms = [&](const QPen& pen) {
        painter.setPen(pen);
        for (const QPointF direction :
             {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
            painter.drawLine(centre + direction * ArmStart, centre + direction * (Middle - 1));
    };
    // White beneath black: seen on dark and light alike.
    arms(QPen(Qt::white, 3, Qt::SolidLine, Qt::FlatCap));
    arms(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
    if (kind == Kind::Waiting) {
        // A ring in a corner, away from the middle: still under way.
        const QRectF ring(Side - 11.5, Side - 11.5, 9, 9);
        painter.setPen(QPen(Qt::white, 3));
        painter.drawEllipse(ring);
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawArc(ring, 90 * 16, 270 * 16);
    }
    painter.end();
    return pixmap;
}

} // namespace

QCursor cursor(Kind kind) {
    return QCursor(drawn(kind), Middle, Middle);
}

} // namespace pickcursor
