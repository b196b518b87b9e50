#pragma once

#include <QIcon>
#include <QPixmap>

/// The program's own pictures, rendered from SVG at build time at 1x and
/// 2x: unpacked (":/icons/<name>.argb" and "<name>@2x.argb"), shown without
/// decoding, and the About picture as PNG (":/icons/mirabou.png" and
/// "mirabou@2x.png").
namespace pictures {

/// The picture as an icon holding both renderings.
QIcon icon(const QString& name);
/// The window icon: the program's picture in every size rendered for it.
QIcon windowIcon();
/// A PNG picture at the scale of the screen (the 2x rendering for ratio > 1).
QPixmap pixmap(const QString& name, qreal devicePixelRatio);
/// The picture an unpacked file's bytes hold (see tools/render_icon.cpp), on
/// the bytes themselves where it can be: they must outlive the image. Null
/// for anything else.
QImage unpackedImage(const uchar* data, qint64 size);
/// An unpacked picture of the program's resources, at the ratio given; null
/// for a resource that is not one.
QPixmap readUnpacked(const QString& path, qreal devicePixelRatio = 1.0);

} // namespace pictures
