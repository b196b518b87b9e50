// The Palettes window in process: the history the Eye Wizard feeds, the
// swatches chosen by pointer and keys, removing and undoing, the palettes
// made, renamed and deleted, colours added and dropped, import and export
// through the file dialogs, the place the window keeps. (From outside, with
// drags between programs and the screen reader's tree: tst_program.)
#include "app/Mirabou_Palettes.h"
#include "app/Program.h"
#include "color/ColorModel.h"
#include "controls/SpeedButton.h"
#include "controls/SwatchGrid.h"
#include "files/IniFile.h"
#include "palette/GplFile.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using namespace testsupport;

namespace {

/// Answers the modal dialogs as a user would, each once it shows (a next
/// one once the one before has gone). Delete what it gives to stop waiting.
QTimer* answerDialogs(QList<std::function<void(QWidget*)>> answers) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto answered = std::make_shared<QPointer<QWidget>>();
    QObject::connect(timer, &QTimer::timeout, [timer, answered, answers]() mutable {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == answered->data())
            return;
        *answered = dialog;
        answers.takeFirst()(dialog);
        if (answers.isEmpty()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return timer;
}

void answerNextDialog(std::function<void(QWidget*)> answer) {
    answerDialogs({std::move(answer)});
}

/// Types text into an input dialog (a name, a notation) and confirms it.
std::function<void(QWidget*)> typing(const QString& text) {
    return [text](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        QVERIFY(input);
        input->setTextValue(text);
        input->accept();
    };
}

void answerName(const QString& text) {
    answerNextDialog(typing(text));
}

/// Names a file in the file dialog and confirms it.
std::function<void(QWidget*)> choosing(const QString& path) {
    return [path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(files)->accept(); // as its Open or Save button
    };
}

/// Reads the message box's text into told and closes it.
std::function<void(QWidget*)> reading(QString* told) {
    return [told](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box);
        *told = box->text();
        box->close();
    };
}

QList<palette::Swatch> swatchesOf(TForm4* w) {
    QList<palette::Swatch> shown;
    const QList<TSwatchModel::Swatch>& s = w->SwatchGrid1->swatchModel()->swatches();
    for (const TSwatchModel::Swatch& one : s)
        shown.append({one.color, one.name});
    return shown;
}

QList<PackedColor> colorsOf(const QList<palette::Swatch>& swatches) {
    QList<PackedColor> colors;
    for (const palette::Swatch& s : swatches)
        colors.append(s.color);
    return colors;
}

QList<PackedColor> historyIn(const QString& folder) {
    const palette::Result<palette::Palette> read =
        palette::readGpl(readFile(folder + QStringLiteral("history.gpl")));
    return read ? colorsOf(read->colors) : QList<PackedColor>{};
}

/// Picks the colour under the fake screen's pointer with the Eye Wizard.
void pick(WindowFixture& f, PackedColor color) {
    f.screen->colorAt = [color](QPoint) { return color; };
    auto* wand = f.c<TSpeedButton>("SpeedButton1");
    QTest::mousePress(wand, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(wand, QPoint(11, 11));
    QTest::mouseRelease(wand, Qt::LeftButton, {}, QPoint(11, 11));
}

TForm4* openPalettes(WindowFixture& f) {
    // F8 is a key of the main window, there while it is the active one.
    f.w().activateWindow();
    if (!QTest::qWaitForWindowActive(&f.w()))
        return nullptr;
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F8);
    TForm4* w = f.w().palettes();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    w->activateWindow();
    return w;
}

/// A palette file of the given colours in the program folder.
void writePalette(WindowFixture& f, const QString& name, const QList<palette::Swatch>& colors) {
    QDir(f.folder()).mkpath(QStringLiteral("palettes"));
    palette::Palette p;
    p.name = name;
    p.colors = colors;
    writeFile(f.folder() + QStringLiteral("palettes/") + name + QStringLiteral(".gpl"),
              palette::writeGpl(p));
}

const PackedColor Red = packColor(255, 0, 0);
const PackedColor Navy = packColor(0, 0, 128);
const PackedColor Odd = packColor(18, 52, 86);

} // namespace

