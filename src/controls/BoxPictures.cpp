#include "controls/BoxPictures.h"

#include "controls/FrameCacheStyle.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QStyleHints>
#include <cmath>
#include <utility>

namespace {

// Boxes of a few looks (the hex and the dec boxes, a window active and not)
// are kept; a look beyond them, and the pictures of any that is no longer
// seen, are dropped. A look holds at most a few hundred texts in use: the
// values a box shows. Past that, texts typed by hand are not worth keeping.
constexpr int kLooksKept = 4;
constexpr int kTextsKept = 1024;
constexpr int kPalettesKept = 16;
// A text this long is only there during an edit; it may be scrolled.
constexpr int kLongestText = 8;

} // namespace

TBoxPictures::TBoxPictures(QObject* parent) : QObject(parent) {}

void TBoxPictures::watch(QLineEdit* box) {
    m_boxes.append(box);
    box->installEventFilter(this);
    box->window()->installEventFilter(this);
    connect(box, &QObject::destroyed, this, [this, box] { m_boxes.removeOne(box); });
}

void TBoxPictures::clear() {
    m_looks.clear();
}

bool TBoxPictures::eventFilter(QObject* watched, QEvent* event) {
    if (m_taking)
        return false;
    if (event->type() == QEvent::UpdateRequest) {
        // The window is about to repaint what changed: the boxes' pictures
        // are taken now, as a box cannot be drawn into a picture while it is
        // being painted.
        for (QLineEdit* box : std::as_const(m_boxes)) {
            if (box->window() == watched && pictured(box))
                pictureOf(box, true);
        }
        return false;
    }
    if (event->type() != QEvent::Paint)
        return false;
    auto* box = static_cast<QLineEdit*>(watched);
    if (!m_boxes.contains(box) || !pictured(box))
        return false;
    const QPixmap* picture = pictureOf(box, false);
    if (!picture)
        return false; // painted before the window's repaint: by itself
    // Copied pixel for pixel, or not at all: into a device of another scale
    // (a render() to a picture, say) the box draws itself.
    QPainter painter(box);
    const QTransform device = painter.deviceTransform();
    const qreal ratio = picture->devicePixelRatio();
    if (device.type() > QTransform::TxScale || device.m11() != ratio || device.m22() != ratio) {
        painter.end();
        return false;
    }
    painter.drawPixmap(0, 0, *picture);
    ++m_drawn;
    return true;
}

bool TBoxPictures::pictured(const QLineEdit* box) {
    if (!box->testAttribute(Qt::WA_OpaquePaintEvent) || !box->isVisible() ||
        box->hasSelectedText() || box->text().size() > kLongestText)
        return false;
    // The box with the focus shows a caret, which looks the same at every
    // paint only while it does not blink.
    if (box->hasFocus() && QGuiApplication::styleHints()->cursorFlashTime() != 0)
        return false;
    // At a fractional scale a box may start inside a device pixel, where a
    // copy would not fall on what the box draws.
    const qreal ratio = box->devicePixelRatioF();
    if (ratio != std::floor(ratio))
        return false;
    const auto* frames = qobject_cast<const TFrameCacheStyle*>(box->style());
    return frames && frames->caching();
}

bool TBoxPictures::Pictures::shows(const Look& l, const QPalette& p) {
    if (!(look == l))
        return false;
    if (paletteKeys.contains(p.cacheKey()))
        return true;
    if (!(palette == p))
        return false;
    if (paletteKeys.size() == kPalettesKept)
        paletteKeys.removeFirst();
    paletteKeys.append(p.cacheKey());
    return true;
}

const QPixmap* TBoxPictures::pictureOf(QLineEdit* box, bool take) {
    const Look look{box->size(),      box->devicePixelRatioF(), box->font(),
                    box->style(),     int(box->alignment()),    int(box->layoutDirection()),
                    box->isEnabled(), box->isActiveWindow(),    box->hasFocus()};
    const QPalette& palette = box->palette();
    qsizetype at = 0;
    while (at < m_looks.size() && !m_looks[at].shows(look, palette))
        ++at;
    if (at == m_looks.size()) {
        if (!take)
            return nullptr;
        if (m_looks.size() == kLooksKept)
            m_looks.removeLast();
        m_looks.prepend({look, palette, {palette.cacheKey()}, {}});
    } else if (at != 0) {
        m_looks.move(at, 0);
    }
    auto& pictures = m_looks.first().byText;
    const std::pair key{box->text(), box->cursorPosition()};
    if (const auto found = pictures.constFind(key); found != pictures.cend())
        return &*found;
    if (!take)
        return nullptr;
    if (pictures.size() == kTextsKept)
        pictures.clear();
    QPixmap picture(look.size * look.ratio);
    picture.setDevicePixelRatio(look.ratio);
    picture.fill(palette.color(QPalette::Base));
    m_taking = true;
    box->render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    m_taking = false;
    ++m_taken;
    return &*pictures.insert(key, picture);
}
