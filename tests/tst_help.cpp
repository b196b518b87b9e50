#include "app/Program.h"
#include "help/HelpRouter.h"
#include "help/HelpViewer.h"
#include "help/ViewerLoader.h"
#include "i18n/ToolkitTexts.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace help;
using namespace testsupport;

namespace {

struct Call {
    quintptr owner;
    QString file;
    unsigned command;
    quintptr data;
    HH_POPUP popup; // a copy, for text popups
};

/// Stands in for the HTML help viewer and the classic help engine, and
/// records what they are asked.
struct Recorder {
    QList<Call> html;
    QList<Call> classic;
    quintptr answer = 1;

    Recorder() {
        setViewerOverride([this](quintptr owner, const QString& file, unsigned command,
                                 quintptr data) {
            Call c{owner, file, command, data, {}};
            if (command == HH_DISPLAY_TEXT_POPUP && data)
                c.popup =
                    *reinterpret_cast<const HH_POPUP*>(data); // NOLINT(performance-no-int-to-ptr)
            html << c;
            return answer;
        });
        setWinHelpFunction(
            [this](quintptr owner, const QString& file, unsigned command, qintptr data) {
                classic << Call{owner, file, command, quintptr(data), {}};
                return answer;
            });
    }
    ~Recorder() {
        setViewerOverride(nullptr);
        setWinHelpFunction(nullptr);
    }
};

/// A router hooked into the application, owned by a window of its own.
struct Routed {
    QWidget owner;
    THelpRouter router{&owner};
    explicit Routed(THelpType type = htHTMLhelp) {
        router.setHelpType(type);
        router.setHelpfile(QStringLiteral("/f/Help.chm"));
    }
    bool send(quint16 command, qintptr data, bool* callHelp = nullptr) {
        bool call = true;
        const bool handled = router.HandleHelp(command, data, call);
        if (callHelp)
            *callHelp = call;
        return handled;
    }
};

qintptr packPoint(int x, int y) {
    return qintptr((quint32(quint16(qint16(y))) << 16) | quint16(qint16(x)));
}

} // namespace

class tst_Help : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void htmlRouting_data();
    void htmlRouting();
    void popupPosition();
    void popupWithoutContext();
    void showTypeMain();
    void mixedMode_data();
    void mixedMode();
    void winHelpMode();
    void quitWithoutLibrary();
    void missingLibraryTriesAgain();
    void handlersBefore();
    void secondRouterFails();
    void helpButtonSendsFinder();
    void viewerShowsTheFile();
    void viewerContextAndIndex();
    void viewerPopups();
    void badFiles_data();
    void badFiles();

private:
    QTemporaryDir m_dir;
    QString m_chm;
};

void tst_Help::initTestCase() {
    // A real compiled help file, built here from the program's help sources.
    QVERIFY2(!QString::fromUtf8(MIRABOU_CHMCMD).isEmpty(),
             "chmcmd is missing: run 'make test' to install fp-utils");
    const QString work = m_dir.filePath(QStringLiteral("help"));
    QVERIFY(QDir().mkpath(work + QStringLiteral("/images")));
    const QDir sources(QStringLiteral(MIRABOU_RESOURCES "/help"));
    for (QString f : sources.entryList(QDir::Files)) { // "about.htm.in" as "about.htm"
        const QString from = sources.filePath(f);
        if (f.endsWith(QLatin1String(".in")))
            f.chop(3);
        QVERIFY(QFile::copy(from, work + '/' + f));
    }
    for (const QString& f : QDir(sources.filePath("images")).entryList(QDir::Files))
        QVERIFY(QFile::copy(sources.filePath("images/" + f), work + "/images/" + f));
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(work);
    chmcmd.start(QStringLiteral(MIRABOU_CHMCMD), {QStringLiteral("Mirabou.hhp")});
    QVERIFY(chmcmd.waitForFinished(60000));
    m_chm = work + QStringLiteral("/Mirabou.chm");
    QVERIFY2(QFile::exists(m_chm), chmcmd.readAll().constData());
}

