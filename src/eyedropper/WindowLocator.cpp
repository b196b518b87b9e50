#include "eyedropper/WindowLocator.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace portal {

namespace {

/// count of the points, evenly spread over the list.
QList<QPoint> spread(const QList<QPoint>& points, int count) {
    QList<QPoint> picked;
    for (int i = 0; i < count; ++i)
        picked.append(points[qsizetype(i) * points.size() / count]);
    return picked;
}

} // namespace

std::optional<QPoint> locate(const QImage& window, const QImage& picture) {
    if (window.isNull() || window.width() > picture.width() || window.height() > picture.height())
        return std::nullopt;
    const QImage needle = window.convertToFormat(QImage::Format_RGB32);
    const QImage hay = picture.convertToFormat(QImage::Format_RGB32);
    // Probe points spread over the window's edges (pixels unlike a
    // neighbour), so that the window shifted by a few pixels does not match
    // where it is flat. A few may differ: a button drawn pressed a moment
    // later, a caret.
    constexpr int Probes = 48;
    constexpr int Allowed = 4;
    QList<QPoint> edges;
    for (int y = 0; y + 1 < needle.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(needle.constScanLine(y));
        const auto* next = reinterpret_cast<const QRgb*>(needle.constScanLine(y + 1));
        for (int x = 0; x + 1 < needle.width(); ++x) {
            if (line[x] != line[x + 1] || line[x] != next[x])
                edges.append({x, y});
        }
    }
    if (edges.size() < Probes)
        return std::nullopt; // too plain to tell where it is
    // Each probe as its offset into the picture from a place, and the colour
    // it must show there, so that trying a place reads the picture alone.
    const auto own = [&needle](int x, int y) {
        return reinterpret_cast<const QRgb*>(needle.constScanLine(y))[x];
    };
    const auto* bits = reinterpret_cast<const QRgb*>(hay.constBits());
    const qsizetype stride = hay.bytesPerLine() / qsizetype(sizeof(QRgb));
    std::vector<std::pair<qsizetype, QRgb>> looks;
    for (const QPoint& p : spread(edges, Probes))
        looks.emplace_back(p.y() * stride + p.x(), own(p.x(), p.y()));
    const auto matches = [&](int x, int y) {
        const QRgb* place = bits + y * stride + x;
        int misses = 0;
        for (const auto& [offset, colour] : looks) {
            if (place[offset] != colour && ++misses > Allowed)
                return false;
        }
        return true;
    };

    // Candidates are the places where one of three short runs of the
    // window's pixels (from its top, middle and bottom) appears exactly; a
    // change confined to one part of the window leaves another run whole.
    // Each run starts where the window's colour changes across, so that a
    // plain stretch of the picture in the run's first colour (a bare
    // desktop, the same as a frame's) rules a place out at the second pixel.
    // One pass per run over the picture keeps this to a few milliseconds.
    constexpr int RunLength = 8;
    QList<QPoint> starts;
    for (const QPoint& e : std::as_const(edges)) {
        if (e.x() + RunLength <= needle.width() && own(e.x(), e.y()) != own(e.x() + 1, e.y()))
            starts.append(e);
    }
    if (starts.isEmpty())
        starts = edges;
    const int lastX = hay.width() - needle.width();
    const int lastY = hay.height() - needle.height();
    QList<QPoint> found;
    for (int part = 1; part <= 3; ++part) {
        const QPoint start = starts[qsizetype(part) * starts.size() / 4];
        const int length = std::min(RunLength, needle.width() - start.x());
        const auto* run =
            reinterpret_cast<const QRgb*>(needle.constScanLine(start.y())) + start.x();
        for (int y = 0; y <= lastY; ++y) {
            const auto* line =
                reinterpret_cast<const QRgb*>(hay.constScanLine(y + start.y())) + start.x();
            for (int x = 0; x <= lastX; ++x) {
                if (line[x] != run[0])
                    continue;
                int i = 1;
                while (i < length && line[x + i] == run[i])
                    ++i;
                if (i == length && !found.contains(QPoint(x, y)) && matches(x, y))
                    found.append(QPoint(x, y));
            }
        }
    }
    if (found.size() != 1)
        return std::nullopt; // nowhere, or twice: no telling which
    return found.front();
}

