#include "help/HelpHook.h"

namespace help {

namespace {

HelpHandler& installed() {
    static HelpHandler handler;
    return handler;
}

} // namespace

HelpHandler setApplicationHelpHandler(HelpHandler handler) {
    HelpHandler previous = std::move(installed());
    installed() = std::move(handler);
    return previous;
}

const HelpHandler& applicationHelpHandler() {
    return installed();
}

bool applicationHelpCommand(quint16 command, qint32 data) {
    bool callHelp = true;
    const HelpHandler handler = installed(); // a copy: the handler may replace itself
    return handler ? handler(command, data, callHelp) : false;
}

} // namespace help
