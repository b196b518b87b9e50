#pragma once

#include <QString>

/// Keeping a text on the clipboard after the program that copied it ends,
/// as command-line clipboard tools do: a small process of its own serves it
/// until another program takes the clipboard over, then ends.
namespace clipboard {

/// The option that makes the program such a process (never shown in its
/// help): the text follows it, and --ready names the descriptor to signal
/// on once the clipboard is the server's.
inline constexpr char ServeOption[] = "serve-clipboard";

/// Starts the serving process for text (the program itself, detached from
/// the caller's terminal and standard streams) and returns once it owns the
/// clipboard; false when it did not within a few seconds.
bool serveInBackground(const QString& text);

/// The serving process's own work, on an application object already made:
/// owns the clipboard, tells readyFd (when >= 0), and returns when another
/// program has taken the clipboard over.
int serve(const QString& text, int readyFd);

} // namespace clipboard
