#pragma once

#include "color/NotationList.h"

#include <QString>

namespace files {
class IniFile;
}

/// The command line: what the program is asked to do, and the commands that
/// need no display, done at once with nothing but Qt Core loaded.
namespace cli {

/// What the command line asks for, once read.
struct Request {
    enum Kind {
        Answered,       ///< done already (help, version, conversions): exit with status
        Window,         ///< the main window
        Pick,           ///< a pick from anywhere
        ServeClipboard, ///< serve text on the clipboard until another program takes it
    };
    Kind kind = Window;
    int status = 0;                         ///< Answered: the exit status
    QString format = QStringLiteral("hex"); ///< Pick: the notation's name
    bool copy = false;                      ///< Pick: the text also stays on the clipboard
    int sample = 1;                         ///< Pick: the side of the square it averages
    QString text;                           ///< ServeClipboard: the text to serve
    int readyFd = -1;                       ///< ServeClipboard: where to tell that it serves
};

/// Exit statuses of the commands: a command line it cannot mean, or a text
/// that is no colour.
inline constexpr int Refused = 2;

/// Reads the command line and does at once what needs no display: --help,
/// --version, --convert, --list-formats, --contrast (printing on stdout,
/// refusals as one line on stderr). Needs no application object and loads
/// no window system.
Request run(int argc, char** argv);

/// The notations the program offers: the built-ins and the custom ones of
/// the user's settings file (section "formats"). Refused lines are told on
/// stderr, one line each, where tell is set.
notation::NotationList notations(bool tell);
/// The same from a settings file already read.
notation::NotationList notations(const files::IniFile& settings, bool tell);

} // namespace cli
