#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

/// The application's help requests: a classic help command number and a
/// 32-bit data value, delivered to the application-wide help handler.
namespace help {

enum HelpCommand : quint16 {
    HELP_CONTEXT = 1,
    HELP_QUIT = 2,
    HELP_CONTENTS = 3,
    HELP_CONTEXTPOPUP = 8,
    HELP_FINDER = 0x0B,
    HELP_SETPOPUP_POS = 0x0D,
    HELP_TAB = 0x0F,
    HELP_KEY = 0x101,
    HELP_PARTIALKEY = 0x105,
};

/// A help handler gets the command and data (a number, a packed point, or the
/// address of a keyword text); clearing callHelp consumes the request. It
/// returns whether the request was handled.
using HelpHandler = std::function<bool(quint16 command, qintptr data, bool& callHelp)>;

/// Installs the application-wide handler (none to remove it); returns the
/// one installed before.
HelpHandler setApplicationHelpHandler(HelpHandler handler);
const HelpHandler& applicationHelpHandler();

/// The application's own help file name (empty in this program).
QString applicationHelpFile();
void setApplicationHelpFile(const QString& file);

/// Sends a help request through the application, as a help command or the
/// help-contents action does. Returns what the handler answered (false when
/// none is installed).
bool applicationHelpCommand(quint16 command, qintptr data);

} // namespace help
