#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGlobal>
#include <functional>

/// The HTML help viewer, bound at run time: the system's CHM reader library
/// is loaded on the first request that needs it and released once at program
/// end. The program starts and runs without it.
namespace help {

enum HtmlHelpCommand : unsigned {
    HH_DISPLAY_TOC = 1,
    HH_DISPLAY_INDEX = 2,
    HH_DISPLAY_TEXT_POPUP = 0x0E,
    HH_HELP_CONTEXT = 0x0F,
    HH_CLOSE_ALL = 0x12,
};

/// The description of a text popup handed with HH_DISPLAY_TEXT_POPUP.
struct HH_POPUP {
    int cbStruct = 52;
    quintptr hinst = 0;
    quint32 idString = 0; ///< context number of the popup text, 0 when pszText is given
    QString pszText;      ///< the popup text itself
    QPoint pt;            ///< screen position of the popup
    qint32 clrForeground = -1;
    qint32 clrBackground = -1;
    QRect rcMargins{QPoint(-1, -1), QPoint(-1, -1)};
    QString pszFont = QStringLiteral("MS Sans Serif, 8");
};

/// The HTML help call: owner window, file (null for none), command, data
/// (a number, or the address of an HH_POPUP or of a UTF-8 keyword). Returns a
/// non-zero handle on success, 0 on failure.
using HtmlHelpEntry =
    std::function<quintptr(quintptr owner, const QString& file, unsigned command, quintptr data)>;

bool ViewerLoaded();
/// Loads the library when it is not loaded yet; errors are swallowed.
bool LoadViewer();
/// True when the viewer's entry is bound (loading the library if needed).
bool ViewerAvailable();
/// Releases the library; called once at program end.
void UnloadViewer();
/// Calls the bound entry (0 when there is none).
quintptr HtmlHelp(quintptr owner, const QString& file, unsigned command, quintptr data);

/// How often a load of the library was attempted (for diagnostics and tests).
int viewerLoadAttempts();

/// Test seams: the library's file name, and a replacement entry that counts
/// as a loaded viewer (none to go back to the real one).
void setViewerLibraryName(const QString& name);
void setViewerOverride(HtmlHelpEntry entry);

} // namespace help
