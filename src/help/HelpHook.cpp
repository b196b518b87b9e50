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

bool applicationHelpCommand(quint16 command, qintptr data) {
    bool callHelp = true;
    const HelpHandler handler = installed(); // a copy: the handler may replace itself
    return handler ? handler(command, data, callHelp) : false;
}

namespace {

QString& helpFile() {
    static QString file;
    return file;
}

} // namespace

QString applicationHelpFile() {
    return helpFile();
}

void setApplicationHelpFile(const QString& file) {
    helpFile() = file;
}

} // namespace help
