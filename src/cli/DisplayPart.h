#pragma once

#include "cli/CommandLine.h"

/// The part of the program that needs a display (the windows, the pick from
/// anywhere, the clipboard server): a module of its own, loaded only when a
/// command needs it, so that the commands that need no display load no
/// window system.
namespace cli {

/// The name of the module's entry: int (int argc, char** argv, const
/// cli::Request* request), which makes the application object, runs the
/// request and returns the exit status.
inline constexpr char DisplayEntry[] = "mirabou_display_main";
using DisplayMain = int (*)(int argc, char** argv, const Request* request);

/// Where the module is looked for: beside the executable (a build, a
/// portable program), then where an install puts it.
QStringList displayPartPlaces();

/// Loads the module and runs the request there; a module that cannot be
/// loaded is told on stderr (exit status 1).
int runWithDisplay(int argc, char** argv, const Request& request);

} // namespace cli
