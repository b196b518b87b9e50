#include "help/HelpViewer.h"

#include "help/Logging.h"

#include "help/ViewerLoader.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

namespace help {

namespace {

constexpr int PageRole = Qt::UserRole;

QUrl pageUrl(const QString& page) {
    QString p = page;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!p.startsWith(QLatin1Char('/')))
        p.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(QStringLiteral("chm"));
    url.setPath(p.section(QLatin1Char('#'), 0, 0));
    if (p.contains(QLatin1Char('#')))
        url.setFragment(p.section(QLatin1Char('#'), 1));
    return url;
}

/// The open viewers, one per help file, and the popups.
struct Registry {
    std::map<QString, QPointer<THelpViewer>> viewers;
    QList<QPointer<TTextPopup>> popups;
};

Registry& registry() {
    static Registry r;
    return r;
}

THelpViewer* viewerFor(const ChmLibrary& library, const QString& file) {
    const QString key = QFileInfo(file).absoluteFilePath();
    QPointer<THelpViewer>& slot = registry().viewers[key];
    if (slot)
        return slot;
    auto chm = std::make_shared<ChmFile>(library, file);
    if (!chm->isOpen()) {
        qCWarning(lcHelp) << "no help: the help file" << key << "cannot be opened";
        registry().viewers.erase(key);
        return nullptr;
    }
    slot = new THelpViewer(chm);
    return slot;
}

void present(THelpViewer* viewer) {
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

quintptr handleOf(QWidget* w) {
    return reinterpret_cast<quintptr>(w);
}

} // namespace

ChmBrowser::ChmBrowser(std::shared_ptr<ChmFile> file, QWidget* parent)
    : QTextBrowser(parent), m_file(std::move(file)) {
    setOpenExternalLinks(true);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("chm") || name.isRelative()) {
        const QUrl resolved = name.isRelative() ? source().resolved(name) : name;
        if (auto bytes = m_file->read(resolved.path()))
            return *bytes; // raw bytes: the page's own charset is honoured
        return {};
    }
    return QTextBrowser::loadResource(type, name);
}

THelpViewer::THelpViewer(std::shared_ptr<ChmFile> file)
    : QWidget(nullptr, Qt::Window), m_file(std::move(file)), m_tabs(new QTabWidget),
      m_contents(new QTreeWidget), m_indexFilter(new QLineEdit), m_index(new QListWidget),
      m_browser(new ChmBrowser(m_file)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mirabou Help"));
    resize(820, 560);

    m_contents->setObjectName(QStringLiteral("contents"));
    m_contents->setHeaderHidden(true);
    std::vector<QTreeWidgetItem*> parents;
    for (const SitemapEntry& e : m_file->contents()) {
        parents.resize(std::min<std::size_t>(parents.size(), std::size_t(e.depth)));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.back());
        item->setText(0, e.name);
        item->setData(0, PageRole, e.local);
        parents.push_back(item);
    }
    m_contents->expandAll();
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, PageRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, PageRole).toString()); });

    m_index->setObjectName(QStringLiteral("index"));
    for (const SitemapEntry& e : m_file->index()) {
        auto* item = new QListWidgetItem(e.name, m_index);
        item->setData(PageRole, e.local);
    }
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(PageRole).toString()); });
    m_indexFilter->setObjectName(QStringLiteral("keyword"));
    connect(m_indexFilter, &QLineEdit::textEdited, this, &THelpViewer::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = m_index->currentItem())
            showTopic(item->data(PageRole).toString());
    });

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index);
    m_tabs->addTab(m_contents, QString());
    m_tabs->addTab(indexPage, QString());
    retranslate();

    m_browser->setObjectName(QStringLiteral("topic"));
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        // The start page is titled as the viewer is: name it once.
        const QString viewer = QStringLiteral("Mirabou Help");
        const QString title = m_browser->documentTitle().trimmed();
        setWindowTitle(title.isEmpty() || title.compare(viewer, Qt::CaseInsensitive) == 0
                           ? viewer
                           : title + QStringLiteral(" - ") + viewer);
        // A screen reader names the page by its title.
        m_browser->setAccessibleName(title.isEmpty() ? viewer : title);
    });

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void THelpViewer::retranslate() {
    m_tabs->setTabText(0, tr("Contents"));
    m_tabs->setTabText(1, tr("Index"));
    m_indexFilter->setPlaceholderText(tr("Keyword"));
    // What a screen reader says for each: the words the tabs and the box show.
    m_contents->setAccessibleName(tr("Contents"));
    m_index->setAccessibleName(tr("Index"));
    m_indexFilter->setAccessibleName(tr("Keyword"));
}

