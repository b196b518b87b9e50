#pragma once

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

/// The desktop's style, with the frames of group boxes and edit boxes drawn
/// once and then copied. They are drawn again in every repaint of a child or
/// of the text inside, which during a pick is on every pointer move, while
/// their look only changes with their size, state, palette or title. Only
/// the Fusion style is cached (its frames depend on nothing else); any other
/// style draws as it always does. An edit box that is opaque
/// (Qt::WA_OpaquePaintEvent) gets the colour beneath it around the frame's
/// rounded corners, so that it covers all of its rectangle and a change of
/// its text repaints it alone, not the group and window beneath.
class TFrameCacheStyle : public QProxyStyle {
    Q_OBJECT
public:
    /// A proxy for a new instance of the application's style.
    TFrameCacheStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    /// An opaque edit box (Qt::WA_OpaquePaintEvent) gets this colour around
    /// its frame's rounded corners: what stands beneath it.
    void setColorBeneath(const QWidget* box, const QColor& color);

    /// Whether frames are drawn once and copied: the style is Fusion, whose
    /// frames change with nothing but what a Look holds, and which animates
    /// none of them.
    bool caching() const { return m_caching; }

    /// How many frames were drawn by the style itself (for tests).
    int framesDrawn() const { return m_drawn; }

    /// Everything a cached frame's look depends on in the Fusion style.
    struct Look {
        int kind = 0; // a primitive element or a complex control
        QSize size;
        qreal ratio = 1;
        quint32 state = 0;
        int direction = 0;
        qint64 palette = 0;
        int lineWidth = 0;
        int midLineWidth = 0;
        quint32 features = 0;
        quint32 subControls = 0;
        quint32 textAlignment = 0;
        QRgb textColor = 0;
        QRgb under = 0; // an edit box drawn opaque: the colour around its rounded frame
        QFont font;     // the title's
        QString text;
        bool operator==(const Look&) const = default;
    };

private:
    /// Fusion's picture of a group box's frame.
    const QPixmap& groupFrame() const;
    template <typename Draw>
    void drawCached(Look look, const QStyleOption* option, QPainter* painter, Draw draw) const;

    bool m_caching = false;
    mutable QHash<Look, QPixmap> m_frames;
    bool m_groupFrameAsFusion = false;
    mutable QPixmap m_groupFrame;
    mutable int m_drawn = 0;
    QHash<const QWidget*, QRgb> m_beneath;
};

size_t qHash(const TFrameCacheStyle::Look& look, size_t seed = 0);
