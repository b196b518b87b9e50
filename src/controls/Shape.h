#pragma once

#include <QColor>
#include <QWidget>

/// A filled rectangle with a one-pixel frame; reports mouse presses.
class TShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor)
    Q_PROPERTY(QColor penColor READ penColor WRITE setPenColor)
public:
    explicit TShape(QWidget* parent = nullptr);

    QColor brushColor() const { return m_brush; }
    void setBrushColor(const QColor& c);
    QColor penColor() const { return m_pen; }
    void setPenColor(const QColor& c);

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor m_brush = Qt::white;
    QColor m_pen = Qt::black;
};
