#include "eyedropper/Sample.h"

namespace sample {

PackedColor mean(int across, const std::function<std::optional<QRgb>(QPoint offset)>& at) {
    const int half = across / 2;
    long long red = 0, green = 0, blue = 0, count = 0;
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            if (const std::optional<QRgb> c = at(QPoint(dx, dy))) {
                red += qRed(*c);
                green += qGreen(*c);
                blue += qBlue(*c);
                ++count;
            }
        }
    }
    if (count == 0)
        return UnreadablePixel;
    // floor(sum / count + 1/2) in whole numbers: no float lands a half below.
    const auto rounded = [count](long long sum) { return int((2 * sum + count) / (2 * count)); };
    return packColor(rounded(red), rounded(green), rounded(blue));
}

} // namespace sample
