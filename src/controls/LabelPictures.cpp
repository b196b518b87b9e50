#include "controls/LabelPictures.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// A label of a few looks (its window active and not, another language's
// font) is kept; a look beyond them is dropped with its pictures. A look
// holds a picture for each character at each 64th of a pixel it stands at:
// past the kept number, the rarer ones are taken again.
constexpr int kLooksKept = 4;
constexpr int kGlyphsKept = 4096;
// Room around a character's advance for ink that reaches past it.
constexpr int kRoom = 8;

qint64 floorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

bool printable(QChar c) {
    return c.unicode() >= 0x20 && c.unicode() < 0x7F;
}

quint32 pairKey(QChar a, QChar b) {
    return quint32(a.unicode()) << 16 | b.unicode();
}

quint32 glyphKey(QChar c, int sixtyFourth) {
    return quint32(c.unicode()) << 8 | quint32(sixtyFourth);
}

bool sameInEveryColumn(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        if (std::any_of(line, line + picture.width(), [&](QRgb c) { return c != line[0]; }))
            return false;
    }
    return true;
}

} // namespace

TLabelPictures::TLabelPictures(QObject* parent) : QObject(parent) {}

void TLabelPictures::watch(QLabel* label) {
    m_labels.append(Watched{label, {}});
    label->installEventFilter(this);
    connect(label, &QObject::destroyed, this, [this, label] {
        m_labels.removeIf([label](const Watched& w) { return w.label == label; });
    });
}

void TLabelPictures::clear() {
    for (Watched& watched : m_labels)
        watched.looks.clear();
}

bool TLabelPictures::eligible(const QLabel* label) {
    const qreal ratio = label->devicePixelRatioF();
    if (!label->isVisible() || !label->isEnabled() || !label->autoFillBackground() ||
        ratio != std::floor(ratio) || label->wordWrap() || !label->pixmap().isNull() ||
        label->layoutDirection() != Qt::LeftToRight ||
        (label->textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextEditable)))
        return false; // drawn otherwise, or with a caret or a selection
    if ((label->alignment() & ~Qt::AlignAbsolute) != (Qt::AlignRight | Qt::AlignTop))
        return false;
    if (label->indent() < 0 && label->frameWidth() > 0)
        return false; // indented by half an 'x'
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

TLabelPictures::Pictures* TLabelPictures::picturesOf(Watched& watched, bool make) {
    const QLabel* label = watched.label;
    const Look look{
        label->size(),  int(label->devicePixelRatioF()), label->font(),          label->palette(),
        label->style(), int(label->alignment()),         label->isActiveWindow()};
    const auto same = [&look](const Look& l) {
        return l.size == look.size && l.ratio == look.ratio && l.style == look.style &&
               l.alignment == look.alignment && l.active == look.active && l.font == look.font &&
               (l.palette.cacheKey() == look.palette.cacheKey() || l.palette == look.palette);
    };
    QList<Pictures>& looks = watched.looks;
    qsizetype at = 0;
    while (at < looks.size() && !same(looks[at].look))
        ++at;
    if (at != looks.size()) {
        if (at != 0)
            looks.move(at, 0);
        return &looks.first();
    }
    if (!make)
        return nullptr;
    if (looks.size() == kLooksKept)
        looks.removeLast();
    Pictures pictures;
    pictures.look = look;
    QRect contents = label->contentsRect();
    const int margin = label->margin();
    contents.adjust(margin, margin, -margin, -margin);
    if (label->indent() > 0)
        contents.adjust(0, label->indent(), -label->indent(), 0);
    pictures.right = contents.right() + 1;
    pictures.baseline = contents.top() + QFontMetricsF(look.font, label).ascent();
    // The background as the label fills it.
    QImage background(look.size * look.ratio, QImage::Format_RGB32);
    background.setDevicePixelRatio(look.ratio);
    background.fill(Qt::black);
    {
        QPainter painter(&background);
        const QBrush brush = look.palette.brush(label->backgroundRole());
        const QRect all(QPoint(), look.size);
        if (brush.style() == Qt::TexturePattern)
            painter.drawTiledPixmap(all, brush.texture());
        else
            painter.fillRect(all, brush);
    }
    background.setDevicePixelRatio(1); // counted in device pixels from here
    // One that changes from column to column shows a character differently
    // in each place.
    pictures.usable = sameInEveryColumn(background);
    pictures.background = std::move(background);
    looks.prepend(std::move(pictures));
    return &looks.first();
}

