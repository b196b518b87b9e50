#pragma once

// Drives the real program from outside, as a user would: xdotool for the
// pointer and keys, xclip for the clipboard.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Centres of the main window's tool buttons, in client coordinates.
constexpr int ButtonY = 19;
constexpr int CopyHexX = 31;
constexpr int PasteHexX = 63;
constexpr int CopyDecX = 103;
constexpr int PasteDecX = 136;
constexpr int EyeWizardX = 175;
constexpr int EyeOptionsX = 207;
constexpr int SettingsX = 247;
constexpr int HelpX = 287;
constexpr int InfoX = 319;
constexpr int ExitX = 415;

/// Runs a tool to completion (at most 15 s) and returns its standard output.
QString run(const QString& program, const QStringList& args, int* exitCode = nullptr,
            const QByteArray& input = QByteArray());
QString xdotool(const QStringList& args);
QString clipboardOut();
void clipboardIn(const QByteArray& text);
/// The caption the window manager shows for window (_NET_WM_NAME).
QString shownCaption(const QString& window);
/// A visible window whose shown caption matches pattern, or empty.
QString findWindow(const QString& pattern);
/// Waits up to five seconds for a visible window whose shown caption matches
/// pattern.
QString waitForWindow(const QString& pattern);

/// The program, started from a fresh program folder of its own.
struct RunningProgram {
    QTemporaryDir dir;
    QProcess process;
    QString window;
    /// Runs the program as an unprivileged user (when the tests run as root,
    /// for whom file permissions do not hold).
    bool unprivileged = false;

    QString folder() const { return dir.path() + QLatin1Char('/'); }
    /// Copies every file of an installed program folder into the folder.
    bool installFrom(const QString& programFolder) const;

    bool start(const QByteArray& settings = QByteArray(), const QStringList& env = {},
               bool copyProgram = true);
    /// Clicks at a point of the window's client area.
    void click(int x, int y, int button = 1);
    /// Presses keys in the focused window. (Keys sent to a named window are
    /// pressed and released by different means when the press moves the
    /// focus, and the key stays down on the server.)
    void key(const QString& keys);
    /// Waits for the program to end; false when it does not within 10 s.
    bool finished(int* code);
    ~RunningProgram();
};

} // namespace testsupport
