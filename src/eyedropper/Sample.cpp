#include "eyedropper/Sample.h"

#include <QImage>
#include <QRect>

namespace sample {

namespace {

/// The sums of the channels of the pixels counted so far.
struct Sums {
    long long red = 0, green = 0, blue = 0, count = 0;
    void add(QRgb c) {
        red += qRed(c);
        green += qGreen(c);
        blue += qBlue(c);
        ++count;
    }
    PackedColor mean() const {
        if (count == 0)
            return UnreadablePixel;
        // floor(sum / count + 1/2) in whole numbers: no float lands a half
        // below.
        const auto rounded = [this](long long sum) { return int((2 * sum + count) / (2 * count)); };
        return packColor(rounded(red), rounded(green), rounded(blue));
    }
};

} // namespace

PackedColor mean(int across, const std::function<std::optional<QRgb>(QPoint offset)>& at) {
    const int half = across / 2;
    Sums sums;
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            if (const std::optional<QRgb> c = at(QPoint(dx, dy)))
                sums.add(*c);
        }
    }
    return sums.mean();
}

PackedColor mean(int across, const QImage& cells, QPoint middle) {
    const int half = across / 2;
    const QRect square = QRect(middle - QPoint(half, half), QSize(across, across)) & cells.rect();
    // Read straight from the lines where the pixels are stored as QRgb.
    const bool straight =
        cells.format() == QImage::Format_RGB32 || cells.format() == QImage::Format_ARGB32;
    Sums sums;
    for (int y = square.top(); y <= square.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(cells.constScanLine(y));
        for (int x = square.left(); x <= square.right(); ++x)
            sums.add(straight ? line[x] : cells.pixel(x, y));
    }
    return sums.mean();
}

} // namespace sample
