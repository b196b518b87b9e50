#include "eyedropper/EyeWizard.h"

#include "eyedropper/Logging.h"

#include "color/ConvertBase.h"
#include "platform/Clipboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStringList>
#include <QStyleHints>
#include <QWheelEvent>

TEyeWizard::TEyeWizard(TColorModel& color, ScreenContextFactory screens, Views views,
                       QObject* parent)
    : QObject(parent), m_color(color), m_openScreen(std::move(screens)), m_views(std::move(views)) {
    connect(&m_eye, &TEyeColor::changed, this, [this] { m_views.eyeColor->setText(m_eye.text()); });
}

TEyeWizard::~TEyeWizard() {
    if (m_picking)
        stopPicking();
}

void TEyeWizard::stopPicking() {
    m_picking = false;
    qApp->removeEventFilter(this);
    QGuiApplication::styleHints()->setCursorFlashTime(m_flashTimeBefore);
}

void TEyeWizard::settle() {
    if (m_screen)
        m_screen->settle();
}

void TEyeWizard::failed(PickFailure why) {
    if (why != PickFailure::Unreadable && m_picking)
        cancel(); // the colour and the eye colour as before the press
    emit pickFailed(why);
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
        m_eyeBefore = m_eye.state();
        qApp->installEventFilter(this);
        // The caret of the box with the focus stands still while the pick
        // goes on: the box then looks the same whenever it shows the same
        // value, and is drawn from its pictures like the others.
        m_flashTimeBefore = QGuiApplication::styleHints()->cursorFlashTime();
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
    m_picking = true;
    m_loupe.setCompared(m_eyeBefore.color);
    m_views.button->setIcon(m_views.picking);
    m_eye.clear();
    // A screen that cannot be read live (Wayland) prepares its own picture
    // or picker and may move and release by itself.
    PickHandlers handlers;
    handlers.move = [this] { move(); };
    handlers.release = [this] {
        if (m_picking)
            endPick();
    };
    handlers.window = m_views.button->window();
    handlers.failed = [this](PickFailure why) { failed(why); };
    handlers.sample = m_loupe.sample();
    m_screen->beginPick(handlers);
}

void TEyeWizard::move(std::optional<QPointF> seen) {
    if (seen && m_screen) // spares asking the display where the pointer is
        m_screen->pointerSeen(*seen);
    if (!m_picking || !m_screen->followsPointer())
        return;
    m_color.applyPacked(m_loupe.read(*m_screen, m_magnifierOn));
}

void TEyeWizard::hideMagnifier() {
    m_loupe.hide(m_screen.get());
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
    stopPicking();
    hideMagnifier();
    m_screen->cancelPick();
    m_views.button->setIcon(m_views.normal);
    m_color.restore(m_boxesBefore);
    m_eye.restore(m_eyeBefore);
}

bool TEyeWizard::eventFilter(QObject* watched, QEvent* event) {
    if (!m_picking)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::optional<QPoint> delta = nudgeOf(*key);
        if (!delta && key->key() != Qt::Key_Escape)
            return false;
        // The keys do nothing else while a pick runs.
        if (event->type() == QEvent::KeyPress) {
            if (delta)
                nudge(*delta);
            else
                cancel();
        }
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        if (m_loupe.wheel(*static_cast<QWheelEvent*>(event)))
            move();
        return true;
    }
    return false;
}

void TEyeWizard::release(std::optional<QPointF> seen) {
    if (!m_picking)
        return;
    if (seen)
        m_screen->releaseSeen(*seen);
    // The moves that came before its picture were not read: the release is
    // read where it came up (where the pointer last stopped, nudges kept).
    if (!m_screen->readsLive() && m_screen->followsPointer())
        move();
    if (!m_screen->endPick()) {
        // The desktop's own picker still runs, or its picture is still to
        // come: the screen ends the pick (and its pointer says so).
        return;
    }
    endPick();
}

void TEyeWizard::grabLost() {
    if (m_picking)
        release();
}

void TEyeWizard::endPick() {
    stopPicking();
    qCInfo(lcPick).noquote() << "picked" << m_color.hexText();
    hideMagnifier();
    m_views.button->setIcon(m_views.normal);
    const PackedColor colour = m_color.packedValue();
    m_eye.set(colour, m_color.hexText());
    emit picked(colour);
}

std::optional<PackedColor> TEyeWizard::comparedColor() const {
    return m_picking ? m_eyeBefore.color : m_eye.color();
}

void TEyeWizard::setNotSetText(const QString& text) {
    m_eye.setNotSetText(text);
    m_eye.clear();
}

void TEyeWizard::copyHex() {
    clipboard::putText(m_eye.text());
}

void TEyeWizard::copyDec() {
    const QString digits = m_eye.text().mid(1, 6);
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        const QString dec = ConvertBase(digits.mid(2 * i, 2), 16, 10);
        parts.append(dec.isEmpty() ? QStringLiteral("0") : dec);
    }
    clipboard::putText(parts.join(QLatin1Char(',')));
}

void TEyeWizard::recall() {
    if (!m_eye.isSet())
        return;
    const QString eye = m_eye.text(); // its digits as written, letter case kept
    m_color.applyHex({eye.mid(1, 2), eye.mid(3, 2), eye.mid(5, 2)});
}

void TEyeWizard::clear() {
    m_eye.clear();
}