void tst_Help::htmlRouting_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<qintptr>("data");
    QTest::addColumn<int>("hh"); // -1: no call
    QTest::addColumn<QString>("file");
    QTest::addColumn<qintptr>("hhData");
    QTest::addColumn<bool>("handled");
    static const char keyword[] = "Eye";
    const QString chm = QStringLiteral("/f/Help.chm");
    QTest::newRow("context") << int(HELP_CONTEXT) << qintptr(1005) << int(HH_HELP_CONTEXT) << chm
                             << qintptr(1005) << true;
    QTest::newRow("contents") << int(HELP_CONTENTS) << qintptr(0) << int(HH_DISPLAY_TOC) << chm
                              << qintptr(0) << true;
    QTest::newRow("finder") << int(HELP_FINDER) << qintptr(0) << int(HH_DISPLAY_TOC) << chm
                            << qintptr(0) << true;
    QTest::newRow("tab 0") << int(HELP_TAB) << qintptr(0) << int(HH_DISPLAY_TOC) << chm
                           << qintptr(0) << true;
    QTest::newRow("tab 2") << int(HELP_TAB) << qintptr(2) << int(HH_DISPLAY_INDEX) << chm
                           << qintptr(0) << true;
    QTest::newRow("key") << int(HELP_KEY) << qintptr(keyword) << int(HH_DISPLAY_INDEX) << chm
                         << qintptr(keyword) << true;
    QTest::newRow("partial key") << int(HELP_PARTIALKEY) << qintptr(keyword)
                                 << int(HH_DISPLAY_INDEX) << chm << qintptr(keyword) << true;
    QTest::newRow("quit when loaded")
        << int(HELP_QUIT) << qintptr(0) << int(HH_CLOSE_ALL) << QString() << qintptr(0) << true;
    QTest::newRow("unknown 4") << 4 << qintptr(0) << -1 << QString() << qintptr(0) << false;
    QTest::newRow("zero") << 0 << qintptr(0) << -1 << QString() << qintptr(0) << false;
}

void tst_Help::htmlRouting() {
    QFETCH(int, command);
    QFETCH(qintptr, data);
    QFETCH(int, hh);
    QFETCH(QString, file);
    QFETCH(qintptr, hhData);
    QFETCH(bool, handled);
    Recorder rec;
    Routed r;
    QVERIFY(LoadViewer()); // HELP_QUIT reaches a loaded viewer only
    bool callHelp = true;
    QCOMPARE(r.send(quint16(command), data, &callHelp), handled);
    QVERIFY(!callHelp); // consumed
    QVERIFY(rec.classic.isEmpty());
    if (hh < 0) {
        QVERIFY(rec.html.isEmpty());
        return;
    }
    QCOMPARE(rec.html.size(), 1);
    QCOMPARE(rec.html[0].owner, quintptr(0));
    QCOMPARE(rec.html[0].command, unsigned(hh));
    QCOMPARE(rec.html[0].file, file);
    QCOMPARE(rec.html[0].data, quintptr(hhData));
    rec.answer = 0; // the viewer fails: consumed, not handled
    QVERIFY(!r.send(quint16(command), data, &callHelp));
    QVERIFY(!callHelp);
}

void tst_Help::popupPosition() {
    Recorder rec;
    Routed r;
    r.router.setHelpfile(QStringLiteral("/f/Help")); // no extension: ".chm" is added
    QVERIFY(!r.send(HELP_SETPOPUP_POS, packPoint(-5, 300)));
    QVERIFY(rec.html.isEmpty());
    QCOMPARE(r.router.popupPosition(), QPoint(-5, 300));
    rec.answer = 0; // handled whatever the popup call returns
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 2004));
    QCOMPARE(rec.html.size(), 1);
    QCOMPARE(rec.html[0].command, unsigned(HH_DISPLAY_TEXT_POPUP));
    QCOMPARE(rec.html[0].file, QStringLiteral("/f/Help.chm::/CSHelp.txt"));
    QCOMPARE(rec.html[0].popup.idString, quint32(2004));
    QCOMPARE(rec.html[0].popup.pt, QPoint(-5, 300));
    QCOMPARE(rec.html[0].popup.cbStruct, 52);
    QCOMPARE(rec.html[0].popup.clrForeground, -1);
    QCOMPARE(rec.html[0].popup.pszFont, QStringLiteral("MS Sans Serif, 8"));
    QCOMPARE(r.router.popupPosition(), QPoint());
    // The next popup without a position request opens at the pointer.
    QCursor::setPos(QPoint(123, 45));
    const QPoint pointer = QCursor::pos();
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 2005));
    QCOMPARE(rec.html[1].popup.pt, pointer);
}

