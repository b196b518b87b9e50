#include "controls/ModalWindow.h"

#include <QKeyEvent>
#include <QWindow>

TModalWindow::TModalWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setAttribute(Qt::WA_QuitOnClose, false);
}

QPoint TModalWindow::centredPosition(const QRect& owner, const QSize& own) {
    // Integer division truncates toward zero, as the placement rule wants.
    const int left = owner.left() + (owner.width() - own.width()) / 2;
    const int top = owner.top() + (owner.height() - own.height()) / 2;
    return QPoint(qMax(0, left), qMax(0, top));
}

void TModalWindow::showModalOver(const QWidget* owner) {
    if (!m_placed) {
        setFixedSize(size());
        // Before its first showing the window's frame is unknown; take the
        // owner's frame as the best estimate of its outer size.
        QSize outer = frameGeometry().size();
        if (outer == size())
            outer += owner->frameGeometry().size() - owner->size();
        move(centredPosition(owner->frameGeometry(), outer));
        m_placed = true;
    }
    // Transient for the owner's native window as it is now (Always On Top
    // makes it anew), so the desktop keeps this window above its owner, also
    // above one that stays on top.
    create();
    if (QWindow* own = windowHandle(); own && owner->window()->windowHandle())
        own->setTransientParent(owner->window()->windowHandle());
    exec();
}

void TModalWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // the Close button is not a cancel button
        return;
    }
    QDialog::keyPressEvent(event);
}
