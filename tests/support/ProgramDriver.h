#pragma once

// Drives the real program from outside, as a user would: xdotool for the
// pointer and keys, xclip for the clipboard.

#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

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

// Client-area coordinates of other controls of the main window.
const QPoint Swatch(208, 123);
const QPoint HeaderInside(18, 70);
const QPoint HeaderFrame(16, 64);
/// Amid the hex text display (Label4).
const QPoint HexText(367, 123);
const QPoint RedUp(178, 92);
const QPoint GreenDown(178, 128);
const QRect RedHexBox(96, 88, 33, 21);
const QPoint NamedList(340, 70);

/// This process's environment with variables ("NAME=value") set.
QProcessEnvironment environmentWith(const QStringList& variables);
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

/// An X server of the test's own, which it may end: the programs and tools
/// it starts meanwhile use it (DISPLAY), the test's own windows not.
struct PrivateDisplay {
    QProcess server;
    QByteArray before; // the DISPLAY it replaced
    bool start();
    void stop();
    ~PrivateDisplay() { stop(); }
};

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
    /// Presses the left button on the Eye Wizard and holds it (its window
    /// drawn at scale).
    void holdEyeWizard(int scale = 1);
    /// Copies the eye colour as a user would (Eye Wizard Options, Copy Eye
    /// Color, Hex Value) and reads it from the clipboard.
    QString copyEyeColour(int scale = 1);
    ~RunningProgram();
};

/// A session bus of the test's own with the desktop's accessibility bus
/// (at-spi2-core) on it, where a screen reader reads programs.
struct AccessibilityBus {
    QProcess bus;
    QProcess launcher;
    QString address;

    bool start();
    /// What a program started on it needs in its environment.
    QStringList environment() const;
    /// The windows of process pid as a screen reader reads them, once one
    /// named window shows (support/atspi_tree.py); empty when none does.
    QJsonArray windows(qint64 pid, const QString& window) const;
    ~AccessibilityBus();
};

/// A number printed by xwininfo or xprop after label.
QList<int> numbersAfter(const QString& text, const QString& label);

/// Where the window's client area lies on the screen.
QPoint clientOrigin(const QString& window);

/// Where a window lies on the screen and its size (xwininfo's reading).
QRect windowRect(const QString& window);

/// Where the pointer is on the screen.
QPoint pointerPosition();

/// The window manager's frame around the window: left, right, top, bottom.
QList<int> frameExtents(const QString& window);

/// The window manager's _NET_WM_STATE of window.
QString windowState(const QString& window);

/// The colour on the screen at p, read from the X server.
QRgb screenPixel(QPoint p);

/// size bytes of noise, the same for the same seed.
QByteArray randomBytes(qsizetype size, quint32 seed);

/// A piece of the screen, read from the X server.
QImage screenArea(const QRect& area);

/// The columns and rows of area's pixels that ink(colour) accepts.
QRect inkBounds(const QImage& area, const std::function<bool(QRgb)>& ink);

/// The window ids of the root window's property, bottom to top.
QStringList rootWindows(const char* property);

/// The program's visible windows.
QStringList visibleWindows(const RunningProgram& p);

/// A visible window of the program that is not among before, or empty.
QString newWindow(const RunningProgram& p, const QStringList& before);

/// Waits for the program to end; true when it ended normally with 0.
bool endedCleanly(RunningProgram& p);

/// Clicks Exit; true when the program then ends normally with 0.
bool exitByButton(RunningProgram& p);

/// Dismisses the "Mirabou" message box if one shows; true if one did.
bool dismissErrorBox();

} // namespace testsupport
