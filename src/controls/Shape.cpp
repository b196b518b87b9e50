#include "controls/Shape.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TShape::setBrushColor(const QColor& c) {
    if (c == m_brush)
        return;
    m_brush = c;
    // Filled with an opaque colour it covers all it stands on, which then
    // need not be drawn again when it changes.
    setAttribute(Qt::WA_OpaquePaintEvent, c.alpha() == 255);
    update();
}

void TShape::setPenColor(const QColor& c) {
    m_pen = c;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    // The frame is filled, not stroked: stroking the rectangle costs several
    // times as much, and the swatch repaints on every move of a pick.
    QPainter p(this);
    const int w = width(), h = height();
    if (m_brush.alpha() == 255 && m_pen.alpha() == 255) {
        // Both opaque: the frame's colour, then the inside over it.
        p.fillRect(rect(), m_pen);
        if (w > 2 && h > 2)
            p.fillRect(1, 1, w - 2, h - 2, m_brush);
        return;
    }
    // Colours one sees through show what lies beneath them, not each
    // other: the frame is four strips over the inside.
    p.fillRect(rect(), m_brush);
    p.fillRect(0, 0, w, 1, m_pen);
    if (h > 1)
        p.fillRect(0, h - 1, w, 1, m_pen);
    if (h > 2) {
        p.fillRect(0, 1, 1, h - 2, m_pen);
        if (w > 1)
            p.fillRect(w - 1, 1, 1, h - 2, m_pen);
    }
}

void TShape::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button());
}
