#pragma once

#include <QColor>
#include <QLabel>

/// A label that works as a hyperlink: its font colour follows the pointer in
/// and out, a click opens Link with the user's default program, and after
/// that the leave colour is the visited colour.
class TLnkLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Link READ Link WRITE setLink)
    Q_PROPERTY(QColor EnterFontColor READ EnterFontColor WRITE setEnterFontColor)
    Q_PROPERTY(QColor LeaveFontColor READ LeaveFontColor WRITE setLeaveFontColor)
    Q_PROPERTY(QColor VisitedColor READ VisitedColor WRITE setVisitedColor)
public:
    explicit TLnkLabel(QWidget* parent = nullptr);

    /// The values of a label newly placed in a layout: blue underlined text,
    /// pointing hand, red on enter, blue on leave, navy once visited.
    void applyLayoutDefaults();

    QString Link() const { return m_link; }
    void setLink(const QString& link) { m_link = link; }
    QColor EnterFontColor() const { return m_enter; }
    void setEnterFontColor(const QColor& c) { m_enter = c; }
    QColor LeaveFontColor() const { return m_leave; }
    void setLeaveFontColor(const QColor& c) { m_leave = c; }
    QColor VisitedColor() const { return m_visited; }
    void setVisitedColor(const QColor& c) { m_visited = c; }

    QColor fontColor() const;
    void setFontColor(const QColor& c);

    /// Opens Link with the default program, without waiting and reporting
    /// nothing; the label counts as visited from now on.
    void OpenLink();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_link;
    QColor m_enter = Qt::black;
    QColor m_leave = Qt::black;
    QColor m_visited = Qt::black;
};
