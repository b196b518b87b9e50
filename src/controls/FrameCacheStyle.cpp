#include "controls/FrameCacheStyle.h"

#include "controls/Pictures.h"

#include <QApplication>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

/// Few looks occur (a size and state each); a wrong guess only costs a redraw.
constexpr int MaxFrames = 64;

} // namespace

TFrameCacheStyle::TFrameCacheStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())),
      m_caching(baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0),
      m_groupFrameAsFusion(m_caching && QLibraryInfo::version().majorVersion() == 6 &&
                           QLibraryInfo::version().minorVersion() == 4) {}

// Fusion draws a group box's frame from a picture that it reads without
// naming its format, which loads every image format plugin (about 0.4 MiB
// at start-up). The program carries that picture unpacked instead. Where the
// frame goes differs between Qt versions; this is Fusion's placement in Qt
// 6.4, the version it is checked against, and any other version draws its own.
const QPixmap& TFrameCacheStyle::groupFrame() const {
    if (m_groupFrame.isNull())
        m_groupFrame = pictures::readUnpacked(QStringLiteral(":/icons/fusion_groupbox.argb"));
    return m_groupFrame;
}

void TFrameCacheStyle::setColorBeneath(const QWidget* box, const QColor& color) {
    m_beneath.insert(box, color.rgba());
}

size_t qHash(const TFrameCacheStyle::Look& look, size_t seed) {
    return qHashMulti(seed, look.kind, look.size.width(), look.size.height(), look.state,
                      look.palette, look.text, look.under);
}

template <typename Draw>
void TFrameCacheStyle::drawCached(Look look, const QStyleOption* option, QPainter* painter,
                                  Draw draw) const {
    const QRect& rect = option->rect;
    if (!m_caching || rect.isEmpty() || painter->transform().type() > QTransform::TxTranslate) {
        if (look.under)
            painter->fillRect(rect, QColor::fromRgba(look.under));
        draw(painter, rect);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    look.size = rect.size();
    look.ratio = ratio;
    look.state = uint(option->state);
    look.direction = int(option->direction);
    look.palette = option->palette.cacheKey();
    look.font = painter->font();
    auto found = m_frames.constFind(look);
    if (found == m_frames.constEnd()) {
        QPixmap frame(rect.size() * ratio);
        frame.setDevicePixelRatio(ratio);
        frame.fill(QColor::fromRgba(look.under)); // transparent unless opaque
        QPainter p(&frame);
        p.setFont(painter->font());
        draw(&p, QRect(QPoint(0, 0), rect.size()));
        p.end();
        ++m_drawn;
        if (m_frames.size() >= MaxFrames)
            m_frames.clear();
        found = m_frames.insert(look, frame);
    }
    // Copied one rectangle of the area being painted at a time, none taller
    // than Qt's raster engine blends on one thread: a taller one is split
    // across the global thread pool, whose hand-over costs more than the
    // copy, and whose threads outlive the first painting of the window.
    const int band = std::max(1, int(64 / ratio)); // in device lines
    const QRegion clip = painter->paintEngine()->systemClip();
    const QRegion area = clip.rectCount() <= 1
                             ? QRegion(rect)
                             : painter->deviceTransform().inverted().map(clip) & rect;
    for (const QRect& r : area) {
        for (int top = r.top(); top <= r.bottom(); top += band) {
            const QRect part(r.left(), top, r.width(), std::min(band, r.bottom() + 1 - top));
            const QRectF source(QPointF(part.topLeft() - rect.topLeft()) * ratio,
                                QSizeF(part.size()) * ratio);
            painter->drawPixmap(QRectF(part), *found, source);
        }
    }
}

void TFrameCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameGroupBox && m_groupFrameAsFusion) {
        const auto* group = qobject_cast<const QGroupBox*>(widget);
        if (group && !group->title().isEmpty() && !groupFrame().isNull()) {
            // Below the title, as Fusion places it.
            const int top =
                std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) +
                3;
            qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6),
                              groupFrame());
            return;
        }
    }
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    Look look;
    look.kind = element;
    look.lineWidth = frame->lineWidth;
    look.midLineWidth = frame->midLineWidth;
    look.features = uint(frame->features);
    if (widget && widget->testAttribute(Qt::WA_OpaquePaintEvent))
        look.under =
            m_beneath.value(widget, frame->palette.color(QPalette::Window).rgba()) | 0xFF000000u;
    drawCached(look, option, painter, [&](QPainter* p, const QRect& rect) {
        QStyleOptionFrame moved(*frame);
        moved.rect = rect;
        QProxyStyle::drawPrimitive(element, &moved, p, widget);
    });
}

void TFrameCacheStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    Look look;
    look.kind = -1 - int(control); // apart from the primitive elements
    look.lineWidth = group->lineWidth;
    look.midLineWidth = group->midLineWidth;
    look.features = uint(group->features);
    look.subControls = uint(group->subControls);
    look.textAlignment = uint(group->textAlignment);
    look.textColor = group->textColor.rgba();
    look.text = group->text;
    drawCached(look, option, painter, [&](QPainter* p, const QRect& rect) {
        QStyleOptionGroupBox moved(*group);
        moved.rect = rect;
        QProxyStyle::drawComplexControl(control, &moved, p, widget);
    });
}
