#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPixmap>

class QLineEdit;
class QStyle;

/// Edit boxes that are not being edited are drawn from pictures of how they
/// looked with the same text before. During a pick the value boxes change on
/// every pointer move, yet each only ever shows one of a few hundred texts;
/// copying a picture costs a fraction of laying out and blending the glyphs
/// again. A picture is taken by the box's own painting, so it is what the box
/// would draw. Only opaque boxes (Qt::WA_OpaquePaintEvent) of a style that
/// animates nothing (a caching TFrameCacheStyle) are drawn from pictures: a
/// picture then covers all the box shows, and its look depends on nothing
/// but a Look and the text. A box with a selection draws itself, and so does
/// the box with the focus while its caret blinks (the Eye Wizard holds the
/// caret still while it picks).
class TBoxPictures : public QObject {
    Q_OBJECT
public:
    explicit TBoxPictures(QObject* parent = nullptr);

    /// Draws box from pictures from now on, taken when its window repaints
    /// (QEvent::UpdateRequest): a paint of the box before its picture is
    /// taken, as for an expose or a render(), draws it as always.
    void watch(QLineEdit* box);
    /// Forgets every picture (what lies around the boxes changed).
    void clear();
    /// How many pictures were taken, and how many paints copied one (for
    /// tests).
    int taken() const { return m_taken; }
    int drawn() const { return m_drawn; }

    /// Everything but the text and the palette that a box's picture depends
    /// on.
    struct Look {
        QSize size;
        qreal ratio = 1;
        QFont font;
        const QStyle* style = nullptr;
        int alignment = 0;
        int direction = 0;
        bool enabled = false;
        bool active = false;
        bool focused = false;
        bool operator==(const Look&) const = default;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Whether box is drawn from pictures as it stands.
    static bool pictured(const QLineEdit* box);
    /// box's picture as it looks now; taken if there is none and take holds.
    const QPixmap* pictureOf(QLineEdit* box, bool take);

    struct Pictures {
        Look look;
        QPalette palette;
        // Boxes that each have a palette of their own have palettes alike:
        // the keys of those found alike, compared in full once each.
        QList<qint64> paletteKeys;
        QHash<std::pair<QString, int>, QPixmap> byText; // text and caret
        bool shows(const Look& l, const QPalette& p);
    };
    QList<QLineEdit*> m_boxes;
    QList<Pictures> m_looks; // the one drawn last first
    bool m_taking = false;
    int m_taken = 0;
    int m_drawn = 0;
};