class tst_PalettesWindow : public QObject {
    Q_OBJECT
private slots:
    void historyFromEyeWizardPicks();
    void historyNotReadAtStartUp();
    void followsOtherWriters();
    void swatchBecomesCurrent_data();
    void swatchBecomesCurrent();
    void removeAndUndo_data();
    void removeAndUndo();
    void renameColour();
    void swatchMenu();
    void palettesMadeRenamedDeleted();
    void addCurrentColour_data();
    void addCurrentColour();
    void drops_data();
    void drops();
    void exportThroughDialog_data();
    void exportThroughDialog();
    void importThroughDialog_data();
    void importThroughDialog();
    void placeKept_data();
    void placeKept();
    void spokenInTheLanguage();
    void staysOnTopWithTheMainWindow();
};

void tst_PalettesWindow::historyFromEyeWizardPicks() {
    WindowFixture f;
    QVERIFY(f.start());
    pick(f, Red);
    pick(f, Navy);
    pick(f, Odd);
    pick(f, Red); // moves to the front, not twice
    QCOMPARE(historyIn(f.folder()), (QList<PackedColor>{Red, Odd, Navy}));
    // Named by the nearest CSS name.
    const palette::Result<palette::Palette> read =
        palette::readGpl(readFile(f.folder() + QStringLiteral("history.gpl")));
    QVERIFY(read);
    QCOMPARE(read->colors.constFirst().name, QStringLiteral("red"));
    QCOMPARE(read->colors.constLast().name, QStringLiteral("navy"));
    // The open window follows each pick.
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QCOMPARE(w->chosenPalette(), QStringLiteral("history"));
    pick(f, Navy);
    QCOMPARE(colorsOf(swatchesOf(w)), (QList<PackedColor>{Navy, Red, Odd}));
    // At most the limit, the oldest dropped.
    for (int n = 0; n < palette::PaletteStore::HistoryLimit + 2; ++n)
        pick(f, packColor(n, 1, 2));
    const QList<PackedColor> history = historyIn(f.folder());
    QCOMPARE(history.size(), palette::PaletteStore::HistoryLimit);
    QCOMPARE(history.constFirst(), packColor(palette::PaletteStore::HistoryLimit + 1, 1, 2));
    QCOMPARE(history.constLast(), packColor(2, 1, 2));
    // A restart reads what was kept.
    f.stop();
    QVERIFY(f.start());
    w = openPalettes(f);
    QVERIFY(w);
    QCOMPARE(colorsOf(swatchesOf(w)), history);
}

void tst_PalettesWindow::historyNotReadAtStartUp() {
    // A history the program cannot read would be said the moment it was
    // read: at start-up nothing is, and a pick never writes over it.
    WindowFixture f;
    f.file(QStringLiteral("history.gpl"), "GIMP Palette\n300 0 0\tbad\n");
    QVERIFY(f.start());
    QVERIFY(!f.w().findChild<TForm4*>());
    pick(f, Red);
    QCOMPARE(readFile(f.folder() + QStringLiteral("history.gpl")),
             QByteArray("GIMP Palette\n300 0 0\tbad\n"));
    // The window says so, with the line, once; a change beside it says
    // nothing more.
    QString told;
    answerDialogs({reading(&told)});
    QTest::keyClick(f.w().windowHandle(), Qt::Key_F8);
    QTRY_VERIFY(!told.isEmpty());
    QVERIFY2(told.contains(QStringLiteral("line 2")), qPrintable(told));
    TForm4* w = f.w().palettes();
    QVERIFY(w->isVisible());
    QVERIFY(swatchesOf(w).isEmpty());
    palette::Palette other;
    other.name = QStringLiteral("Other");
    QVERIFY(palette::PaletteStore(f.folder()).createPalette(other));
    int again = 0;
    QScopedPointer<QTimer> watching(answerDialogs({[&again](QWidget* box) {
        ++again;
        box->close();
    }}));
    QTRY_COMPARE(w->PaletteList1->count(), 2);
    QCOMPARE(again, 0);
    QCOMPARE(readFile(f.folder() + QStringLiteral("history.gpl")),
             QByteArray("GIMP Palette\n300 0 0\tbad\n"));
}