bool TLabelPictures::place(const Pictures& pictures, const QString& text, Line& placed,
                           QList<quint32>* lacking) {
    placed.clear();
    // Right-aligned: a character stands at the text's end less the advances
    // of itself and all after it, as Qt lays them out in 64ths of a pixel.
    const qint64 end = qint64(pictures.right) * 64;
    const int ratio = pictures.look.ratio;
    qint64 after = 0;
    int nextInk = std::numeric_limits<int>::max(); // first column of the ink after
    bool complete = true;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (!printable(c))
            return false;
        const auto advance = pictures.advances.constFind(c.unicode());
        if (advance == pictures.advances.cend())
            return false;
        if (i + 1 < text.size()) {
            const auto pair = pictures.pairs.constFind(pairKey(c, text[i + 1]));
            if (pair == pictures.pairs.cend() || !*pair)
                return false;
        }
        after += *advance;
        const qint64 device = (end - after) * ratio; // 64ths of a device pixel
        const int at = int(floorDiv(device, 64));
        const quint32 key = glyphKey(c, int(device - qint64(at) * 64));
        const auto glyph = pictures.glyphs.constFind(key);
        if (glyph == pictures.glyphs.cend()) {
            if (!lacking)
                return false;
            if (!lacking->contains(key))
                lacking->append(key);
            complete = false;
            nextInk = std::numeric_limits<int>::min(); // its ink is not known
            continue;
        }
        if (glyph->columns.isNull())
            continue;
        const int first = at + glyph->first;
        if (first + glyph->columns.width() > nextInk && nextInk != std::numeric_limits<int>::min())
            return false; // shares a column with its neighbour's ink
        nextInk = first;
        placed.append({&*glyph, at});
    }
    return complete;
}

void TLabelPictures::compose(QImage& line, const Line& placed) {
    // No two characters ink the same column, so each copies the rectangle
    // its ink spans, less what lies outside the label; the rest of the line
    // is background.
    uchar* into = line.bits();
    const qsizetype stride = line.bytesPerLine();
    for (const Placed& p : placed) {
        const QImage& columns = p.glyph->columns;
        const int start = p.at + p.glyph->first;
        const int from = std::max(0, -start);
        const int to = std::min(columns.width(), line.width() - start);
        if (to <= from)
            continue;
        const uchar* source = columns.constBits();
        const qsizetype sourceStride = columns.bytesPerLine();
        const int rows = std::min(columns.height(), line.height() - p.glyph->top);
        uchar* row = into + p.glyph->top * stride;
        for (int y = 0; y < rows; ++y, row += stride) {
            const auto* in = reinterpret_cast<const QRgb*>(source + y * sourceStride);
            std::copy(in + from, in + to, reinterpret_cast<QRgb*>(row) + start + from);
        }
    }
}

