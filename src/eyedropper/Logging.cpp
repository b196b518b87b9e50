#include "eyedropper/Logging.h"

Q_LOGGING_CATEGORY(lcPortal, "mirabou.portal", QtWarningMsg)
Q_LOGGING_CATEGORY(lcX11, "mirabou.x11", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPick, "mirabou.pick", QtWarningMsg)