void tst_PalettesWindow::followsOtherWriters() {
    // Another process changing the store (mirabou --pick, a second window)
    // while the window shows it: the window follows.
    WindowFixture f;
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    palette::PaletteStore other(f.folder());
    QVERIFY(other.addToHistory(Navy));
    QTRY_COMPARE(colorsOf(swatchesOf(w)), QList<PackedColor>{Navy});
    palette::Palette made;
    made.name = QStringLiteral("Elsewhere");
    QVERIFY(other.createPalette(made));
    QTRY_COMPARE(w->PaletteList1->count(), 2);
    QVERIFY(other.addToHistory(Red));
    QTRY_COMPARE(colorsOf(swatchesOf(w)), (QList<PackedColor>{Red, Navy}));
}

void tst_PalettesWindow::swatchBecomesCurrent_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("arrow then Enter") << "enter";
}

void tst_PalettesWindow::swatchBecomesCurrent() {
    QFETCH(QString, how);
    WindowFixture f;
    writePalette(f, QStringLiteral("Mock-up"),
                 {{Red, QStringLiteral("red")},
                  {Odd, QStringLiteral("odd")},
                  {Navy, QStringLiteral("navy")}});
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QCOMPARE(w->chosenPalette(), QStringLiteral("Mock-up"));
    TSwatchGrid* grid = w->SwatchGrid1;
    QSignalSpy changed(&f.w().color(), &TColorModel::changed);
    if (how == QLatin1String("click")) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(1, 0)).center());
    } else {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Return);
    }
    QCOMPARE(f.w().color().packedValue(), Odd);
    QCOMPARE(f.text("Label4"), QStringLiteral("#123456"));
    QCOMPARE(f.text("umRed"), QStringLiteral("12"));
    QVERIFY(!changed.isEmpty());
    // Marked where it stands, and only there.
    const QAbstractItemModel* m = grid->model();
    QVERIFY(m->index(1, 0).data(TSwatchModel::CurrentRole).toBool());
    QVERIFY(!m->index(0, 0).data(TSwatchModel::CurrentRole).toBool());
    f.w().color().applyPacked(Red);
    QVERIFY(m->index(0, 0).data(TSwatchModel::CurrentRole).toBool());
    QVERIFY(!m->index(1, 0).data(TSwatchModel::CurrentRole).toBool());
}

void tst_PalettesWindow::removeAndUndo_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<bool>("undoButton");
    QTest::newRow("Delete, Ctrl+Z") << false << false;
    QTest::newRow("Remove, Undo button") << true << true;
}

void tst_PalettesWindow::removeAndUndo() {
    QFETCH(bool, byMenu);
    QFETCH(bool, undoButton);
    WindowFixture f;
    const QList<palette::Swatch> three = {
        {Red, QStringLiteral("red")}, {Odd, QStringLiteral("odd")}, {Navy, QStringLiteral("navy")}};
    writePalette(f, QStringLiteral("Three"), three);
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    TSwatchGrid* grid = w->SwatchGrid1;
    grid->setFocus();
    const auto removeAt = [&](int row) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        if (byMenu) {
            QTest::keyClick(grid, Qt::Key_Menu);
            QTRY_VERIFY(w->SwatchMenu1->isVisible());
            w->RemoveColor1->trigger();
            w->SwatchMenu1->close();
        } else {
            QTest::keyClick(grid, Qt::Key_Delete);
        }
    };
    removeAt(1);
    removeAt(1);
    const auto onDisk = [&f] {
        return colorsOf(
            palette::readGpl(readFile(f.folder() + QStringLiteral("palettes/Three.gpl")))->colors);
    };
    QCOMPARE(onDisk(), QList<PackedColor>{Red});
    QCOMPARE(colorsOf(swatchesOf(w)), QList<PackedColor>{Red});
    const auto undo = [&] {
        if (undoButton)
            QTest::mouseClick(w->Undo1, Qt::LeftButton);
        else
            QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    };
    undo();
    QCOMPARE(onDisk(), (QList<PackedColor>{Red, Navy}));
    undo();
    QCOMPARE(swatchesOf(w), three);
    QVERIFY(!w->Undo1->isEnabled());
    // Until the window closes: then a removal stays removed.
    removeAt(0);
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(!w->isVisible());
    w = openPalettes(f);
    QVERIFY(w);
    undo();
    QCOMPARE(onDisk(), (QList<PackedColor>{Odd, Navy}));
}

