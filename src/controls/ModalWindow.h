#pragma once

#include <QDialog>

/// A small modal tool window that a main window shows over itself: centred
/// over that window on its first showing (never at a negative coordinate),
/// where the user left it on later showings. Its Close button is the default
/// button, so Enter and Space close it; Escape does not.
class TModalWindow : public QDialog {
    Q_OBJECT
public:
    explicit TModalWindow(QWidget* parent = nullptr);

    /// Shows the window modally over owner and returns when it is closed.
    void showModalOver(const QWidget* owner);

    /// Where the first showing puts a window of size own over a window with
    /// the outer rectangle owner.
    static QPoint centredPosition(const QRect& owner, const QSize& own);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_placed = false;
};
