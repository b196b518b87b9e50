#pragma once

#include <QList>
#include <QObject>

class QLabel;
class TBoxPictures;
class TLabelPictures;
class QLineEdit;
class QWidget;

/// Makes the views that change on every Eye Wizard move cover all they
/// stand on, so that a move repaints them alone: not their groups, the
/// window or the captions beneath. The edit boxes draw their group's colour
/// around their rounded frames (see TFrameCacheStyle), the value labels fill
/// their background with what their group shows there and reach no further
/// left than their widest value. The boxes are then drawn from pictures of
/// their earlier looks while they are not being edited (see TBoxPictures),
/// and the labels from pictures of their characters (see TLabelPictures).
/// What lies beneath is taken anew when the window's palette or style
/// changes.
class TOpaqueViews : public QObject {
    Q_OBJECT
public:
    /// boxes are edit boxes drawn by a TFrameCacheStyle; hexLabel shows a hex
    /// text ("#" and six digits), decLabel a dec text (three numbers and two
    /// commas).
    TOpaqueViews(QWidget* window, QList<QLineEdit*> boxes, QLabel* hexLabel, QLabel* decLabel);

    /// Makes them opaque; once is enough. Done on demand: at start-up it
    /// would hold up the window's first showing by about a millisecond (the
    /// groups drawn, a font loaded).
    void apply();
    bool applied() const { return m_applied; }
    /// The boxes' pictures, once applied.
    TBoxPictures* pictures() const { return m_pictures; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void matchBackgrounds();

    QWidget* m_window;
    QList<QLineEdit*> m_boxes;
    QLabel* m_hex;
    QLabel* m_dec;
    TBoxPictures* m_pictures = nullptr;
    TLabelPictures* m_labelPictures = nullptr;
    bool m_applied = false;
    bool m_matching = false;
};
