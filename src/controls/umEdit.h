#pragma once

#include <QColor>
#include <QLineEdit>

/// A single-line edit box that shows its text with its own alignment while it
/// is not being edited (left-aligned while it has the focus) and has its own
/// background colour while disabled.
class TumEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(QColor ColorDisabled READ ColorDisabled WRITE setColorDisabled)
public:
    explicit TumEdit(QWidget* parent = nullptr);

    Qt::Alignment Alignment() const { return m_alignment; }
    /// The alignment while not being edited. It hides QLineEdit's setter of
    /// the same name on purpose: the generated form code calls it by the
    /// property's name.
    void setAlignment(Qt::Alignment alignment);
    QColor ColorDisabled() const { return m_colorDisabled; }
    void setColorDisabled(const QColor& color);
    bool isEditing() const { return m_editing; }
    /// Writing the text the box already holds changes nothing: caret,
    /// selection and undo history stay, and nothing is laid out or drawn
    /// again. It hides QLineEdit's setter on purpose, as setAlignment does.
    void setText(const QString& text);

signals:
    /// The focus left the box for another control of the window.
    void OnExit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyAlignment();

    Qt::Alignment m_alignment = Qt::AlignLeft;
    QColor m_colorDisabled;
    bool m_editing = false;
    // The focus went to a popup menu or another window in the middle of an
    // edit; when it comes back, the edit goes on where it was.
    bool m_suspended = false;
};

enum TumNumberEditKind : quint8 { neDec = 0, neHex = 1, neBin = 2 };

/// An edit box for a whole number in decimal, hexadecimal or binary digits.
/// Only the kind's digits can be typed; every change of the text is validated
/// (a refused change restores text, value and caret) and raises OnChange.
class TumNumberEdit : public TumEdit {
    Q_OBJECT
    Q_PROPERTY(int Kind READ kindValue WRITE setKindValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Value READ Value WRITE setValue)
public:
    explicit TumNumberEdit(QWidget* parent = nullptr);

    TumNumberEditKind Kind() const { return m_kind; }
    void setKind(TumNumberEditKind kind);
    int MaxValue() const { return m_maxValue; }
    void setMaxValue(int max);
    int Value() const { return m_value; }
    void setValue(int value);

    /// The digits of v in this box's kind, as setValue writes them.
    QString digitsOf(int v) const;

signals:
    /// Raised after every change of the text, accepted or refused.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int kindValue() const { return m_kind; }
    void setKindValue(int k) { setKind(TumNumberEditKind(k)); }
    void validate();
    bool candidate(const QString& text, qint64* value) const;
    QString allowedCharacters() const;

    TumNumberEditKind m_kind = neDec;
    int m_maxValue = 0;
    int m_value = 0;
    QString m_previousText;
    int m_previousValue = 0;
    int m_previousCaret = 0;
};
