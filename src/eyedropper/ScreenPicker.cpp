#include "eyedropper/ScreenPicker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>

TScreenPicker::TScreenPicker(std::unique_ptr<ScreenContext> screen, QObject* parent)
    : QObject(parent), m_screen(std::move(screen)) {}

TScreenPicker::~TScreenPicker() {
    finish();
}

void TScreenPicker::start() {
    m_running = true;
    if (m_screen->readsLive()) {
        // The pointer and the keyboard are the picker's until it ends.
        ScreenContext::InputHandlers input;
        input.moved = [this] { move(); };
        input.pressed = [this](Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                pick();
            else if (button == Qt::RightButton)
                cancel();
        };
        input.wheel = [this](const QWheelEvent& event) {
            if (m_loupe.wheel(event))
                move();
        };
        input.key = [this](const QKeyEvent& key) { this->key(key); };
        if (!m_screen->grabInput(input)) {
            finish();
            emit unavailable(PickFailure::NoScreen);
            return;
        }
        qApp->installEventFilter(this);
        emit ready();
        move();
        return;
    }
    // The screen shows its own picture (or the desktop's picker runs): its
    // windows take the pointer, the keys come here.
    qApp->installEventFilter(this);
    PickHandlers handlers;
    handlers.move = [this] { move(); };
    handlers.release = [this] { pick(); };
    handlers.cancel = [this] { cancel(); };
    handlers.failed = [this](PickFailure why) {
        finish();
        emit unavailable(why);
    };
    handlers.ready = [this] { emit ready(); };
    handlers.sample = m_loupe.sample();
    m_screen->beginPick(handlers);
}

void TScreenPicker::move() {
    if (m_running && m_screen->followsPointer())
        m_last = m_loupe.read(*m_screen, true);
}

void TScreenPicker::pick() {
    if (!m_running)
        return;
    // The pixel a click picks is the one the magnifier marks; a screen
    // whose picture is gone (the frozen one, at its release) keeps the last.
    if (m_screen->followsPointer())
        m_last = m_loupe.readPoint(*m_screen);
    const std::optional<PackedColor> color = m_last;
    finish();
    if (color)
        emit picked(*color);
    else
        emit cancelled(); // the desktop's picker answered nothing
}

void TScreenPicker::cancel() {
    if (!m_running)
        return;
    m_screen->cancelPick();
    finish();
    emit cancelled();
}

void TScreenPicker::finish() {
    if (!m_running)
        return;
    m_running = false;
    qApp->removeEventFilter(this);
    m_loupe.hide(m_screen.get());
    m_screen->releaseInput();
}

bool TScreenPicker::key(const QKeyEvent& key) {
    const std::optional<QPoint> delta = nudgeOf(key);
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!delta && !enter && key.key() != Qt::Key_Escape)
        return false;
    if (key.type() != QEvent::KeyPress)
        return true; // nor does its release go anywhere
    if (delta && m_screen->followsPointer()) {
        m_screen->nudge(*delta);
        move();
    } else if (enter) {
        pick();
    } else if (!delta) {
        cancel();
    }
    return true;
}

bool TScreenPicker::eventFilter(QObject*, QEvent* event) {
    if (!m_running)
        return false;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        return key(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::Wheel) {
        if (m_loupe.wheel(*static_cast<QWheelEvent*>(event)))
            move();
        return true;
    }
    return false;
}