void tst_PalettesWindow::renameColour() {
    WindowFixture f;
    writePalette(f, QStringLiteral("P"), {{Red, QStringLiteral("red")}});
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    w->SwatchGrid1->setFocus();
    w->SwatchGrid1->setCurrentIndex(w->SwatchGrid1->model()->index(0, 0));
    answerName(QStringLiteral("Brand red"));
    QTest::keyClick(w->SwatchGrid1, Qt::Key_F2);
    QCOMPARE(swatchesOf(w).constFirst().name, QStringLiteral("Brand red"));
    QVERIFY(readFile(f.folder() + QStringLiteral("palettes/P.gpl")).contains("\tBrand red\n"));
}

void tst_PalettesWindow::swatchMenu() {
    WindowFixture f;
    writePalette(f, QStringLiteral("A"), {{Odd, QStringLiteral("odd")}});
    writePalette(f, QStringLiteral("B"), {});
    f.file(QStringLiteral("settings.ini"), "[formats]\nmine=<%RX%GX%BX>\n[palettes]\nchosen=A\n");
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    TSwatchGrid* grid = w->SwatchGrid1;
    const QPoint at = grid->visualRect(grid->model()->index(0, 0)).center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(grid->viewport(), &menu);
    QTRY_VERIFY(w->SwatchMenu1->isVisible());
    // Every notation, the user's own too, each copying the colour as shown.
    QStringList copied;
    for (QAction* item : w->SwatchCopyAs1->actions()) {
        item->trigger();
        copied << QGuiApplication::clipboard()->text();
        QCOMPARE(item->text(), copied.constLast());
    }
    QVERIFY(copied.contains(QStringLiteral("#123456")));
    QVERIFY(copied.contains(QStringLiteral("rgb(18, 52, 86)")));
    QVERIFY2(copied.contains(QStringLiteral("<123456>")), qPrintable(copied.join(u'|')));
    // Add to Palette offers the others.
    QCOMPARE(w->AddToPalette1->actions().size(), 1);
    w->AddToPalette1->actions().constFirst()->trigger();
    w->SwatchMenu1->close();
    QVERIFY(readFile(f.folder() + QStringLiteral("palettes/B.gpl")).contains(" 18  52  86\todd\n"));
}

