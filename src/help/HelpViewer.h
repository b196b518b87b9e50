#pragma once

#include "help/ChmFile.h"

#include <QLabel>
#include <QTextBrowser>
#include <QWidget>
#include <memory>

class QListWidget;
class QLineEdit;
class QTabWidget;
class QTreeWidget;

namespace help {

/// Draws the pages of a compiled help file: pages, pictures and relative
/// links are read from inside the file.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    ChmBrowser(std::shared_ptr<ChmFile> file, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::shared_ptr<ChmFile> m_file;
};

/// The help viewer window: contents, index and the topic pages of one file.
/// It has no owner, so it stays open on its own, and it remembers nothing.
class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(std::shared_ptr<ChmFile> file);

    void showContents();
    /// Shows the index; a keyword opens the first entry that starts with it.
    void showIndex(const QString& keyword);
    /// Shows a page of the file; false when it is not in the file.
    bool showTopic(const QString& page);
    /// Shows the page of a context number; false when the file maps none.
    bool showContext(quint32 id) { return showTopic(m_file->topicForContext(id)); }

    QTreeWidget* contentsTree() const { return m_contents; }
    QListWidget* indexList() const { return m_index; }
    ChmBrowser* browser() const { return m_browser; }
    QTabWidget* tabs() const { return m_tabs; }

protected:
    void changeEvent(QEvent* event) override;

private:
    /// The viewer's own texts in the language of the installed translations.
    void retranslate();
    void filterIndex(const QString& text);

    std::shared_ptr<ChmFile> m_file;
    QTabWidget* m_tabs;
    QTreeWidget* m_contents;
    QLineEdit* m_indexFilter;
    QListWidget* m_index;
    ChmBrowser* m_browser;
};

/// A text popup: shown at a screen point, closed by the next click or key.
class TTextPopup : public QLabel {
    Q_OBJECT
public:
    TTextPopup(const QString& text, const QPoint& at);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

/// The viewer's HTML help entry: what the router's HTML help calls reach.
quintptr viewerHtmlHelp(const ChmLibrary& library, quintptr owner, const QString& file,
                        unsigned command, quintptr data);

/// Closes every viewer window and popup (also at program end).
void closeAllViewers();

/// The viewer windows open now.
QList<THelpViewer*> openViewers();

} // namespace help
