#pragma once

#include "eyedropper/ScreenContext.h"

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <optional>

class QScreen;

/// One screen of the frozen picture: a full-screen window of the program's
/// own that shows its screen's part of the picture and reports the pointer.
class TFrozenScreen : public QWidget {
    Q_OBJECT
public:
    /// A window over screen, drawn (and so seen, where the windowing system
    /// shows a window once it is drawn) only once it has its picture.
    explicit TFrozenScreen(QScreen* screen);
    /// source is the part of picture, in picture pixels, that the screen
    /// shows; devices, where given, is that part as the screen's device
    /// pixels show it, and shown instead.
    void setPicture(const QImage& picture, const QRectF& source, const QImage& devices = QImage());

    /// Where this window's top-left corner lies on the desktop, in logical
    /// pixels.
    QPoint origin() const { return m_origin; }
    /// The part of the picture the window shows, in picture pixels.
    const QRectF& source() const { return m_source; }
    /// The window's point that shows a point of the picture.
    QPointF fromPicture(QPointF picture) const;
    /// Shows the magnifier beside the window's point at; an empty view
    /// hides it.
    void setMagnifier(const ScreenContext::Magnified& view, QPointF at);
    /// Where the magnifier is drawn, or an empty rectangle.
    QRect magnifierRect() const { return m_magnifier; }

signals:
    /// The pointer moved to pos, in logical desktop coordinates.
    void moved(QPointF pos);
    /// A mouse button came up at (in logical desktop coordinates), or
    /// Escape was pressed (no button).
    void released(Qt::MouseButton button, QPointF at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// The desktop's place of a point of this window.
    QPointF onDesktop(QPointF pos) const;

    QImage m_picture;
    QRectF m_source;
    QImage m_devices;
    std::optional<QPointF> m_seen; // where the pointer was last reported
    ScreenContext::Magnified m_magnified;
    QRect m_magnifier; // where it is drawn, or empty
    QPoint m_origin;
    QSize m_screenSize;
};
