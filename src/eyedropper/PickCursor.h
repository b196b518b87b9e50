#pragma once

#include <QCursor>

/// The pointer's shape while a pick reads from a desktop's screenshot.
///
/// Some desktops draw the pointer into the screenshots their portal makes
/// (KWin does), and a slow desktop makes its picture after the press, when
/// the pointer may already stand where the pick ends. So the shape leaves
/// its middle empty: a cross whose arms begin well away from the hot spot,
/// with the widest area a pick averages (9 x 9 device pixels, at any scale
/// up to 3) see-through, so that the picture shows what lies under it.
namespace pickcursor {

enum class Kind {
    Aiming,  ///< the pick follows the pointer
    Waiting, ///< released, the pick ends once the desktop's picture comes
};

/// Half the side of the see-through square around the hot spot, in the
/// cursor's logical pixels.
inline constexpr int ClearRadius = 6;

QCursor cursor(Kind kind);

} // namespace pickcursor
