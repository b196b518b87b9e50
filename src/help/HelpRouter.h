#pragma once

#include "help/HelpHook.h"

#include <QObject>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace help {
/// The popup topic file inside the compiled help file.
inline constexpr char PopupTopicsFile[] = "CSHelp.txt";
} // namespace help

enum THelpType { htWinhelp = 0, htHTMLhelp = 1, htMixedMode = 2 };
enum TShowType { stDefault = 0, stMain = 1, stPopup = 2 };

/// The classic help engine's call: owner window, file, command, data.
/// Returns non-zero on success. No such engine exists on Linux: the
/// production version reports failure.
using WinHelpFunction =
    std::function<quintptr(quintptr owner, const QString& file, unsigned command, qintptr data)>;

/// Replaces the classic help engine (none restores the production one);
/// returns the previous one.
WinHelpFunction setWinHelpFunction(WinHelpFunction function);

/// Routes the application's help requests to the compiled HTML help viewer
/// or the classic help engine. There is at most one: it hooks itself in as
/// the application-wide help handler while it lives.
class THelpRouter : public QObject {
    Q_OBJECT
public:
    /// Throws std::runtime_error("Multiple instances of THelpRouter are not
    /// allowed") while another router is registered.
    explicit THelpRouter(QWidget* owner);
    ~THelpRouter() override;

    THelpType HelpType() const { return m_helpType; }
    void setHelpType(THelpType type);
    TShowType ShowType() const { return m_showType; }
    void setShowType(TShowType type) { m_showType = type; }
    QString Helpfile() const { return m_helpfile; }
    void setHelpfile(const QString& file) { m_helpfile = file; }
    QString CHMPopupTopics() const { return m_popupTopics; }
    void setCHMPopupTopics(const QString& topics) { m_popupTopics = topics; }
    bool ValidateID() const { return m_validateId; }
    void setValidateID(bool v) { m_validateId = v; }
    /// The owner's own handler, asked first.
    help::HelpHandler OnHelp;

    bool HandleHelp(quint16 command, qintptr data, bool& callHelp);
    bool ShowTextPopup(int x, int y, quint32 context, const QString& text);
    QString ResolveHelpFile() const;
    quintptr HelpOwnerWindow() const;
    QPoint popupPosition() const { return m_popupPos; }

    static THelpRouter* registered();

    /// The path rules: a file name's extension changed (or appended), and
    /// the folder part of a path.
    static QString changeExtension(const QString& file, const QString& extension);
    static QString extensionOf(const QString& file);
    static QString folderPart(const QString& path);

private:
    bool handleHtml(quint16 command, qintptr data, const QString& file);
    QWidget* activeWindow() const;

    QWidget* m_owner;
    THelpType m_helpType = htWinhelp;
    TShowType m_showType = stDefault;
    QString m_helpfile;
    QString m_popupTopics;
    bool m_validateId = false;
    help::HelpHandler m_previous;
    QPoint m_popupPos;
};
