#pragma once

#include "color/ColorValue.h"

#include <QObject>
#include <QString>

/// The views of the current colour, as the colour model reads and writes
/// them. The six component boxes are the colour's source of truth: a
/// synchronisation reads one set of them and rewrites every other view.
/// Components are numbered 0 (red), 1 (green), 2 (blue).
class ColorViews {
public:
    virtual ~ColorViews() = default;

    virtual QString hexBox(int component) const = 0;
    virtual void setHexBox(int component, const QString& text) = 0;
    virtual QString decBox(int component) const = 0;
    virtual void setDecBox(int component, const QString& text) = 0;
    /// The hex text display ("#FF8000").
    virtual void showHexText(const QString& text) = 0;
    virtual void showSwatch(PackedColor color) = 0;
    /// Selects the named colour of that value, or none; raises no change.
    virtual void selectNamedColor(PackedColor color) = 0;
    /// The dec text display ("255,128,0").
    virtual void showDecText(const QString& text) = 0;
};

/// The current colour: the two synchronisations that bring every view into
/// step from the hex or the decimal boxes, and the current packed colour
/// they rebuild ("$00" + blue, green and red pairs, in the boxes' case).
class TColorModel : public QObject {
    Q_OBJECT
public:
    explicit TColorModel(ColorViews& views, QObject* parent = nullptr);

    /// Rewrites every view from the hex boxes.
    void ChangeOne();
    /// Rewrites every view from the decimal boxes.
    void ChangeTwo();

    /// Writes the three pairs into the hex boxes (nothing else follows).
    void writeHexBoxes(const ComponentTexts& hex);
    /// Makes hex the current colour: the hex boxes, then ChangeOne.
    void applyHex(const ComponentTexts& hex);
    /// Makes a packed colour current, as two upper-case digits per component.
    void applyPacked(PackedColor color);

    const QString& currentPackedColor() const { return m_packedColor; }
    PackedColor packedValue() const;
    /// "#" + the red, green and blue pairs of the current packed colour, in
    /// the case they have there.
    QString hexText() const;

    /// The six boxes as they stand, to be put back later exactly as they were.
    struct Boxes {
        ComponentTexts hex, dec;
    };
    Boxes boxes() const;
    /// Puts the boxes back and brings the other views into step with them.
    void restore(const Boxes& boxes);

signals:
    /// A synchronisation has rewritten the views.
    void changed();

private:
    void commonTail(const ComponentTexts& hex);

    ColorViews& m_views;
    QString m_packedColor = QStringLiteral("$00000000");
};
