#pragma once

#include <QLoggingCategory>

/// mirabou.help: the help library and file, what cannot be shown and why
/// (warnings by default, the rest with QT_LOGGING_RULES="mirabou.*=true").
Q_DECLARE_LOGGING_CATEGORY(lcHelp)