void tst_Help::popupWithoutContext() {
    Recorder rec;
    Routed r;
    r.send(HELP_SETPOPUP_POS, packPoint(10, 20));
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 0));
    QCOMPARE(rec.html.size(), 1);
    QVERIFY(rec.html[0].file.isNull()); // no topic file is named
    QCOMPARE(rec.html[0].popup.idString, quint32(0));
    QCOMPARE(rec.html[0].popup.pszText, QString());
    QVERIFY(r.router.ShowTextPopup(1, 2, 77, QStringLiteral("Given")));
    QCOMPARE(rec.html[1].popup.idString, quint32(0));
    QCOMPARE(rec.html[1].popup.pszText, QStringLiteral("Given"));
}

void tst_Help::showTypeMain() {
    Recorder rec;
    Routed r;
    r.router.setShowType(stMain);
    QVERIFY(!r.send(HELP_SETPOPUP_POS, packPoint(1, 1)));
    QVERIFY(rec.html.isEmpty());
    QCOMPARE(r.router.popupPosition(), QPoint());
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 1003));
    QCOMPARE(rec.html.size(), 1);
    QCOMPARE(rec.html[0].command, unsigned(HH_HELP_CONTEXT));
    QCOMPARE(rec.html[0].data, quintptr(1003));
    r.router.setShowType(stPopup); // routes as the default
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 1003));
    QCOMPARE(rec.html[1].command, unsigned(HH_DISPLAY_TEXT_POPUP));
}

void tst_Help::mixedMode_data() {
    QTest::addColumn<QString>("topics");
    QTest::addColumn<QString>("popupFile");
    QTest::newRow("classic popup file") << "Popups.HLP"
                                        << "/f/Popups.hlp";
    QTest::newRow("topic file in the chm") << "CSHelp.txt"
                                           << "/f/Help.hlp";
    QTest::newRow("classic file with folder") << "/g/Pop.hlp"
                                              << "/g/Pop.hlp";
}

void tst_Help::mixedMode() {
    QFETCH(QString, topics);
    QFETCH(QString, popupFile);
    Recorder rec;
    Routed r(htMixedMode);
    r.router.setCHMPopupTopics(topics);
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 42));
    QCOMPARE(rec.classic.size(), 1);
    QCOMPARE(rec.classic[0].file, popupFile);
    QCOMPARE(rec.classic[0].command, unsigned(HELP_CONTEXTPOPUP));
    QCOMPARE(rec.classic[0].data, quintptr(42));
    QCOMPARE(rec.classic[0].owner, r.router.HelpOwnerWindow());
    QVERIFY(r.send(HELP_SETPOPUP_POS, 5));
    QCOMPARE(rec.classic[1].file, QStringLiteral("/f/Help.hlp"));
    QVERIFY(r.send(HELP_FINDER, 0));
    QCOMPARE(rec.html.size(), 1);
    QCOMPARE(rec.html[0].file, QStringLiteral("/f/Help.chm"));
}

void tst_Help::winHelpMode() {
    Recorder rec;
    Routed r(htWinhelp);
    for (quint16 command : {quint16(HELP_CONTEXT), quint16(HELP_FINDER), quint16(HELP_QUIT),
                            quint16(HELP_CONTEXTPOPUP), quint16(4)})
        QVERIFY(r.send(command, 7));
    QCOMPARE(rec.classic.size(), 5);
    for (const Call& c : rec.classic)
        QCOMPARE(c.file, QStringLiteral("/f/Help.hlp"));
    QVERIFY(rec.html.isEmpty());
    bool callHelp = true;
    QVERIFY(r.send(0, 0, &callHelp)); // nothing to show: handled, no call
    QVERIFY(!callHelp);
    QCOMPARE(rec.classic.size(), 5);
    // The production engine does not exist here: it reports failure.
    setWinHelpFunction(nullptr);
    QVERIFY(!r.send(HELP_CONTEXT, 1, &callHelp));
    QVERIFY(!callHelp);
}

