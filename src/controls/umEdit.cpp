#include "controls/umEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

TumEdit::TumEdit(QWidget* parent)
    : QLineEdit(parent), m_colorDisabled(palette().color(QPalette::Active, QPalette::Base)) {
    setColorDisabled(m_colorDisabled);
}

void TumEdit::setText(const QString& text) {
    if (text != QLineEdit::text())
        QLineEdit::setText(text);
}

void TumEdit::setAlignment(Qt::Alignment alignment) {
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    applyAlignment();
}

void TumEdit::setColorDisabled(const QColor& color) {
    m_colorDisabled = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Disabled, QPalette::Base, color);
    setPalette(pal);
}

void TumEdit::applyAlignment() {
    QLineEdit::setAlignment((m_editing ? Qt::AlignLeft : m_alignment) | Qt::AlignVCenter);
}

void TumEdit::focusInEvent(QFocusEvent* event) {
    const bool resumed = m_suspended;
    m_suspended = false;
    m_editing = true;
    applyAlignment();
    QLineEdit::focusInEvent(event);
    // Focus that arrives from another control other than by a click selects
    // the whole text, so typing replaces it. Focus coming back from a popup
    // menu, a dialog or another window returns to the edit as it was left.
    if (resumed)
        return;
    if (event->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Leaving for another window (a dialog, another program) or a popup menu
    // is not leaving the box: the edit goes on when the window comes back.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        m_suspended = true;
        return; // still being edited: it stays left-aligned
    }
    emit OnExit();
    m_editing = false;
    applyAlignment();
}

TumNumberEdit::TumNumberEdit(QWidget* parent) : TumEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &TumNumberEdit::validate);
    setText(QStringLiteral("0"));
}

QString TumNumberEdit::allowedCharacters() const {
    switch (m_kind) {
    case neHex:
        return QStringLiteral("0123456789abcdefABCDEF");
    case neBin:
        return QStringLiteral("01");
    case neDec:
        break;
    }
    return QStringLiteral("0123456789");
}

void TumNumberEdit::setKind(TumNumberEditKind kind) {
    m_kind = kind;
}

void TumNumberEdit::setMaxValue(int max) {
    m_maxValue = max;
    if (max != 0 && m_value > max)
        setValue(max);
}

QString TumNumberEdit::digitsOf(int v) const {
    switch (m_kind) {
    case neHex:
        return QString::number(v, 16).toUpper();
    case neBin:
        return QString::number(v, 2);
    case neDec:
        break;
    }
    return QString::number(v);
}

void TumNumberEdit::setValue(int v) {
    if (v < 0)
        v = 0;
    if (m_maxValue != 0 && v > m_maxValue)
        v = m_maxValue;
    m_value = v;
    setText(digitsOf(v));
}

void TumNumberEdit::keyPressEvent(QKeyEvent* event) {
    m_previousText = text();
    m_previousValue = m_value;
    m_previousCaret = cursorPosition();

    const QString typed = event->text();
    const bool shortcut =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool editingKey = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    if (typed.isEmpty() || shortcut || editingKey) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (typed.size() == 1 && allowedCharacters().contains(typed)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept(); // any other character, Enter included, is discarded
}

bool TumNumberEdit::candidate(const QString& t, qint64* value) const {
    if (m_kind == neDec) {
        // A signed 32-bit decimal number, digits only after an optional '-'.
        qsizetype i = t.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (i >= t.size())
            return false;
        qint64 v = 0;
        for (; i < t.size(); ++i) {
            if (!t[i].isDigit() || t[i].unicode() > 0x7F)
                return false;
            v = v * 10 + (t[i].unicode() - u'0');
            if (v > qint64(INT_MAX) + 1)
                return false;
        }
        v = t.startsWith(QLatin1Char('-')) ? -v : v;
        if (v > INT_MAX || v < INT_MIN)
            return false;
        *value = v;
        return true;
    }
    // Hexadecimal and binary: text pasted past the key filter must still hold
    // only the kind's digits.
    const QString allowed = allowedCharacters();
    const int base = m_kind == neHex ? 16 : 2;
    quint32 v = 0;
    for (QChar c : t) {
        if (!allowed.contains(c))
            return false;
        v = v * quint32(base) + quint32(QString(c).toUInt(nullptr, 16));
    }
    *value = qint32(v);
    return true;
}

void TumNumberEdit::validate() {
    const QString t = text();
    if (t.isEmpty()) {
        m_value = 0;
        emit OnChange();
        return;
    }
    qint64 v = 0;
    bool accept = candidate(t, &v);
    if (accept && m_maxValue != 0) {
        const QString maxText = digitsOf(m_maxValue);
        const QString cmp = m_kind == neHex ? t.toUpper() : t;
        if (v > m_maxValue || v < 0 || cmp.size() > maxText.size() ||
            (cmp.size() == maxText.size() && cmp > maxText))
            accept = false;
    }
    if (accept) {
        m_value = int(v);
        m_previousText = t;
        m_previousValue = m_value;
    } else {
        setText(m_previousText); // validated in turn
        m_value = m_previousValue;
        setCursorPosition(m_previousCaret);
        deselect();
    }
    emit OnChange();
}
