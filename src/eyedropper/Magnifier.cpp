#include "eyedropper/Magnifier.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

namespace magnifier {

namespace {

constexpr int Grid = 132;      // the cells' square, logical pixels
constexpr int TextHeight = 18; // the hex text's row beneath it
constexpr int Border = 1;

/// The hex text, a square of the colour compared with, and the ratio, in a
/// row of the magnifier; a smaller font where the row is too narrow for them.
void paintContrast(QPainter& painter, const QRect& row, const ScreenContext::Magnified& view) {
    QFont font = painter.font();
    const auto width = [&view](const QFontMetrics& m) {
        return m.horizontalAdvance(view.text) + m.height() + m.horizontalAdvance(view.contrast);
    };
    for (int pixels = QFontInfo(font).pixelSize();
         width(QFontMetrics(font)) > row.width() - 4 && pixels > 7;)
        font.setPixelSize(--pixels);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int side = metrics.ascent() * 2 / 3;
    const int gap = (metrics.height() - side) / 2;
    int x = row.left() + (row.width() - width(metrics)) / 2;
    painter.drawText(QRect(x, row.top(), row.width(), row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, view.text);
    x += metrics.horizontalAdvance(view.text) + gap;
    const QRect swatch(x, row.top() + (row.height() - side) / 2, side, side);
    painter.fillRect(swatch, Qt::white);
    painter.fillRect(swatch.adjusted(1, 1, -1, -1), view.compared);
    x += side + gap;
    painter.drawText(QRect(x, row.top(), row.right() - x + 1, row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, view.contrast);
}

} // namespace

QSize size() {
    return {Grid + 2 * Border, Grid + TextHeight + 2 * Border};
}

int cellsAcross(int zoom, qreal ratio) {
    const int across = std::max(1, int(std::floor(Grid * ratio / zoom)));
    return across % 2 ? across : across - 1;
}

int zoomFitting(int zoom, qreal ratio, int cells) {
    return std::clamp(int(std::floor(Grid * ratio / std::max(1, cells))), 1, zoom);
}

int stepZoom(int zoom, int steps) {
    const int* const begin = std::begin(Zooms);
    const int* const end = std::end(Zooms);
    const int* at = std::lower_bound(begin, end, zoom);
    const auto index = std::clamp<std::ptrdiff_t>((at - begin) + steps, 0, (end - begin) - 1);
    return begin[index];
}

QRect place(QPointF pointer, QSize size, const QRect& screen, qreal gap) {
    // Below and right of the pointer; where that leaves the screen, on the
    // other side of the pointer; where neither fits, inside the screen.
    const auto along = [gap](qreal at, int length, int first, int last) {
        const int after = int(std::ceil(at + gap));
        if (after + length - 1 <= last)
            return after;
        const int before = int(std::floor(at - gap)) - length + 1;
        if (before >= first)
            return before;
        return std::clamp(after, first, std::max(first, last - length + 1));
    };
    return {along(pointer.x(), size.width(), screen.left(), screen.right()),
            along(pointer.y(), size.height(), screen.top(), screen.bottom()), size.width(),
            size.height()};
}

qreal gapFor(const ScreenContext::Magnified& view, qreal ratio) {
    // Half the cells shown, and a margin for the pointer's own picture.
    return std::max(16.0, (view.cells.width() / 2 + 2) / ratio + 8);
}

void paint(QPainter& painter, const QRect& frame, const ScreenContext::Magnified& view,
           qreal ratio) {
    painter.save();
    painter.fillRect(frame, QColor(0x20, 0x20, 0x20));
    const int n = view.cells.width();
    if (n > 0 && view.zoom > 0) {
        // In the device's own pixels: a cell is zoom of them across.
        painter.save();
        painter.translate(frame.topLeft());
        painter.scale(1 / ratio, 1 / ratio);
        const QPoint grid = (QPointF(Border, Border) * ratio).toPoint();
        const int side = n * view.zoom;
        const int inset = (int(Grid * ratio) - side) / 2;
        const QRect cells(grid + QPoint(inset, inset), QSize(side, side));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(cells, view.cells);
        // The picked pixel, or the square the read averages: a black ring
        // and a white one, one of them plain on any colour.
        const int sample = std::clamp(view.sample, 1, n);
        const int first = n / 2 - sample / 2;
        const QRect picked(cells.topLeft() + QPoint(first, first) * view.zoom,
                           QSize(sample, sample) * view.zoom);
        const int line = std::max(1, int(std::lround(ratio)));
        painter.setPen(Qt::NoPen);
        for (const auto& [colour, outset] :
             {std::pair{QColor(Qt::black), 2 * line}, std::pair{QColor(Qt::white), line}}) {
            const QRect ring = picked.adjusted(-outset, -outset, outset, outset);
            painter.setBrush(colour);
            painter.drawRect(ring);
        }
        painter.drawImage(picked, view.cells, QRect(first, first, sample, sample));
        painter.restore();
    }
    painter.setPen(Qt::white);
    const QRect row(frame.left(), frame.top() + Border + Grid, frame.width(), TextHeight);
    if (view.contrast.isEmpty())
        painter.drawText(row, Qt::AlignCenter, view.text);
    else
        paintContrast(painter, row, view);
    painter.restore();
}

} // namespace magnifier

namespace {

const QEvent::Type FollowEvent = QEvent::Type(QEvent::registerEventType());

/// How long a window's area the magnifier uncovered may still show what the
/// magnifier left there: its owner draws it again on its own time.
constexpr qint64 Redrawn = 500;
constexpr std::size_t MostKnown = 256;

} // namespace

TMagnifier::TMagnifier(std::function<ScreenContext::Reading(const QRect&)> read,
                       std::function<void()> catchUp)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint),
      m_read(std::move(read)), m_catchUp(std::move(catchUp)) {
    setWindowTitle(QStringLiteral("Magnifier"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(magnifier::size());
    // Hex digits and a ratio, drawn on every move: no shaping needed.
    QFont shown = font();
    shown.setStyleStrategy(QFont::PreferNoShaping);
    setFont(shown);
    m_clock.start();
}

void TMagnifier::forget() {
    const qint64 now = m_clock.elapsed();
    while (!m_known.empty() && m_known.front().since >= 0 &&
           (now - m_known.front().since > Redrawn || m_known.size() > MostKnown))
        m_known.pop_front();
}

void TMagnifier::fetch(Known& known) {
    if (known.pending.empty())
        return;
    QPainter painter(&known.picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const auto& [part, reading] : known.pending)
        painter.drawImage(part.topLeft() - known.at.topLeft(), reading());
    known.pending.clear();
}

void TMagnifier::paste(QImage& image, const QRect& area) {
    const qint64 now = m_clock.elapsed();
    std::optional<QPainter> painter;
    for (Known& known : m_known) {
        const QRect both = known.at & area;
        if (both.isEmpty() || (known.since >= 0 && now - known.since > Redrawn))
            continue;
        fetch(known);
        if (!painter) {
            painter.emplace(&image);
            painter->setCompositionMode(QPainter::CompositionMode_Source);
        }
        painter->drawImage(both.topLeft() - area.topLeft(), known.picture,
                           both.translated(-known.at.topLeft()));
    }
}

QImage TMagnifier::unobstructed(QImage live, const QRect& area) {
    paste(live, area);
    return live;
}

void TMagnifier::showAt(QPoint picked, const ScreenContext::Magnified& view) {
    m_picked = picked;
    m_view = view;
    if (!m_following) {
        m_following = true;
        // After the windows' own repaints, which Qt posts at low priority.
        QCoreApplication::postEvent(this, new QEvent(FollowEvent), Qt::LowEventPriority - 1);
    }
}

bool TMagnifier::event(QEvent* event) {
    if (event->type() != FollowEvent)
        return QWidget::event(event);
    follow();
    return true;
}

void TMagnifier::follow() {
    if (!m_following)
        return; // hidden meanwhile
    m_following = false;
    // The windows' repaints reach the screen first, on their own: the
    // magnifier's requests would otherwise join them, and the new colour
    // would show only once the area beneath the magnifier had been read
    // and the magnifier moved and drawn.
    if (m_catchUp)
        m_catchUp();
    const QPoint picked = m_picked;
    const ScreenContext::Magnified& view = m_view;
    const QScreen* screen = desktop::screenAt(picked);
    const QRect frame =
        magnifier::place(desktop::toLogical(picked), magnifier::size(), screen->geometry(),
                         magnifier::gapFor(view, screen->devicePixelRatio()));
    const QRect covering = desktop::inDevicePixels(screen, frame);
    if (!isVisible() || covering != m_covered) {
        forget();
        // What the new place shows without the magnifier: what is known of
        // it, and the rest read now (fetched when first needed, so that no
        // move waits for the X server's answer).
        Known next{covering, QImage(covering.size(), QImage::Format_RGB32), -1, {}};
        QRegion known;
        const qint64 now = m_clock.elapsed();
        for (const Known& k : m_known) {
            if ((k.since < 0 || now - k.since <= Redrawn) && k.at.intersects(covering))
                known += k.at & covering;
        }
        for (const QRect& part : QRegion(covering) - known)
            next.pending.emplace_back(part, m_read(part));
        paste(next.picture, covering);
        // What it leaves stays known until redrawn, piece by piece.
        if (!m_known.empty() && m_known.back().since < 0) {
            Known left = std::move(m_known.back());
            m_known.pop_back();
            fetch(left);
            for (const QRect& part : QRegion(left.at) - covering)
                m_known.push_back(
                    {part, left.picture.copy(part.translated(-left.at.topLeft())), now, {}});
        }
        m_known.push_back(std::move(next));
        m_covered = covering;
        setGeometry(frame);
    }
    if (!isVisible())
        show();
    update();
    // What the label row shows, for a screen reader.
    const QString said =
        view.contrast.isEmpty() ? view.text : view.text + QLatin1Char(' ') + view.contrast;
    if (accessibleDescription() != said)
        setAccessibleDescription(said);
}

void TMagnifier::dismiss() {
    m_following = false;
    hide();
}

void TMagnifier::hideEvent(QHideEvent* event) {
    if (!m_known.empty() && m_known.back().since < 0)
        m_known.back().since = m_clock.elapsed(); // uncovered now
    QWidget::hideEvent(event);
}

void TMagnifier::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    magnifier::paint(painter, rect(), m_view, devicePixelRatioF());
}
