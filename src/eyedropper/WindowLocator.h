#pragma once

#include <QImage>
#include <QPoint>
#include <optional>

/// Finding the program's own window in a picture of the desktop.
namespace portal {

/// Where window (a picture of it, as drawn) lies in picture, in picture
/// pixels: the place where all but a few of a spread of its pixels match.
/// Nothing when it is not there once.
std::optional<QPoint> locate(const QImage& window, const QImage& picture);

/// The same where the desktop shows the window at factor times its size,
/// through a filter of its own: found by the pixels that every filter leaves
/// as they are (those amid their like), placed exactly by its edges.
std::optional<QPoint> locateScaled(const QImage& window, const QImage& picture, double factor);

} // namespace portal
