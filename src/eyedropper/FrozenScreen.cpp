#include "eyedropper/FrozenScreen.h"

#include "eyedropper/Magnifier.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TFrozenScreen::TFrozenScreen(QScreen* screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_origin(screen->geometry().topLeft()), m_screenSize(screen->geometry().size()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setScreen(screen);
    setGeometry(screen->geometry());
    setUpdatesEnabled(false); // nothing to show yet
}

void TFrozenScreen::setPicture(const QImage& picture, const QRectF& source, const QImage& devices) {
    m_picture = picture;
    m_source = source;
    m_devices = devices;
    setUpdatesEnabled(true);
    update();
}

void TFrozenScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_devices.isNull())
        painter.drawImage(QRectF(rect()), m_picture, m_source);
    else
        painter.drawImage(QRectF(rect()), m_devices);
    if (!m_magnifier.isEmpty())
        magnifier::paint(painter, m_magnifier, m_magnified, devicePixelRatioF());
}

QPointF TFrozenScreen::fromPicture(QPointF picture) const {
    return QPointF((picture.x() - m_source.x()) * width() / m_source.width(),
                   (picture.y() - m_source.y()) * height() / m_source.height());
}

void TFrozenScreen::setMagnifier(const ScreenContext::Magnified& view, QPointF at) {
    const QRect before = m_magnifier;
    m_magnified = view;
    // The cells' pixels per point of this window, across.
    const qreal across = m_devices.isNull() ? m_source.width() : m_devices.width();
    const qreal cells = width() > 0 ? across / width() : 1;
    m_magnifier = view.cells.isNull() ? QRect()
                                      : magnifier::place(at, magnifier::size(), rect(),
                                                         magnifier::gapFor(view, cells));
    update(QRegion(before) + m_magnifier);
}

// A full screen window is as large as the desktop makes it, which is not
// always the size the screen claims: mutter, on an output scaled by a whole
// number, gives the screen's size in device pixels and a window of it in
// points. The window shows the whole of its part of the picture either way.
QPointF TFrozenScreen::onDesktop(QPointF pos) const {
    if (width() > 0 && height() > 0) {
        pos.rx() *= double(m_screenSize.width()) / width();
        pos.ry() *= double(m_screenSize.height()) / height();
    }
    return QPointF(m_origin) + pos;
}

void TFrozenScreen::mouseMoveEvent(QMouseEvent* event) {
    m_seen = event->position();
    emit moved(onDesktop(event->position()));
}

void TFrozenScreen::mouseReleaseEvent(QMouseEvent* event) {
    // A release where no move came first picks there; one where the last
    // move left the pointer keeps the pick (a nudged one too).
    if (m_seen != event->position())
        emit moved(onDesktop(event->position()));
    emit released(event->button(), onDesktop(event->position()));
}

void TFrozenScreen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        emit released(Qt::NoButton, onDesktop(m_seen.value_or(QPointF())));
    else
        QWidget::keyPressEvent(event);
}