void tst_PalettesWindow::palettesMadeRenamedDeleted() {
    WindowFixture f;
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QVERIFY(!w->DeletePalette1->isEnabled()); // the history stays
    answerName(QStringLiteral("Brand / 2027"));
    QTest::mouseClick(w->NewPalette1, Qt::LeftButton);
    QCOMPARE(w->chosenPalette(), QStringLiteral("Brand / 2027"));
    QCOMPARE(w->PaletteList1->currentItem()->text(), QStringLiteral("Brand / 2027"));
    const QString made = f.folder() + QStringLiteral("palettes/Brand_2027.gpl");
    QVERIFY(readFile(made).contains("Name: Brand / 2027\n"));

    answerName(QStringLiteral("Spring"));
    QTest::mouseClick(w->RenamePalette1, Qt::LeftButton);
    QCOMPARE(w->chosenPalette(), QStringLiteral("Spring"));
    QVERIFY(!QFile::exists(made));
    const QString renamed = f.folder() + QStringLiteral("palettes/Spring.gpl");
    QVERIFY(QFile::exists(renamed));

    // Delete asks first; No keeps it.
    answerNextDialog([](QWidget* box) {
        QVERIFY(qobject_cast<QMessageBox*>(box));
        QVERIFY(qobject_cast<QMessageBox*>(box)->text().contains(QStringLiteral("\"Spring\"")));
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(w->DeletePalette1, Qt::LeftButton);
    QVERIFY(QFile::exists(renamed));
    answerNextDialog(
        [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); });
    QTest::mouseClick(w->DeletePalette1, Qt::LeftButton);
    QVERIFY(!QFile::exists(renamed));
    QCOMPARE(w->chosenPalette(), QStringLiteral("history"));
    QCOMPARE(w->PaletteList1->count(), 1);

    // A name the store refuses is said, and nothing is made.
    QString told;
    answerDialogs({typing(QStringLiteral("History")), reading(&told)});
    QTest::mouseClick(w->NewPalette1, Qt::LeftButton);
    QTRY_VERIFY(!told.isEmpty());
    QCOMPARE(w->PaletteList1->count(), 1);
}

void tst_PalettesWindow::addCurrentColour_data() {
    QTest::addColumn<bool>("windowOpen");
    QTest::addColumn<QByteArray>("chosen"); // as the settings keep it
    QTest::addColumn<QString>("into");      // the file it lands in
    QTest::newRow("main window, none chosen") << false << QByteArray() << "palettes/A.gpl";
    QTest::newRow("main window, the one chosen") << false << QByteArray("B") << "palettes/B.gpl";
    QTest::newRow("main window, history chosen") << false << QByteArray("history") << "history.gpl";
    QTest::newRow("main window, one gone") << false << QByteArray("Gone") << "palettes/A.gpl";
    QTest::newRow("window, the one shown") << true << QByteArray("B") << "palettes/B.gpl";
}

void tst_PalettesWindow::addCurrentColour() {
    QFETCH(bool, windowOpen);
    QFETCH(QByteArray, chosen);
    QFETCH(QString, into);
    WindowFixture f;
    writePalette(f, QStringLiteral("A"), {});
    writePalette(f, QStringLiteral("B"), {});
    QVERIFY(f.start(chosen.isNull() ? QByteArray() : "[palettes]\nchosen=" + chosen + "\n"));
    f.type("umRed", QStringLiteral("fe"));
    f.type("umGreen", QStringLiteral("00"));
    f.type("umBlue", QStringLiteral("01"));
    if (windowOpen) {
        TForm4* w = openPalettes(f);
        QVERIFY(w);
        QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(swatchesOf(w), (QList<palette::Swatch>{{packColor(254, 0, 1), "red"}}));
    } else {
        QTest::keyClick(f.w().windowHandle(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(!f.w().palettes()->isVisible());
    }
    QVERIFY2(readFile(f.folder() + into).contains("254   0   1\tred\n"),
             readFile(f.folder() + into).constData());
}

void tst_PalettesWindow::drops_data() {
    QTest::addColumn<QString>("target"); // "main" or "palette"
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("taken");
    QTest::newRow("main, x-color") << "main"
                                   << "application/x-color" << QByteArray() << true;
    QTest::newRow("main, hex text") << "main"
                                    << "text/plain" << QByteArray("#123456") << true;
    QTest::newRow("main, css text") << "main"
                                    << "text/plain" << QByteArray("rgb(18 52 86)") << true;
    QTest::newRow("main, no colour") << "main"
                                     << "text/plain" << QByteArray("hello") << false;
    QTest::newRow("palette, x-color") << "palette"
                                      << "application/x-color" << QByteArray() << true;
    QTest::newRow("palette, hsl text") << "palette"
                                       << "text/plain" << QByteArray("hsl(210 65% 20.4%)") << true;
    QTest::newRow("palette, no colour") << "palette"
                                        << "text/plain" << QByteArray("not a colour") << false;
}

void tst_PalettesWindow::drops() {
    QFETCH(QString, target);
    QFETCH(QString, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, taken);
    WindowFixture f;
    writePalette(f, QStringLiteral("P"), {{Red, QStringLiteral("red")}});
    QVERIFY(f.start());
    QMimeData mime;
    if (data.isNull())
        mime.setColorData(QColor(18, 52, 86));
    else
        mime.setData(type, data);
    if (target == QLatin1String("main")) {
        QWidget* main = &f.w();
        const QPoint at(208, 123); // the swatch
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(main, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(main, &drop);
        QCOMPARE(f.w().color().packedValue() == Odd, taken);
        QCOMPARE(drop.isAccepted(), taken);
    } else {
        TForm4* w = openPalettes(f);
        QVERIFY(w);
        // As a drag brings it: over the grid's empty part, then dropped.
        QWidget* viewport = w->SwatchGrid1->viewport();
        const QPoint at(viewport->width() / 2, viewport->height() - 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &drop);
        const QList<PackedColor> want =
            taken ? QList<PackedColor>{Red, Odd} : QList<PackedColor>{Red};
        QCOMPARE(colorsOf(swatchesOf(w)), want);
        QCOMPARE(
            colorsOf(
                palette::readGpl(readFile(f.folder() + QStringLiteral("palettes/P.gpl")))->colors),
            want);
    }
}

void tst_PalettesWindow::exportThroughDialog_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("notation"); // asked for a text file
    QTest::addColumn<QByteArray>("holds");
    QTest::newRow("gpl") << "out.gpl"
                         << "" << QByteArray("GIMP Palette\nName: P\n");
    QTest::newRow("ase") << "out.ase"
                         << "" << QByteArray("ASEF\0\1\0\0", 8);
    QTest::newRow("css") << "out.css"
                         << "" << QByteArray(":root {\n  --red: #FF0000;\n");
    QTest::newRow("json") << "out.json"
                          << "" << QByteArray("\"#FF0000\"");
    QTest::newRow("txt in rgb") << "out.txt"
                                << "rgb" << QByteArray("rgb(255, 0, 0)\nrgb(18, 52, 86)\n");
    QTest::newRow("no type: gpl") << "out"
                                  << "" << QByteArray("GIMP Palette\n");
}

void tst_PalettesWindow::exportThroughDialog() {
    QFETCH(QString, file);
    QFETCH(QString, notation);
    QFETCH(QByteArray, holds);
    WindowFixture f;
    writePalette(f, QStringLiteral("P"),
                 {{Red, QStringLiteral("red")}, {Odd, QStringLiteral("odd")}});
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QTemporaryDir out;
    const QString path = out.filePath(file);
    if (notation.isEmpty())
        answerDialogs({choosing(path)});
    else
        answerDialogs({choosing(path), typing(notation)});
    QTest::mouseClick(w->Export1, Qt::LeftButton);
    const QString written = file.contains(u'.') ? path : path + QStringLiteral(".gpl");
    QTRY_VERIFY(QFile::exists(written));
    QVERIFY2(readFile(written).contains(holds), readFile(written).constData());
}

void tst_PalettesWindow::importThroughDialog_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<PackedColor>>("colors");
    QTest::newRow("gpl") << "a.gpl" << QByteArray("GIMP Palette\nName: Mock\n18 52 86 odd\n")
                         << "Mock" << QList<PackedColor>{Odd};
    QTest::newRow("txt, any colour text")
        << "mock-up.txt" << QByteArray("rgb(18 52 86)\r\nhsl(0 100% 50%)\n#000080") << "mock-up"
        << QList<PackedColor>{Odd, Red, Navy};
    QTest::newRow("refused, line said")
        << "bad.gpl" << QByteArray("GIMP Palette\n1 2 3\n1 2 300\n") << "" << QList<PackedColor>{};
}

void tst_PalettesWindow::importThroughDialog() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QList<PackedColor>, colors);
    WindowFixture f;
    QVERIFY(f.start());
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QTemporaryDir in;
    writeFile(in.filePath(file), content);
    QString told;
    if (name.isEmpty())
        answerDialogs({choosing(in.filePath(file)), reading(&told)});
    else
        answerDialogs({choosing(in.filePath(file))});
    QTest::mouseClick(w->Import1, Qt::LeftButton);
    if (name.isEmpty()) {
        QTRY_VERIFY(!told.isEmpty());
        QVERIFY2(told.contains(QStringLiteral("line 3")), qPrintable(told));
        QCOMPARE(w->PaletteList1->count(), 1);
        QVERIFY(!QDir(f.folder() + QStringLiteral("palettes")).exists() ||
                QDir(f.folder() + QStringLiteral("palettes")).isEmpty());
        return;
    }
    QCOMPARE(w->chosenPalette(), name);
    QCOMPARE(colorsOf(swatchesOf(w)), colors);
    // Colours without a name are named by their nearest CSS name.
    if (file.endsWith(QLatin1String(".txt")))
        QCOMPARE(swatchesOf(w).constLast().name, QStringLiteral("navy"));
}

