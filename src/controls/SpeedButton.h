#pragma once

#include <QToolButton>

/// A tool button that also reports the raw press, move and release of the
/// mouse, for buttons that act while held.
class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;

signals:
    void mouseDown(Qt::MouseButton button);
    /// global: where the pointer is, in the desktop's logical coordinates.
    void mouseMove(QPointF global);
    /// global: where the pointer is, as for mouseMove.
    void mouseUp(Qt::MouseButton button, QPointF global);
    /// The pointer grab ended without a release reaching the button.
    void grabLost();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
};
