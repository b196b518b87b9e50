#pragma once

#include <QIcon>
#include <QPixmap>

/// The program's own pictures, rendered from SVG at build time at 1x and
/// 2x (":/icons/<name>.png" and "<name>@2x.png").
namespace pictures {

/// The picture as an icon holding both renderings.
QIcon icon(const QString& name);
/// The window icon: the program's picture in every size rendered for it.
QIcon windowIcon();
/// The picture at the scale of the screen (the 2x rendering for ratio > 1).
QPixmap pixmap(const QString& name, qreal devicePixelRatio);
/// A PNG file read as PNG and nothing else.
QPixmap readPng(const QString& path);

} // namespace pictures