void tst_PalettesWindow::placeKept_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("asStored");
    QTest::newRow("on the screen") << QByteArray("posx=300\nposy=250\n") << true;
    QTest::newRow("off every screen") << QByteArray("posx=-5000\nposy=9000\n") << false;
    QTest::newRow("none") << QByteArray() << false;
    QTest::newRow("not a number") << QByteArray("posx=abc\nposy=1\n") << false;
}

void tst_PalettesWindow::placeKept() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, asStored);
    WindowFixture f;
    QVERIFY(f.start("[palettes]\n" + stored));
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    if (asStored)
        QCOMPARE(w->pos(), QPoint(300, 250));
    const QRect screen = f.w().screen()->availableGeometry();
    QVERIFY2(screen.intersects(QRect(w->pos(), QSize(40, 24))),
             qPrintable(QStringLiteral("%1,%2").arg(w->pos().x()).arg(w->pos().y())));
    // Kept when it closes, and at the program's end while open.
    w->move(123, 111);
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(!w->isVisible());
    const files::IniFile file(f.settingsPath());
    QCOMPARE(file.readString(QStringLiteral("palettes"), QStringLiteral("posx"), {}),
             QStringLiteral("123"));
    w = openPalettes(f);
    QVERIFY(w);
    QCOMPARE(w->pos(), QPoint(123, 111));
    w->move(140, 150);
    f.stop();
    const files::IniFile after(f.settingsPath());
    QCOMPARE(after.readString(QStringLiteral("palettes"), QStringLiteral("posy"), {}),
             QStringLiteral("150"));
    // The main window's options are written beside them as before.
    QCOMPARE(after.readString(QStringLiteral("settings"), QStringLiteral("posx"), {}).isEmpty(),
             false);
}