void tst_Help::quitWithoutLibrary() {
    UnloadViewer();
    setViewerLibraryName(QStringLiteral("libmirabou-no-such-library.so.1"));
    Routed r;
    const int before = viewerLoadAttempts();
    bool callHelp = true;
    QVERIFY(r.send(HELP_QUIT, 0, &callHelp));
    QVERIFY(!callHelp);
    QCOMPARE(viewerLoadAttempts(), before); // not loaded just to close it
    setViewerLibraryName(QStringLiteral("libchm.so.1"));
}

void tst_Help::missingLibraryTriesAgain() {
    UnloadViewer();
    setViewerLibraryName(QStringLiteral("libmirabou-no-such-library.so.1"));
    Routed r;
    const int before = viewerLoadAttempts();
    bool callHelp = true;
    QVERIFY(!r.send(HELP_FINDER, 0, &callHelp));
    QVERIFY(callHelp); // not consumed
    QVERIFY(openViewers().isEmpty());
    QVERIFY(!r.router.ShowTextPopup(0, 0, 1, {}));
    r.send(HELP_FINDER, 0, &callHelp);
    QCOMPARE(viewerLoadAttempts(), before + 3);
    QVERIFY(!ViewerLoaded());
    setViewerLibraryName(QStringLiteral("libchm.so.1"));
}

void tst_Help::handlersBefore() {
    Recorder rec;
    QList<int> previousCalls;
    setApplicationHelpHandler([&](quint16 command, qintptr, bool& callHelp) {
        previousCalls << command;
        if (command == HELP_CONTEXT)
            callHelp = false; // consumed before the router
        return true;
    });
    {
        Routed r;
        QVERIFY(applicationHelpCommand(HELP_CONTEXT, 5));
        QVERIFY(rec.html.isEmpty());
        QVERIFY(applicationHelpCommand(HELP_FINDER, 0));
        QCOMPARE(rec.html.size(), 1);
        QCOMPARE(previousCalls, (QList<int>{HELP_CONTEXT, HELP_FINDER}));

        r.router.OnHelp = [](quint16, qintptr, bool& callHelp) {
            callHelp = false;
            return false;
        };
        QVERIFY(!applicationHelpCommand(HELP_FINDER, 0));
        QCOMPARE(rec.html.size(), 1);
        QCOMPARE(previousCalls.size(), 2);
    }
    // The router put the previous handler back.
    applicationHelpCommand(HELP_TAB, 0);
    QCOMPARE(previousCalls.last(), int(HELP_TAB));
    setApplicationHelpHandler(nullptr);
}

void tst_Help::secondRouterFails() {
    Recorder rec;
    Routed first;
    QWidget other;
    try {
        THelpRouter second(&other);
        QFAIL("a second router was created");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QStringLiteral("Multiple instances of THelpRouter are not allowed"));
    }
    QCOMPARE(THelpRouter::registered(), &first.router);
    QVERIFY(applicationHelpCommand(HELP_FINDER, 0));
    QCOMPARE(rec.html.size(), 1);
}

void tst_Help::helpButtonSendsFinder() {
    Recorder rec;
    QTemporaryDir dir;
    Program program(dir.path() + '/', fakeScreenFactory(std::make_shared<FakeScreen>()));
    QVERIFY(showActive(&program.form1));
    auto* button = child<QToolButton>(&program.form1, "SpeedButton2");
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(rec.html.size(), 1);
    QCOMPARE(rec.html[0].command, unsigned(HH_DISPLAY_TOC));
    QCOMPARE(rec.html[0].file, dir.path() + QStringLiteral("/Mirabou.chm"));
}

