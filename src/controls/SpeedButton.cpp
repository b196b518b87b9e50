#include "controls/SpeedButton.h"

#include <QMouseEvent>

void TSpeedButton::mousePressEvent(QMouseEvent* event) {
    QToolButton::mousePressEvent(event);
    emit mouseDown(event->button());
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    QToolButton::mouseMoveEvent(event);
    emit mouseMove(event->globalPosition());
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    QToolButton::mouseReleaseEvent(event);
    emit mouseUp(event->button(), event->globalPosition());
}

bool TSpeedButton::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse)
        emit grabLost();
    return QToolButton::event(event);
}