void tst_PalettesWindow::spokenInTheLanguage() {
    WindowFixture f;
    f.file(QStringLiteral("Deutsch.lng"),
           readFile(QStringLiteral(MIRABOU_RESOURCES "/lang/Deutsch.lng")));
    writePalette(f, QStringLiteral("P"), {{Odd, QStringLiteral("odd")}});
    QVERIFY(f.start("[settings]\nlanguage=lang001\n[languages]\nnumber=1\nlang001=Deutsch\n"
                    "name001=Deutsch\n"));
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Paletten"));
    QCOMPARE(w->PaletteList1->item(0)->text(), QStringLiteral("Verlauf"));
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w->SwatchGrid1);
    QVERIFY(grid);
    QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Farben"));
    QStringList names;
    for (int n = 0; n < grid->childCount(); ++n)
        names << grid->child(n)->text(QAccessible::Name);
    QVERIFY2(names.contains(QStringLiteral("odd, Farbe #123456")), qPrintable(names.join(u'|')));
    QCOMPARE(f.w().Palettes1->text(), QStringLiteral("Paletten"));
    QCOMPARE(f.w().Palettes1->shortcut(), QKeySequence(Qt::Key_F8));
}

void tst_PalettesWindow::staysOnTopWithTheMainWindow() {
    WindowFixture f;
    QVERIFY(f.start("[settings]\nontop=1\n"));
    TForm4* w = openPalettes(f);
    QVERIFY(w);
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(w->windowHandle()->transientParent(), f.w().windowHandle());
    w->move(150, 160);
    f.trigger("AlwaysOnTop1"); // off: both windows made anew
    QVERIFY(!f.w().isStayOnTop());
    QTRY_VERIFY(w->isVisible());
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(w->pos(), QPoint(150, 160));
    QCOMPARE(w->windowHandle()->transientParent(), f.w().windowHandle());
}

QTEST_MAIN(tst_PalettesWindow)
#include "tst_palettes_window.moc"
