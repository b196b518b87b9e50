#include "controls/LnkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TLnkLabel::TLnkLabel(QWidget* parent) : QLabel(parent) {}

void TLnkLabel::applyLayoutDefaults() {
    setFontColor(QColor(0, 0, 255));
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    m_link = QStringLiteral("mailto:support@mirabou.org");
    m_enter = QColor(255, 0, 0);
    m_leave = QColor(0, 0, 255);
    m_visited = QColor(0, 0, 128);
}

QColor TLnkLabel::fontColor() const {
    return palette().color(QPalette::WindowText);
}

void TLnkLabel::setFontColor(const QColor& c) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, c);
    setPalette(pal);
}

void TLnkLabel::OpenLink() {
    QDesktopServices::openUrl(QUrl(m_link));
    m_leave = m_visited;
}

void TLnkLabel::enterEvent(QEnterEvent* event) {
    setFontColor(m_enter);
    QLabel::enterEvent(event);
}

void TLnkLabel::leaveEvent(QEvent* event) {
    setFontColor(m_leave);
    QLabel::leaveEvent(event);
}

void TLnkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        OpenLink();
    QLabel::mouseReleaseEvent(event);
}
