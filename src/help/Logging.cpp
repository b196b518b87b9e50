#include "help/Logging.h"

Q_LOGGING_CATEGORY(lcHelp, "mirabou.help", QtWarningMsg)
