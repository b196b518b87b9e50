#pragma once

#include <QLoggingCategory>

/// mirabou.settings: the settings file, where it lives and every write that
/// fails, with the path and the system's error (warnings by default, the
/// rest with QT_LOGGING_RULES="mirabou.*=true").
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