void tst_Help::viewerShowsTheFile() {
    UnloadViewer();
    QVERIFY(HtmlHelp(0, m_chm, HH_DISPLAY_TOC, 0) == 0); // nothing bound yet
    QVERIFY2(ViewerAvailable(), "libchm1 is missing: run 'make test' to install it");
    QVERIFY(HtmlHelp(0, m_chm, HH_DISPLAY_TOC, 0) != 0);
    QCOMPARE(openViewers().size(), 1);
    THelpViewer* viewer = openViewers().first();
    QVERIFY(viewer->isVisible());
    QVERIFY(!viewer->parentWidget());
    QTreeWidget* toc = viewer->contentsTree();
    QCOMPARE(toc->topLevelItemCount(), 1);
    QCOMPARE(toc->topLevelItem(0)->text(0), QStringLiteral("Mirabou Help"));
    QCOMPARE(toc->topLevelItem(0)->childCount(), 12);
    QCOMPARE(toc->topLevelItem(0)->child(4)->text(0), QStringLiteral("Colour notations"));
    QCOMPARE(toc->topLevelItem(0)->child(5)->text(0), QStringLiteral("History and palettes"));
    QCOMPARE(toc->topLevelItem(0)->child(6)->text(0),
             QStringLiteral("The Eye Wizard and the eye colour"));
    QCOMPARE(toc->topLevelItem(0)->child(7)->text(0), QStringLiteral("Contrast"));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("small colour utility")));
    const QVariant picture = viewer->browser()->loadResource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/mirabou.png")));
    QVERIFY(QImage::fromData(picture.toByteArray()).size() == QSize(64, 64));
    // The Palettes window's picture, in its topic.
    viewer->browser()->setSource(QUrl(QStringLiteral("palettes.htm")));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("flattened")));
    QCOMPARE(QImage::fromData(viewer->browser()
                                  ->loadResource(QTextDocument::ImageResource,
                                                 QUrl(QStringLiteral("images/palettes.png")))
                                  .toByteArray())
                 .size(),
             QSize(620, 360));
    // A relative link inside the file.
    viewer->browser()->setSource(QUrl(QStringLiteral("views.htm")));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("The views of the colour")));
    // Its own texts follow the chosen language while it is open.
    const auto* keyword = viewer->findChild<QLineEdit*>(QStringLiteral("keyword"));
    i18n::applyToolkitLocale(QStringLiteral("fr"));
    QTRY_COMPARE(viewer->tabs()->tabText(0), QStringLiteral("Sommaire")); // a posted event
    QCOMPARE(keyword->placeholderText(), QStringLiteral("Mot-clé"));
    i18n::applyToolkitLocale(QString());
    QTRY_COMPARE(viewer->tabs()->tabText(0), QStringLiteral("Contents"));
    QCOMPARE(keyword->placeholderText(), QStringLiteral("Keyword"));
    // The same file again reuses its window.
    QVERIFY(HtmlHelp(0, m_chm, HH_DISPLAY_TOC, 0) != 0);
    QCOMPARE(openViewers().size(), 1);
    QCOMPARE(HtmlHelp(0, QString(), HH_CLOSE_ALL, 0), quintptr(1));
    QVERIFY(openViewers().isEmpty());
}

