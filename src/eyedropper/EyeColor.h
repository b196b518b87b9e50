#pragma once

#include "color/ColorValue.h"

#include <QObject>
#include <QString>
#include <optional>

/// The eye colour: the colour a pick of the Eye Wizard remembered last, or
/// none. Its text is what the eye colour display shows: the hex text as the
/// release wrote it (in the letter case the current colour had then), or
/// the not-set text while none is remembered.
class TEyeColor : public QObject {
    Q_OBJECT
public:
    explicit TEyeColor(QObject* parent = nullptr) : QObject(parent) {}

    std::optional<PackedColor> color() const { return m_color; }
    bool isSet() const { return m_color.has_value(); }
    /// The hex text, or the not-set text.
    QString text() const { return m_color ? m_hex : m_notSet; }

    /// Remembers color, shown as hex (the hex text of it as written).
    void set(PackedColor color, const QString& hex);
    /// Remembers color, shown as upper-case hex text.
    void set(PackedColor color);
    /// Forgets the colour.
    void clear();

    const QString& notSetText() const { return m_notSet; }
    /// What the display shows while none is remembered.
    void setNotSetText(const QString& text);

    /// The colour as it stands, to be put back exactly so.
    struct State {
        std::optional<PackedColor> color;
        QString hex;
    };
    State state() const { return {m_color, m_hex}; }
    void restore(const State& state);

signals:
    /// The colour or its text changed.
    void changed();

private:
    std::optional<PackedColor> m_color;
    QString m_hex;
    QString m_notSet = QStringLiteral("Not Set");
};
