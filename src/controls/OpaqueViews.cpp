#include "controls/OpaqueViews.h"

#include "controls/BoxPictures.h"
#include "controls/FrameCacheStyle.h"
#include "controls/LabelPictures.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

TOpaqueViews::TOpaqueViews(QWidget* window, QList<QLineEdit*> boxes, QLabel* hexLabel,
                           QLabel* decLabel)
    : QObject(window), m_window(window), m_boxes(std::move(boxes)), m_hex(hexLabel),
      m_dec(decLabel) {}

void TOpaqueViews::apply() {
    if (m_applied)
        return;
    m_applied = true;
    m_pictures = new TBoxPictures(this);
    for (QLineEdit* box : m_boxes) {
        box->setAttribute(Qt::WA_OpaquePaintEvent);
        m_pictures->watch(box);
    }
    // The value labels reach no further left than their widest value needs,
    // short of the captions before them.
    const auto widest = [](const QFontMetrics& metrics, QLatin1String characters, int count) {
        int glyph = 0;
        for (const char c : characters)
            glyph = std::max(glyph, metrics.horizontalAdvance(QLatin1Char(c)));
        return glyph * count;
    };
    const QFontMetrics hex = m_hex->fontMetrics(), dec = m_dec->fontMetrics();
    const std::pair<QLabel*, int> values[] = {
        {m_hex, hex.horizontalAdvance(QLatin1Char('#')) +
                    widest(hex, QLatin1String("0123456789ABCDEF"), 6)},
        {m_dec, 2 * dec.horizontalAdvance(QLatin1Char(',')) +
                    widest(dec, QLatin1String("0123456789"), 9)}};
    for (const auto& [label, width] : values) {
        QRect area = label->geometry();
        area.setLeft(std::max(area.left(), area.right() + 1 - width - 2));
        label->setGeometry(area);
        label->setAutoFillBackground(true);
    }
    m_labelPictures = new TLabelPictures(this);
    m_labelPictures->watch(m_hex);
    m_labelPictures->watch(m_dec);
    matchBackgrounds();
    m_window->installEventFilter(this);
}

bool TOpaqueViews::eventFilter(QObject* watched, QEvent* event) {
    // The window hears of a new palette or style before its children take
    // it: the groups are drawn anew once they have.
    if (watched == m_window &&
        (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) &&
        !m_matching) {
        m_matching = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_matching = false;
                matchBackgrounds();
            },
            Qt::QueuedConnection);
    }
    return false;
}

void TOpaqueViews::matchBackgrounds() {
    m_pictures->clear(); // they show what was beneath
    m_labelPictures->clear();
    // What a view's group shows in an area of it, drawn without the view:
    // Fusion tints a group's inside and shades the rows below its top edge,
    // so it is not the window's colour everywhere.
    const auto beneath = [](const QWidget* view, const QRect& area) {
        const qreal ratio = view->devicePixelRatioF();
        QImage picture(area.size() * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        view->parentWidget()->render(&picture, QPoint(), QRegion(area),
                                     QWidget::DrawWindowBackground);
        return picture;
    };
    // Around a box's rounded corners: the inside of its group, left of its
    // middle.
    const QWidget* group = nullptr;
    QColor inside;
    for (QLineEdit* box : m_boxes) {
        auto* frames = qobject_cast<TFrameCacheStyle*>(box->style());
        if (!frames)
            continue;
        if (box->parentWidget() != group) {
            group = box->parentWidget();
            const QPoint left(box->x(), box->y() + box->height() / 2);
            inside = beneath(box, QRect(left, QSize(1, 1))).pixelColor(0, 0);
        }
        frames->setColorBeneath(box, inside);
    }
    for (QLabel* label : {m_hex, m_dec}) {
        const QImage picture = beneath(label, label->geometry());
        // A brush's picture counts in points, not in the screen's pixels.
        QBrush brush{QPixmap::fromImage(picture)};
        brush.setTransform(
            QTransform::fromScale(1 / picture.devicePixelRatio(), 1 / picture.devicePixelRatio()));
        QPalette palette = label->palette();
        palette.setBrush(QPalette::Window, brush);
        label->setPalette(palette);
    }
}
