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
    QPainter p(this);
    p.fillRect(rect(), m_brush);
    p.setPen(m_pen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TShape::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button());
}
