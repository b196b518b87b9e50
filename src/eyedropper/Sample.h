#pragma once

#include "color/ColorValue.h"

#include <QPoint>
#include <QRgb>
#include <functional>
#include <optional>

class QImage;

/// A read that averages a square of device pixels around the picked one.
namespace sample {

/// The mean of the across by across pixels around a point, per channel, of
/// their 8-bit sRGB values, rounded half up (as image editors average).
/// at(offset) gives the pixel offset device pixels from the point, or none
/// where no screen shows one: those do not count. UnreadablePixel when no
/// screen shows any of them.
PackedColor mean(int across, const std::function<std::optional<QRgb>(QPoint offset)>& at);
/// The same of the square around middle in cells, where a screen shows all
/// of it (read on every move of a pick, straight from the picture).
PackedColor mean(int across, const QImage& cells, QPoint middle);

} // namespace sample
