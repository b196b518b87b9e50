#pragma once

#include <QString>

/// `mirabou --pick`: the colour under the next click, anywhere on the
/// screen, printed (and copied) without a window of the program's own.
namespace pick {

struct Options {
    QString format = QStringLiteral("hex"); ///< the notation's name, built-in or custom
    bool copy = false;                      ///< the text also stays on the clipboard
    int sample = 1;                         ///< the side of the square the pick averages
};

/// Exit statuses: picked, cancelled, nothing to pick from.
inline constexpr int Picked = 0;
inline constexpr int Cancelled = 1;
inline constexpr int NoDisplay = 3;

/// Runs the pick; returns the exit status. Makes the application object.
int run(int& argc, char** argv, const Options& options);

} // namespace pick
