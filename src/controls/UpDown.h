#pragma once

#include <QWidget>

class QToolButton;

/// Up-down arrows without a buddy: two arrow buttons over a position in a
/// range. A user click steps the position and raises clicked(); at a limit it
/// changes nothing and raises nothing. Setting the position from code raises
/// nothing. Holding an arrow repeats. Never takes the focus.
class TUpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
public:
    enum Button { btNext, btPrev };
    Q_ENUM(Button)

    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return m_min; }
    void setMin(int v) { m_min = v; }
    int Max() const { return m_max; }
    void setMax(int v) { m_max = v; }
    int Position() const { return m_position; }
    void setPosition(int v);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void clicked(TUpDown::Button button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};