std::optional<QPoint> locateScaled(const QImage& window, const QImage& picture, double factor) {
    const QSize size = (QSizeF(window.size()) * factor).toSize();
    if (window.isNull() || size.width() < 3 || size.height() < 3 ||
        size.width() > picture.width() || size.height() > picture.height())
        return std::nullopt;
    // The desktop's filter is not known: each probe is compared with the
    // window shrunk smoothly and shrunk to the nearest pixel, and the closer
    // counts. Compositors drawing with either match to the pixel.
    const QImage smooth = window.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    const QImage sharp = window.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    const QImage hay = picture.convertToFormat(QImage::Format_RGB32);
    const auto at = [](const QImage& image, int x, int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
    };
    const auto difference = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
    };
    // Probes where the window's look changes (they place it), and a few amid
    // a colour of their own (they tell it from what merely looks alike).
    QList<QPoint> flat, edges;
    for (int y = 1; y + 1 < smooth.height(); ++y) {
        for (int x = 1; x + 1 < smooth.width(); ++x) {
            const QRgb c = at(smooth, x, y);
            bool alike = true;
            for (int dy = -1; dy <= 1 && alike; ++dy)
                for (int dx = -1; dx <= 1 && alike; ++dx)
                    alike = at(smooth, x + dx, y + dy) == c;
            (alike ? flat : edges).append({x, y});
        }
    }
    constexpr int EdgeProbes = 256;
    constexpr int FlatProbes = 48;
    if (edges.size() < EdgeProbes / 4 || flat.size() < FlatProbes)
        return std::nullopt; // too plain to tell where it is
    // Flat probes first: each must hold but for rounding (a few may not: a
    // button drawn pressed a moment later), which rules out most places at
    // once. Then the sum over all decides.
    const QList<QPoint> probes =
        spread(flat, FlatProbes) + spread(edges, std::min<int>(EdgeProbes, edges.size()));
    constexpr int Rounding = 24;
    constexpr int Allowed = 4;
    // Per probe, of 765: what a place may differ by at most, and by how much
    // more than the best any other place must differ for the best to count.
    constexpr int MeanDifference = 64;
    constexpr int Margin = 16;
    const qint64 most = qint64(probes.size()) * MeanDifference;
    const auto rival = [&](qint64 best) { return 2 * best + qint64(probes.size()) * Margin; };
    // Each probe as its offset into the picture and the two colours it may
    // show, so that trying a place reads the picture alone.
    struct Probe {
        qsizetype offset;
        QRgb smooth, sharp;
    };
    const auto* bits = reinterpret_cast<const QRgb*>(hay.constBits());
    const qsizetype stride = hay.bytesPerLine() / qsizetype(sizeof(QRgb));
    std::vector<Probe> looks;
    for (const QPoint& p : probes)
        looks.push_back(
            {p.y() * stride + p.x(), at(smooth, p.x(), p.y()), at(sharp, p.x(), p.y())});
    const auto off = [&](const QRgb* place, std::size_t i) {
        const QRgb seen = place[looks[i].offset];
        return std::min(difference(seen, looks[i].smooth), difference(seen, looks[i].sharp));
    };
    const auto flatHolds = [&](int x, int y) {
        const QRgb* place = bits + y * stride + x;
        int misses = 0;
        for (std::size_t i = 0; i < FlatProbes; ++i) {
            if (off(place, i) > Rounding && ++misses > Allowed)
                return false;
        }
        return true;
    };
    const auto score = [&](int x, int y, qint64 bound) {
        const QRgb* place = bits + y * stride + x;
        qint64 sum = 0;
        for (std::size_t i = 0; i < looks.size() && sum <= bound; ++i)
            sum += off(place, i);
        return sum;
    };
    // Flat probes hold a pixel either way of the place too: they are tried at
    // every third place across and down, and around each where they hold,
    // every place is summed whole. A place that differs by more than twice
    // the best so far, and then some, is neither the best nor its rival: no
    // need to sum it whole.
    constexpr int Step = 3;
    const int lastX = hay.width() - smooth.width();
    const int lastY = hay.height() - smooth.height();
    QList<QPair<QPoint, qint64>> found;
    qint64 least = most;
    for (int gy = 1; gy < lastY + Step; gy += Step) {
        for (int gx = 1; gx < lastX + Step; gx += Step) {
            const int x = std::min(gx, lastX), y = std::min(gy, lastY);
            if (!flatHolds(x, y))
                continue;
            for (int py = std::max(0, y - 1); py <= std::min(lastY, y + 1); ++py) {
                for (int px = std::max(0, x - 1); px <= std::min(lastX, x + 1); ++px) {
                    if (!flatHolds(px, py))
                        continue;
                    const qint64 bound = std::min(most, rival(least));
                    const qint64 sum = score(px, py, bound);
                    if (sum <= bound) {
                        found.append({QPoint(px, py), sum});
                        least = std::min(least, sum);
                    }
                }
            }
        }
    }
    if (found.isEmpty())
        return std::nullopt;
    const auto best =
        std::min_element(found.cbegin(), found.cend(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    // Next to the place, a pixel or so either way, the probes nearly hold
    // too; anywhere else nearly as well, and there is no telling which.
    constexpr int Near = 2;
    for (const auto& [place, sum] : found) {
        if ((std::abs(place.x() - best->first.x()) > Near ||
             std::abs(place.y() - best->first.y()) > Near) &&
            sum <= rival(best->second))
            return std::nullopt;
    }
    return best->first;
}

} // namespace portal
