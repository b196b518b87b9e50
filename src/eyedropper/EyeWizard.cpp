#include "eyedropper/EyeWizard.h"

#include "color/ConvertBase.h"
#include "eyedropper/Magnifier.h"
#include "platform/Clipboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStringList>
#include <QWheelEvent>

TEyeWizard::TEyeWizard(TColorModel& color, ScreenContextFactory screens, Views views,
                       QObject* parent)
    : QObject(parent), m_color(color), m_openScreen(std::move(screens)), m_views(std::move(views)),
      m_zoom(magnifier::DefaultZoom) {}

TEyeWizard::~TEyeWizard() {
    if (m_picking)
        qApp->removeEventFilter(this);
    m_magnifier.reset(); // before the screen it reads
}

void TEyeWizard::press() {
    if (!m_screen) {
        // Opened at the first pick: on X11 that asks the display whether it
        // is XWayland, a round trip the window's first showing would wait for.
        if (beforeFirstPick)
            beforeFirstPick();
        m_screen = m_openScreen ? m_openScreen() : nullptr;
        if (!m_screen)
            m_screen = std::make_unique<NullScreenContext>();
    }
    if (!m_picking) {
        m_boxesBefore = m_color.boxes();
        m_eyeBefore = m_views.eyeColor->text();
        qApp->installEventFilter(this);
    }
    m_picking = true;
    m_views.button->setIcon(m_views.picking);
    m_views.eyeColor->setText(m_notSet);
    // A screen that cannot be read live (Wayland) prepares its own picture
    // or picker and may move and release by itself.
    m_screen->beginPick({[this] { move(); },
                         [this] {
                             if (m_picking)
                                 endPick();
                         },
                         m_views.button->window()});
}

void TEyeWizard::move(std::optional<QPointF> seen) {
    if (seen && m_screen) // spares asking the display where the pointer is
        m_screen->pointerSeen(*seen);
    if (!m_picking || !m_screen->followsPointer())
        return;
    using Place = ScreenContext::MagnifierPlace;
    const Place place = m_magnifierOn ? m_screen->magnifierPlace() : Place::None;
    if (place == Place::None)
        m_color.applyPacked(m_screen->pixel(m_screen->cursorPos()));
    else
        magnify(place);
}

void TEyeWizard::magnify(ScreenContext::MagnifierPlace place) {
    const QPoint picked = m_screen->cursorPos();
    const int across = magnifier::cellsAcross(m_zoom, m_screen->ratioAt(picked));
    const QRect area(picked - QPoint(across / 2, across / 2), QSize(across, across));
    // One reading for the pixels shown and the picked one, never of the
    // magnifier itself.
    QImage cells = m_screen->area(area);
    if (m_magnifier && place == ScreenContext::MagnifierPlace::Window)
        cells = m_magnifier->unobstructed(cells, area);
    const QRgb middle = cells.pixel(across / 2, across / 2);
    m_color.applyPacked(packColor(qRed(middle), qGreen(middle), qBlue(middle)));
    const ScreenContext::Magnified view{cells, m_zoom, m_color.hexText()};
    if (place == ScreenContext::MagnifierPlace::Picture) {
        m_screen->showMagnifier(view);
        return;
    }
    if (!m_magnifier)
        m_magnifier = std::make_unique<TMagnifier>(
            [this](const QRect& area) { return m_screen->area(area); });
    m_magnifier->showAt(picked, view);
}

void TEyeWizard::hideMagnifier() {
    if (m_magnifier)
        m_magnifier->hide();
    if (m_screen)
        m_screen->showMagnifier({});
}

void TEyeWizard::nudge(QPoint delta) {
    if (!m_picking || !m_screen->followsPointer())
        return;
    m_screen->nudge(delta);
    move();
}

void TEyeWizard::cancel() {
    if (!m_picking)
        return;
    m_picking = false;
    qApp->removeEventFilter(this);
    hideMagnifier();
    m_screen->cancelPick();
    m_views.button->setIcon(m_views.normal);
    m_color.restore(m_boxesBefore);
    m_views.eyeColor->setText(m_eyeBefore);
}

bool TEyeWizard::eventFilter(QObject* watched, QEvent* event) {
    if (!m_picking)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int step = key->modifiers() & Qt::ShiftModifier ? 10 : 1;
        QPoint delta;
        switch (key->key()) {
        case Qt::Key_Left:
            delta = {-step, 0};
            break;
        case Qt::Key_Right:
            delta = {step, 0};
            break;
        case Qt::Key_Up:
            delta = {0, -step};
            break;
        case Qt::Key_Down:
            delta = {0, step};
            break;
        case Qt::Key_Escape:
            break;
        default:
            return false;
        }
        // The keys do nothing else while a pick runs.
        if (event->type() == QEvent::KeyRelease)
            return true;
        if (delta.isNull())
            cancel();
        else
            nudge(delta);
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        m_wheel += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int steps = m_wheel / QWheelEvent::DefaultDeltasPerStep;
        m_wheel %= QWheelEvent::DefaultDeltasPerStep;
        if (steps != 0) {
            m_zoom = magnifier::stepZoom(m_zoom, steps);
            move();
        }
        return true;
    }
    return false;
}

void TEyeWizard::release() {
    if (!m_picking || !m_screen->endPick())
        return; // the desktop's own picker still runs
    endPick();
}

void TEyeWizard::grabLost() {
    if (m_picking)
        release();
}

void TEyeWizard::endPick() {
    m_picking = false;
    qApp->removeEventFilter(this);
    hideMagnifier();
    m_views.button->setIcon(m_views.normal);
    m_views.eyeColor->setText(m_color.hexText());
}

void TEyeWizard::copyHex() {
    clipboard::putText(m_views.eyeColor->text());
}

void TEyeWizard::copyDec() {
    const QString digits = m_views.eyeColor->text().mid(1, 6);
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        const QString dec = ConvertBase(digits.mid(2 * i, 2), 16, 10);
        parts.append(dec.isEmpty() ? QStringLiteral("0") : dec);
    }
    clipboard::putText(parts.join(QLatin1Char(',')));
}

void TEyeWizard::recall() {
    const QString eye = m_views.eyeColor->text();
    if (eye == m_notSet)
        return;
    m_color.applyHex({eye.mid(1, 2), eye.mid(3, 2), eye.mid(5, 2)});
}

void TEyeWizard::clear() {
    m_views.eyeColor->setText(m_notSet);
}
