#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QVarLengthArray>

class QLabel;
class QPainter;
class QStyle;

/// Value labels drawn from pictures of their characters. During a pick the
/// hex and the dec labels change on every pointer move, and each time Qt
/// lays their text out and blends every glyph anew; copying the columns a
/// character inks costs a fraction of that. Qt places a glyph at a fraction
/// of a device pixel and may draw it differently for each fraction, so a
/// picture is of a character at one fraction. A label is drawn from
/// pictures only where that gives exactly what it draws itself:
/// - a plain text of printable ASCII, right-aligned at the top, on one line;
/// - a background that is the same in every column, so that a column of a
///   character shows the same wherever the character stands;
/// - characters whose ink shares no column with a neighbour's, and no pair
///   of them kerned;
/// - and every text that needed a new picture matched, once the picture
///   was taken, the label's own drawing of it; a look in which one did not
///   is left to the label.
/// Pictures are taken after the repaint that needed them (which draws the
/// label as always), never while a label is being painted.
class TLabelPictures : public QObject {
    Q_OBJECT
public:
    explicit TLabelPictures(QObject* parent = nullptr);

    /// Draws label from pictures from now on, where it can.
    void watch(QLabel* label);
    /// Forgets every picture (the labels' background changed).
    void clear();
    /// How many paints were drawn from pictures, and how many looks were
    /// found not to match the label's own drawing (for tests).
    int drawn() const { return m_drawn; }
    int refused() const { return m_refused; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Everything but the text that the pictures of a label depend on.
    struct Look {
        QSize size;
        int ratio = 1;
        QFont font;
        QPalette palette;
        const QStyle* style = nullptr;
        int alignment = 0;
        bool active = false;
    };
    /// One character at one fraction of a pixel: the columns it inks.
    struct Glyph {
        int first = 0;  // its ink's first column, from the column it starts in
        int top = 0;    // its ink's first row
        QImage columns; // the rectangle its ink spans; empty: no ink
    };
    struct Pictures {
        Look look;
        QImage background; // the label without a text, in device pixels
        QImage line;       // what a paint draws: the background and the text
        int right = 0;     // where the text ends, in pixels
        qreal baseline = 0;
        bool usable = true;               // false: the label draws itself in this look
        QHash<char16_t, qint64> advances; // 64ths of a pixel, as Qt lays them out
        QHash<quint32, bool> pairs;       // two characters side by side: not kerned
        QHash<quint32, Glyph> glyphs;     // by character and 64ths of a device pixel
    };
    struct Placed {
        const Glyph* glyph;
        int at; // the device column the character starts in
    };
    using Line = QVarLengthArray<Placed, 16>;
    struct Watched {
        QLabel* label;
        QList<Pictures> looks; // the one drawn last first
    };

    static bool eligible(const QLabel* label);
    /// The pictures of label's look, made if there are none and make holds.
    static Pictures* picturesOf(Watched& watched, bool make);
    /// Where each character of text goes, into placed; the characters (and
    /// 64ths) that lack a picture or an advance into lacking, when given.
    /// False where text cannot be drawn from pictures.
    static bool place(const Pictures& pictures, const QString& text, Line& placed,
                      QList<quint32>* lacking = nullptr);
    /// Takes what the label's text still lacks, then draws the text both
    /// ways.
    void prepare(Watched& watched);
    /// Copies the columns of the placed characters into line, a picture of
    /// the label's background in device pixels.
    static void compose(QImage& line, const Line& placed);

    QList<Watched> m_labels;
    bool m_taking = false;
    bool m_preparing = false; // a prepare() is on its way
    int m_drawn = 0;
    int m_refused = 0;
};
