#include "help/HelpRouter.h"

#include "help/ViewerLoader.h"

#include <QApplication>
#include <QCursor>
#include <QWindow>
#include <stdexcept>

using namespace help;

namespace {

THelpRouter*& registeredRouter() {
    static THelpRouter* router = nullptr;
    return router;
}

quintptr noWinHelp(quintptr, const QString&, unsigned, qintptr) {
    return 0;
}

WinHelpFunction& winHelp() {
    static WinHelpFunction f = noWinHelp;
    return f;
}

} // namespace

WinHelpFunction setWinHelpFunction(WinHelpFunction function) {
    WinHelpFunction previous = std::move(winHelp());
    winHelp() = function ? std::move(function) : WinHelpFunction(noWinHelp);
    return previous;
}

THelpRouter::THelpRouter(QWidget* owner) : QObject(owner), m_owner(owner) {
    if (registeredRouter())
        throw std::runtime_error("Multiple instances of THelpRouter are not allowed");
    m_previous = setApplicationHelpHandler([this](quint16 command, qintptr data, bool& callHelp) {
        return HandleHelp(command, data, callHelp);
    });
    registeredRouter() = this;
    m_showType = stDefault;
    m_popupTopics = QLatin1String(PopupTopicsFile);
}

THelpRouter::~THelpRouter() {
    setApplicationHelpHandler(m_previous);
    registeredRouter() = nullptr;
}

THelpRouter* THelpRouter::registered() {
    return registeredRouter();
}

void THelpRouter::setHelpType(THelpType type) {
    if (type != m_helpType)
        m_helpType = type;
}

QString THelpRouter::extensionOf(const QString& file) {
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const qsizetype sep =
        std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char(':')));
    return dot < 0 || dot < sep ? QString() : file.mid(dot);
}

QString THelpRouter::changeExtension(const QString& file, const QString& extension) {
    return file.left(file.size() - extensionOf(file).size()) + extension;
}

QString THelpRouter::folderPart(const QString& path) {
    const qsizetype sep =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char(':')));
    return path.left(sep + 1);
}

QWidget* THelpRouter::activeWindow() const {
    QWidget* active = QApplication::activeWindow();
    return active ? active : m_owner;
}

QString THelpRouter::ResolveHelpFile() const {
    if (!m_helpfile.isEmpty())
        return m_helpfile;
    QString file = applicationHelpFile();
    QWidget* active = activeWindow();
    if (active && active->windowHandle()) {
        const QString own = active->property("helpFile").toString();
        if (!own.isEmpty())
            file = own;
    }
    return file;
}

quintptr THelpRouter::HelpOwnerWindow() const {
    QWidget* active = activeWindow();
    if (active && active->windowHandle())
        return quintptr(active->windowHandle()->winId());
    return m_owner && m_owner->window()->windowHandle()
               ? quintptr(m_owner->window()->windowHandle()->winId())
               : 0;
}

bool THelpRouter::HandleHelp(quint16 command, qintptr data, bool& callHelp) {
    bool handled = false;
    if (OnHelp) {
        handled = OnHelp(command, data, callHelp);
        if (!callHelp)
            return handled;
    }
    if (m_previous) {
        handled = m_previous(command, data, callHelp);
        if (!callHelp)
            return handled;
    }
    QString file = ResolveHelpFile();
    if (m_showType == stMain) {
        if (command == HELP_CONTEXTPOPUP)
            command = HELP_CONTEXT;
        else if (command == HELP_SETPOPUP_POS)
            command = 0;
    }
    const bool popupCommand = command == HELP_CONTEXTPOPUP || command == HELP_SETPOPUP_POS;
    const bool html = m_helpType == htHTMLhelp || (m_helpType == htMixedMode && !popupCommand);

    if (html) {
        if (!ViewerLoaded() && command == HELP_QUIT) {
            callHelp = false;
            return true; // the library is not loaded just to close it
        }
        if (!ViewerAvailable())
            return handled; // not consumed: the request goes on
        handled = handleHtml(command, data, changeExtension(file, QStringLiteral(".chm")));
        callHelp = false;
        return handled;
    }

    if (command == 0) {
        handled = true;
    } else {
        if (command == HELP_CONTEXTPOPUP && m_helpType == htMixedMode &&
            extensionOf(m_popupTopics).toLower() == QLatin1String(".hlp")) {
            file = folderPart(m_popupTopics).isEmpty() ? folderPart(file) + m_popupTopics
                                                       : m_popupTopics;
        }
        handled = winHelp()(HelpOwnerWindow(), changeExtension(file, QStringLiteral(".hlp")),
                            command, data) != 0;
    }
    callHelp = false;
    return handled;
}

bool THelpRouter::handleHtml(quint16 command, qintptr data, const QString& file) {
    switch (command) {
    case HELP_CONTEXT:
        return HtmlHelp(0, file, HH_HELP_CONTEXT, quintptr(data)) != 0;
    case HELP_QUIT:
        return HtmlHelp(0, QString(), HH_CLOSE_ALL, 0) != 0;
    case HELP_CONTENTS:
    case HELP_FINDER:
        return HtmlHelp(0, file, HH_DISPLAY_TOC, 0) != 0;
    case HELP_TAB:
        return HtmlHelp(0, file, data == 0 ? HH_DISPLAY_TOC : HH_DISPLAY_INDEX, 0) != 0;
    case HELP_KEY:
    case HELP_PARTIALKEY:
        return HtmlHelp(0, file, HH_DISPLAY_INDEX, quintptr(data)) != 0;
    case HELP_SETPOPUP_POS:
        m_popupPos = QPoint(qint16(quint32(data) & 0xFFFF), qint16((quint32(data) >> 16) & 0xFFFF));
        return false;
    case HELP_CONTEXTPOPUP:
        if (m_popupPos.isNull())
            m_popupPos = QCursor::pos();
        ShowTextPopup(m_popupPos.x(), m_popupPos.y(), quint32(data), QString());
        m_popupPos = QPoint();
        return true;
    default:
        return false;
    }
}

bool THelpRouter::ShowTextPopup(int x, int y, quint32 context, const QString& text) {
    if (!ViewerAvailable())
        return false;
    HH_POPUP popup;
    popup.idString = text.isEmpty() ? context : 0;
    popup.pszText = text;
    popup.pt = QPoint(x, y);
    quintptr result;
    if (popup.idString != 0) {
        if (m_popupTopics.isEmpty())
            m_popupTopics = QLatin1String(PopupTopicsFile);
        const QString popupFile = changeExtension(ResolveHelpFile(), QStringLiteral(".chm")) +
                                  QStringLiteral("::/") + m_popupTopics;
        result = HtmlHelp(HelpOwnerWindow(), popupFile, HH_DISPLAY_TEXT_POPUP,
                          reinterpret_cast<quintptr>(&popup));
    } else {
        result = HtmlHelp(HelpOwnerWindow(), QString(), HH_DISPLAY_TEXT_POPUP,
                          reinterpret_cast<quintptr>(&popup));
    }
    return result != 0;
}
