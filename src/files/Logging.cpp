#include "files/Logging.h"

Q_LOGGING_CATEGORY(lcSettings, "mirabou.settings", QtWarningMsg)