void tst_Help::viewerContextAndIndex() {
    QVERIFY(ViewerAvailable());
    i18n::applyToolkitLocale(QStringLiteral("es")); // a viewer opened in a chosen language
    QVERIFY(HtmlHelp(0, m_chm, HH_HELP_CONTEXT, 1005) != 0);
    THelpViewer* viewer = openViewers().first();
    QCOMPARE(viewer->tabs()->tabText(1), QStringLiteral("Índice"));
    i18n::applyToolkitLocale(QString());
    QCOMPARE(viewer->browser()->source().path(), QStringLiteral("/eyewizard.htm"));
    // The Eye Wizard's topic tells of the contrast label and the Sample Size
    // submenu, with a picture of the label from the file.
    const QString topic = viewer->browser()->toPlainText();
    for (const char* told :
         {"Contrast while you pick", "4.47:1", "Sample Size", "rounded half up", "--sample 3"})
        QVERIFY2(topic.contains(QLatin1String(told)), told);
    const QVariant label = viewer->browser()->loadResource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/magnifier-contrast.png")));
    QVERIFY(!QImage::fromData(label.toByteArray()).isNull());
    QCOMPARE(HtmlHelp(0, m_chm, HH_HELP_CONTEXT, 9999), quintptr(0));
    const QByteArray keyword = "settings";
    QVERIFY(HtmlHelp(0, m_chm, HH_DISPLAY_INDEX, quintptr(keyword.constData())) != 0);
    QCOMPARE(viewer->tabs()->currentIndex(), 1);
    QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("Settings file"));
    QCOMPARE(viewer->browser()->source().path(), QStringLiteral("/settings.htm"));
    const QByteArray sampling = "Sample Size";
    QVERIFY(HtmlHelp(0, m_chm, HH_DISPLAY_INDEX, quintptr(sampling.constData())) != 0);
    QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("Sample Size"));
    QCOMPARE(viewer->browser()->source().path(), QStringLiteral("/eyewizard.htm"));
    closeAllViewers();

    // Through the router, as the program sends it.
    Routed r;
    r.router.setHelpfile(m_chm);
    QVERIFY(r.send(HELP_CONTEXT, 1004));
    QCOMPARE(openViewers().first()->browser()->source().path(), QStringLiteral("/clipboard.htm"));
    QVERIFY(r.send(HELP_QUIT, 0));
    QVERIFY(openViewers().isEmpty());
}

void tst_Help::viewerPopups() {
    QVERIFY(ViewerAvailable());
    Routed r;
    r.router.setHelpfile(m_chm);
    r.send(HELP_SETPOPUP_POS, packPoint(100, 120));
    QVERIFY(r.send(HELP_CONTEXTPOPUP, 2004));
    auto* popup = qobject_cast<TTextPopup*>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QVERIFY(popup->text().contains(QStringLiteral("swatch")));
    QCOMPARE(popup->pos(), QPoint(100, 120));
    QTest::keyClick(popup, Qt::Key_Space);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    QVERIFY(r.router.ShowTextPopup(10, 10, 0, QStringLiteral("Hello")));
    popup = qobject_cast<TTextPopup*>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QCOMPARE(popup->text(), QStringLiteral("Hello"));
    QTest::mouseClick(popup, Qt::LeftButton);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(!r.router.ShowTextPopup(10, 10, 31337, {})); // no such topic
}

void tst_Help::badFiles_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file
    QByteArray chm = readFile(m_chm);
    QRandomGenerator rng(3);
    QByteArray random(64 << 10, '\0');
    for (char& c : random)
        c = char(rng.bounded(256));
    QByteArray damaged = chm;
    for (int i = 0x300; i < damaged.size(); i += 97)
        damaged[i] = char(rng.bounded(256));
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("random bytes") << random;
    QTest::newRow("header only") << chm.left(0x60);
    QTest::newRow("truncated to 1000") << chm.left(1000);
    QTest::newRow("truncated to half") << chm.left(chm.size() / 2);
    QTest::newRow("header with garbage") << chm.left(0x60) + random;
    QTest::newRow("damaged inside") << damaged;
}

void tst_Help::badFiles() {
    QFETCH(QByteArray, content);
    QVERIFY(ViewerAvailable());
    const QString path = m_dir.filePath(QStringLiteral("bad.chm"));
    QFile::remove(path);
    if (!content.isNull())
        writeFile(path, content);
    // Whatever the file holds, nothing crashes; a file that cannot be opened
    // shows nothing.
    const quintptr toc = HtmlHelp(0, path, HH_DISPLAY_TOC, 0);
    HtmlHelp(0, path, HH_HELP_CONTEXT, 1001);
    HH_POPUP popup;
    popup.idString = 2001;
    HtmlHelp(0, path + QStringLiteral("::/CSHelp.txt"), HH_DISPLAY_TEXT_POPUP, quintptr(&popup));
    if (content.size() < 0x100)
        QCOMPARE(toc, quintptr(0));
    closeAllViewers();
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