void TLabelPictures::prepare(Watched& watched) {
    Pictures* pictures = picturesOf(watched, true);
    QLabel* label = watched.label;
    const QString text = label->text();
    if (!pictures->usable || !std::all_of(text.begin(), text.end(), printable))
        return;
    const QFontMetricsF metrics(pictures->look.font, label);
    const auto sixtyFourths = [](qreal pixels) { return qint64(std::llround(pixels * 64)); };
    for (const QChar c : text) {
        if (!pictures->advances.contains(c.unicode()))
            pictures->advances.insert(c.unicode(), sixtyFourths(metrics.horizontalAdvance(c)));
    }
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const quint32 key = pairKey(text[i], text[i + 1]);
        if (!pictures->pairs.contains(key))
            pictures->pairs.insert(key, sixtyFourths(metrics.horizontalAdvance(text.mid(i, 2))) ==
                                            pictures->advances[text[i].unicode()] +
                                                pictures->advances[text[i + 1].unicode()]);
    }
    Line placed;
    QList<quint32> lacking;
    place(*pictures, text, placed, &lacking);
    if (lacking.isEmpty())
        return; // drawn from pictures already checked, or never
    if (pictures->glyphs.size() + lacking.size() > kGlyphsKept)
        pictures->glyphs.clear();
    // Each character at its 64th of a device pixel, drawn as the label
    // draws its text, on a strip of its background.
    const int ratio = pictures->look.ratio;
    const QImage& background = pictures->background;
    const QPen pen(pictures->look.palette.brush(label->foregroundRole()), 1);
    for (const quint32 key : std::as_const(lacking)) {
        const QChar c(char16_t(key >> 8));
        const int sixtyFourth = int(key & 0xFF);
        const int inked = int((pictures->advances[c.unicode()] * ratio + 63) / 64);
        QImage strip(inked + 2 * kRoom, background.height(), QImage::Format_RGB32);
        for (int y = 0; y < strip.height(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(strip.scanLine(y)), strip.width(),
                        background.pixel(0, y));
        const QImage bare = strip;
        // Its font sized for the label's screen.
        strip.setDotsPerMeterX(std::lround(label->logicalDpiX() / 0.0254));
        strip.setDotsPerMeterY(std::lround(label->logicalDpiY() / 0.0254));
        strip.setDevicePixelRatio(ratio);
        {
            QPainter painter(&strip);
            painter.setFont(pictures->look.font);
            painter.setPen(pen);
            painter.drawText(
                QPointF((kRoom * 64 + sixtyFourth) / (64.0 * ratio), pictures->baseline),
                QString(c));
        }
        strip.setDevicePixelRatio(1);
        int first = strip.width(), last = -1, top = strip.height(), bottom = -1;
        for (int y = 0; y < strip.height(); ++y) {
            const auto* seen = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            const auto* plain = reinterpret_cast<const QRgb*>(bare.constScanLine(y));
            for (int x = 0; x < strip.width(); ++x) {
                if (seen[x] != plain[x]) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        Glyph glyph;
        if (last >= first) {
            glyph.first = first - kRoom;
            glyph.top = top;
            glyph.columns = strip.copy(first, top, last + 1 - first, bottom + 1 - top);
        }
        pictures->glyphs.insert(key, glyph);
    }
    // The text with its new pictures, drawn both ways.
    if (!place(*pictures, text, placed))
        return;
    QImage composed = background;
    compose(composed, placed);
    QImage own(label->size() * ratio, QImage::Format_RGB32);
    own.setDevicePixelRatio(ratio);
    own.fill(Qt::black);
    m_taking = true;
    label->render(&own, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    m_taking = false;
    own.setDevicePixelRatio(1);
    if (own != composed) {
        pictures->usable = false;
        pictures->glyphs.clear();
        ++m_refused;
    }
}

bool TLabelPictures::eventFilter(QObject* watched, QEvent* event) {
    if (m_taking || event->type() != QEvent::Paint)
        return false;
    const auto found = std::find_if(m_labels.begin(), m_labels.end(),
                                    [watched](const Watched& w) { return w.label == watched; });
    if (found == m_labels.end() || !eligible(found->label))
        return false;
    Pictures* pictures = picturesOf(*found, false);
    Line placed;
    if (!pictures || !pictures->usable || !place(*pictures, found->label->text(), placed)) {
        // What the text lacks is taken after this repaint, which draws the
        // label as always, and after whatever else follows the repaint.
        if ((!pictures || pictures->usable) && !m_preparing) {
            m_preparing = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_preparing = false;
                    for (Watched& w : m_labels) {
                        if (eligible(w.label))
                            prepare(w);
                    }
                },
                Qt::QueuedConnection);
        }
        return false;
    }
    // Copied pixel for pixel, or not at all (a render() to a picture of
    // another scale).
    QPainter painter(found->label);
    const QTransform device = painter.deviceTransform();
    const int ratio = pictures->look.ratio;
    if (device.type() > QTransform::TxScale || device.m11() != ratio || device.m22() != ratio) {
        painter.end();
        return false;
    }
    // The background, copied into the look's line, which no one else holds.
    QImage& line = pictures->line;
    const QImage& background = pictures->background;
    if (line.size() != background.size())
        line = QImage(background.size(), background.format());
    std::memcpy(line.bits(), background.constBits(), size_t(background.sizeInBytes()));
    compose(line, placed);
    painter.scale(1.0 / ratio, 1.0 / ratio);
    painter.drawImage(QPoint(0, 0), line);
    ++m_drawn;
    return true;
}
