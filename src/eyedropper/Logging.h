#pragma once

#include <QLoggingCategory>

// What the eyedropper says of its picks: warnings by default, the rest with
// QT_LOGGING_RULES="mirabou.*=true".
Q_DECLARE_LOGGING_CATEGORY(lcPortal) ///< mirabou.portal: the desktop portal's requests and pictures
Q_DECLARE_LOGGING_CATEGORY(lcX11)    ///< mirabou.x11: reading the X11 screen
Q_DECLARE_LOGGING_CATEGORY(lcPick)   ///< mirabou.pick: the picks themselves
