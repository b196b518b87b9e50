#include "controls/UpDown.h"

#include <QToolButton>

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(50);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void TUpDown::setPosition(int v) {
    m_position = qBound(m_min, v, m_max);
}

void TUpDown::step(int delta) {
    const int next = m_position + delta;
    if (next < m_min || next > m_max)
        return;
    m_position = next;
    emit clicked(delta > 0 ? btNext : btPrev);
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