void THelpViewer::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void THelpViewer::showContents() {
    m_tabs->setCurrentIndex(0);
    if (m_browser->source().isEmpty())
        showTopic(m_file->defaultTopic());
}

void THelpViewer::filterIndex(const QString& text) {
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem* item = m_index->item(i);
        if (item->text().startsWith(text, Qt::CaseInsensitive)) {
            m_index->setCurrentItem(item);
            m_index->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void THelpViewer::showIndex(const QString& keyword) {
    m_tabs->setCurrentIndex(1);
    if (keyword.isEmpty()) {
        if (m_browser->source().isEmpty())
            showTopic(m_file->defaultTopic());
        return;
    }
    m_indexFilter->setText(keyword);
    filterIndex(keyword);
    if (QListWidgetItem* item = m_index->currentItem())
        showTopic(item->data(PageRole).toString());
}

bool THelpViewer::showTopic(const QString& page) {
    if (page.isEmpty() || !m_file->contains(pageUrl(page).path())) {
        qCInfo(lcHelp) << "no topic" << page << "in the help file";
        return false;
    }
    m_browser->setSource(pageUrl(page), QTextDocument::HtmlResource);
    return true;
}

TTextPopup::TTextPopup(const QString& text, const QPoint& at)
    : QLabel(text, nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("HelpPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMaximumWidth(360);
    setMargin(8);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    adjustSize();
    move(at);
}

void TTextPopup::mousePressEvent(QMouseEvent*) {
    close();
}

void TTextPopup::keyPressEvent(QKeyEvent*) {
    close();
}

quintptr viewerHtmlHelp(const ChmLibrary& library, quintptr, const QString& file, unsigned command,
                        quintptr data) {
    switch (command) {
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_HELP_CONTEXT: {
        THelpViewer* viewer = viewerFor(library, file);
        if (!viewer)
            return 0;
        if (command == HH_DISPLAY_TOC) {
            viewer->showContents();
        } else if (command == HH_DISPLAY_INDEX) {
            // The data of an index request is the address of a keyword.
            const auto* keyword =
                reinterpret_cast<const char*>(data); // NOLINT(performance-no-int-to-ptr)
            viewer->showIndex(keyword ? QString::fromUtf8(keyword) : QString());
        } else {
            if (!viewer->showContext(quint32(data))) {
                if (!viewer->isVisible())
                    viewer->close();
                return 0;
            }
        }
        present(viewer);
        return handleOf(viewer);
    }
    case HH_DISPLAY_TEXT_POPUP: {
        const auto* popup =
            reinterpret_cast<const HH_POPUP*>(data); // NOLINT(performance-no-int-to-ptr)
        if (!popup)
            return 0;
        QString text = popup->pszText;
        if (popup->idString != 0) {
            // "<file>.chm::/<topics file>"
            const qsizetype sep = file.indexOf(QLatin1String("::"));
            if (sep < 0)
                return 0;
            ChmFile chm(library, file.left(sep));
            const auto topics = chm.read(file.mid(sep + 2));
            if (!topics)
                return 0;
            text = parsePopupTopics(*topics).value(popup->idString);
            if (text.isEmpty())
                return 0;
        }
        auto* shown = new TTextPopup(text, popup->pt);
        registry().popups.append(shown);
        shown->show();
        return handleOf(shown);
    }
    case HH_CLOSE_ALL:
        closeAllViewers();
        return 1;
    default:
        return 0;
    }
}

void closeAllViewers() {
    Registry& r = registry();
    for (auto& [file, viewer] : r.viewers) {
        if (viewer)
            delete viewer.data();
    }
    r.viewers.clear();
    for (QPointer<TTextPopup>& popup : r.popups) {
        if (popup)
            delete popup.data();
    }
    r.popups.clear();
}

QList<THelpViewer*> openViewers() {
    QList<THelpViewer*> out;
    for (auto& [file, viewer] : registry().viewers) {
        if (viewer)
            out << viewer.data();
    }
    return out;
}

} // namespace help
