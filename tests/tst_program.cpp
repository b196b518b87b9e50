// Whole-program and X11 tests: run under Xvfb (see with-xvfb.sh), drive the
// built program from outside with xdotool and read the clipboard with xclip.
#include "eyedropper/X11ScreenContext.h"
#include "support/ProgramDriver.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

class tst_Program : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typeCopyExit();
    void x11ScreenContext();
    void helpButtonOpensViewer();
    void optionsAndPositionSurviveRestart();
    void commandLine_data();
    void commandLine();
    void ownNotationsOnTheCommandLine();
    void palettesOnTheCommandLine();
    void palettesWindowFromOutside();
    void palettesWindowRead();
    void historyFromPicks();
};

namespace {

/// Another program, to drag colours to and from (support/drag_peer.cpp).
struct DragPeer {
    QProcess process;
    QString output;
    bool start(const QStringList& args) {
        process.start(QStringLiteral(DRAG_PEER), args);
        return process.waitForStarted() && read(QStringLiteral("ready"));
    }
    /// Waits up to ten seconds for text in what it printed.
    bool read(const QString& text) {
        for (int i = 0; i < 100 && !output.contains(text); ++i) {
            process.waitForReadyRead(100);
            output += QString::fromUtf8(process.readAllStandardOutput());
        }
        return output.contains(text);
    }
    ~DragPeer() {
        process.kill();
        process.waitForFinished();
    }
};

/// Drags with the left button from one point of the screen to another, in
/// steps a drag follows.
void drag(QPoint from, QPoint to) {
    xdotool({"mousemove", QString::number(from.x()), QString::number(from.y())});
    QTest::qWait(100);
    xdotool({"mousedown", "1"});
    for (int step = 1; step <= 12; ++step) {
        const QPoint at = from + (to - from) * step / 12;
        QTest::qWait(60);
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
    }
    QTest::qWait(300);
    xdotool({"mousemove", QString::number(to.x() + 1), QString::number(to.y())});
    QTest::qWait(300);
    xdotool({"mouseup", "1"});
    QTest::qWait(300);
}

/// The centre of the pixels of a colour in a window, on the screen.
QPoint whereColour(const QString& window, QRgb colour) {
    const QRect rect = windowRect(window);
    const QRect ink = inkBounds(screenArea(rect), [colour](QRgb c) { return c == colour; });
    return ink.isValid() ? rect.topLeft() + ink.center() : QPoint();
}

const QByteArray MockPalette = "GIMP Palette\nName: Mock\nColumns: 0\n#\n255   0 255\tfuchsia\n"
                               " 18  52  86\todd\n";

} // namespace

void tst_Program::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    for (const char* tool : {"xdotool", "xclip", "xsetroot"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is missing: run 'make test' to install it")
                                .arg(QLatin1String(tool))));
}

void tst_Program::typeCopyExit() {
    RunningProgram p;
    QVERIFY(p.start());
    xdotool({"type", "ff"});
    p.key(QStringLiteral("Tab"));
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#ff0000"));
    // Drawn and used without loading any image format plugin: the program's
    // pictures and its style's are read as what they are.
    const QByteArray maps = readFile(QStringLiteral("/proc/%1/maps").arg(p.process.processId()));
    QVERIFY(maps.contains("libQt6Widgets"));
    // Its repaints reach the X server inside its requests: no memory is
    // shared with the server for them.
    QByteArrayList plugins, shared;
    for (const QByteArray& line : maps.split('\n')) {
        if (line.contains("/imageformats/"))
            plugins << line.mid(line.lastIndexOf('/') + 1);
        if (line.contains(" rw-s ") && (line.contains("memfd:xorg") || line.contains("/SYSV")))
            shared << line;
    }
    QVERIFY2(plugins.isEmpty(), plugins.join(' ').constData());
    QVERIFY2(shared.isEmpty(), shared.join('\n').constData());
    // Nor drawn through Qt's thread pool, whose threads would outlive the
    // first painting.
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(p.process.processId()));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QVERIFY(!readFile(tasks.filePath(task + QStringLiteral("/comm"))).startsWith("Thread"));
    p.click(ExitX, ButtonY);
    int code = -2;
    QVERIFY(p.finished(&code));
    QCOMPARE(code, 0);
    QVERIFY(
        readFile(p.folder() + QStringLiteral("settings.ini")).startsWith("[settings]\nontop=0"));
}

void tst_Program::x11ScreenContext() {
    run(QStringLiteral("xsetroot"), {"-solid", "#123405"});
    auto screen = X11ScreenContext::open();
    QVERIFY(screen);
    QCOMPARE(screen->pixel(QPoint(3, 4)), packColor(0x12, 0x34, 0x05));
    QCOMPARE(screen->pixel(QPoint(5000, 5000)), UnreadablePixel);
    QCOMPARE(screen->pixel(QPoint(-1, 0)), UnreadablePixel);
    xdotool({"mousemove", "77", "88"});
    QTRY_COMPARE(screen->cursorPos(), QPoint(77, 88));
    // Where a pointer event saw the pointer serves one reading, in whole pixels.
    screen->pointerSeen(QPointF(33.75, 44.5));
    QCOMPARE(screen->cursorPos(), QPoint(33, 44));
    QCOMPARE(screen->cursorPos(), QPoint(77, 88));

    const auto own = showColouredWindow(QColor(0xAB, 0xCD, 0xEF), QRect(400, 300, 120, 80));
    QVERIFY(own);
    QTRY_COMPARE(screen->pixel(QPoint(450, 340)), packColor(0xAB, 0xCD, 0xEF));
}

void tst_Program::helpButtonOpensViewer() {
    RunningProgram p;
    const QString built = QFileInfo(QStringLiteral(MIRABOU_EXE)).absolutePath();
    QVERIFY(QFile::copy(built + "/Mirabou.chm", p.folder() + "Mirabou.chm"));
    QVERIFY(p.start());
    p.click(HelpX, ButtonY);
    const QString viewer = waitForWindow(QStringLiteral("^Mirabou Help$"));
    QVERIFY(!viewer.isEmpty());
    // The viewer has no owner: closing the main window ends the program anyway.
    xdotool({"windowraise", p.window});
    QTest::qWait(100);
    p.click(ExitX, ButtonY);
    int code = -2;
    QVERIFY(p.finished(&code));
    QCOMPARE(code, 0);
}

void tst_Program::optionsAndPositionSurviveRestart() {
    RunningProgram p;
    QVERIFY(p.start(QByteArray("; kept\n[settings]\nposx=-40\nposy=10\n[languages]\nnumber=0\n")));
    QCOMPARE(xdotool({"getwindowgeometry", p.window}).section(QLatin1Char('\n'), 1, 1).trimmed(),
             QStringLiteral("Position: -40,10 (screen: 0)"));
    xdotool({"windowmove", p.window, "333", "222"});
    QTest::qWait(200);
    p.key(QStringLiteral("F10")); // Always On Top: a new native window
    QTest::qWait(300);
    p.window = waitForWindow(QStringLiteral("^Mirabou 1.8$"));
    QCOMPARE(xdotool({"getwindowgeometry", p.window}).section(QLatin1Char('\n'), 1, 1).trimmed(),
             QStringLiteral("Position: 333,222 (screen: 0)"));
    xdotool({"windowfocus", "--sync", p.window});
    p.key(QStringLiteral("F11")); // raised buttons
    QTest::qWait(200);
    p.click(ExitX, ButtonY);
    int code = -2;
    QVERIFY(p.finished(&code));
    QCOMPARE(code, 0);
    QCOMPARE(readFile(p.folder() + "settings.ini"),
             QByteArray("; kept\n[settings]\nposx=333\nposy=222\nontop=1\nflat=0\n"
                        "language=lang001\nmagnifier=1\ncopyas=hex\nsample=1\ncontrastx="
                        "660\ncontrasty=200\ncontrastswap=0\n[languages]\nnumber=0\n"));
}

void tst_Program::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "Mirabou 1.8.0\n"
                               << "";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--version"
                            << "";
    QTest::newRow("unknown option") << QStringList{"--colour=red"} << 2 << ""
                                    << "colour";
    QTest::newRow("a file name") << QStringList{"picture.png"} << 2 << ""
                                 << "picture.png";
    QTest::newRow("--help names --pick") << QStringList{"--help"} << 0 << "--pick"
                                         << "";
    QTest::newRow("--copy without --pick") << QStringList{"--copy"} << 2 << ""
                                           << "--pick";
    QTest::newRow("--format without --pick") << QStringList{"--format", "hex"} << 2 << ""
                                             << "--pick";
    QTest::newRow("--format without a value") << QStringList{"--pick", "--format"} << 2 << ""
                                              << "format";
    QTest::newRow("an unknown format") << QStringList{"--pick", "--format=rainbow"} << 2 << ""
                                       << "rainbow";
    QTest::newRow("--sample without --pick") << QStringList{"--sample", "3"} << 2 << ""
                                             << "--sample goes with --pick";
    for (const char* n : {"7", "-1", "10000", "0", "three", ""})
        QTest::addRow("--pick --sample '%s'", n)
            << QStringList{"--pick", QStringLiteral("--sample=") + QLatin1String(n)} << 2 << ""
            << "--sample takes 1, 3, 5 or 9";
    QTest::newRow("--help names --sample") << QStringList{"--help"} << 0 << "--sample <N>"
                                           << "";
    // No display to pick from: at once, with a word on why.
    QTest::newRow("--pick --sample 9 without a display")
        << QStringList{"--pick", "--sample", "9"} << 3 << ""
        << "display";
    QTest::newRow("--pick without a display") << QStringList{"--pick", "--copy"} << 3 << ""
                                              << "display";
    // The commands that need no display.
    QTest::newRow("--convert to oklch") << QStringList{"--convert", "#FF8000", "--format", "oklch"}
                                        << 0 << "oklch(73.19% 0.1858 52.98)\n"
                                        << "";
    QTest::newRow("--convert a CSS name")
        << QStringList{"--convert", " RebeccaPurple "} << 0 << "#663399\n"
        << "";
    // Mapped into sRGB as CSS maps it (colorjs.io: #FF5843), not clipped.
    QTest::newRow("--convert out of gamut")
        << QStringList{"--convert=oklch(70% 0.4 30)", "--format=rgb"} << 0 << "rgb(255, 88, 67)\n"
        << "";
    QTest::newRow("--convert no colour") << QStringList{"--convert", "nope"} << 2 << ""
                                         << "'nope' is no colour";
    QTest::newRow("--convert an unknown format")
        << QStringList{"--convert", "#FF8000", "--format", "rainbow"} << 2 << ""
        << "unknown format 'rainbow'";
    QTest::newRow("--convert and --pick")
        << QStringList{"--convert", "#FF8000", "--pick"} << 2 << ""
        << "do not go together";
    QTest::newRow("--list-formats")
        << QStringList{"--list-formats"} << 0 << "oklch  oklch(73.19% 0.1858 52.98)\nxyz    color("
        << "";
    QTest::newRow("--contrast")
        << QStringList{"--contrast", "#888888", "white"} << 0
        << "3.54:1\nAA normal: fail\nAA large: pass\nAAA normal: fail\nAAA large: fail\n"
           "Non-text: pass\nLc 63.1\n"
        << "";
    QTest::newRow("--contrast of one colour") << QStringList{"--contrast", "#888888"} << 2 << ""
                                              << "two colour texts";
    QTest::newRow("--contrast of no colour") << QStringList{"--contrast", "#888888", "x"} << 2 << ""
                                             << "'x' is no colour";
}

void tst_Program::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    // Answered before any window: no display is needed.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MIRABOU_EXE), arguments);
    QVERIFY(p.waitForFinished(10000));

    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), code);
    const QString stdOut = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(p.readAllStandardError());
    if (code == 0) // a whole last line, for the shell's prompt
        QVERIFY2(stdOut.endsWith(QLatin1Char('\n')) &&
                     (out.endsWith(QLatin1Char('\n')) ? stdOut == out : stdOut.contains(out)),
                 qPrintable(stdOut));
    else
        QVERIFY2(stdOut.isEmpty() && stdErr.contains(err), qPrintable(stdErr));
}

void tst_Program::ownNotationsOnTheCommandLine() {
    // A program folder whose settings file holds notations of the user's
    // own: a refused line is told once on stderr, the others work.
    QTemporaryDir folder;
    QVERIFY(copyProgram(folder.path()));
    writeFile(folder.filePath(QStringLiteral("settings.ini")),
              "[settings]\n[formats]\ncss-var=--accent: #%Rx%Gx%Bx;\nHex=%R\n"
              "bad name=x\nself=%self %% %{R}x\n");
    const auto mirabou = [&](const QStringList& arguments, QString* err = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(folder.filePath(QStringLiteral("Mirabou")), arguments);
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QStringLiteral("failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        if (err)
            *err = QString::fromLocal8Bit(p.readAllStandardError());
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    };
    QString refusals;
    const QString list = mirabou({QStringLiteral("--list-formats")}, &refusals);
    QVERIFY2(list.endsWith(QLatin1String("css-var  --accent: #ff8000;\nself     %self % 255x\n")),
             qPrintable(list));
    QCOMPARE(refusals.count(QLatin1Char('\n')), 2);
    QVERIFY2(refusals.contains(QLatin1String("Hex")) &&
                 refusals.contains(QLatin1String("bad name")),
             qPrintable(refusals));
    QCOMPARE(mirabou({"--convert", "#102030", "--format", "CSS-VAR"}),
             QStringLiteral("--accent: #102030;\n"));
    QCOMPARE(mirabou({"--convert", "--accent: #abcdef;"}), QStringLiteral("#ABCDEF\n"));
}

void tst_Program::palettesOnTheCommandLine() {
    // A portable program folder: the history and the palettes beside its
    // settings file, read and changed with no display.
    QTemporaryDir folder;
    QVERIFY(copyProgram(folder.path()));
    writeFile(folder.filePath(QStringLiteral("settings.ini")), "[settings]\n");
    writeFile(folder.filePath(QStringLiteral("history.gpl")),
              "GIMP Palette\nName: History\n#\n255 128   0\tdarkorange\n 16  32  48\t\n");
    writeFile(folder.filePath(QStringLiteral("web.gpl")),
              "GIMP Palette\r\nName: Web colours\r\n#\r\n0 0 255\tBlue\r\n255 0 0\r\n");
    writeFile(folder.filePath(QStringLiteral("bad.gpl")), "GIMP Palette\n1 2 3\n4 256 6\n");
    writeFile(folder.filePath(QStringLiteral("lines.txt")),
              "oklch(73.19% 0.1858 52.98)\nrebeccapurple\n  rgb(1 2 3)  \n");
    const auto path = [&](const char* name) { return folder.filePath(QLatin1String(name)); };
    struct Step {
        QStringList arguments;
        int code;
        QString out; // the whole output; for a refusal, what stderr holds
    };
    const QList<Step> steps{
        {{"--palette", "history"}, 0, "#FF8000\n#102030\n"},
        {{"--palette", "HISTORY", "--format", "rgb"}, 0, "rgb(255, 128, 0)\nrgb(16, 32, 48)\n"},
        {{"--list-palettes"}, 0, "history\t2\n"},
        {{"--import", path("web.gpl")}, 0, "Web colours\n"},
        {{"--palette", "Web colours", "--format", "name"}, 0, "blue\nred\n"},
        {{"--import", path("lines.txt"), "Lines"}, 0, "Lines\n"},
        {{"--palette", "Lines"}, 0, "#FF8000\n#663399\n#010203\n"},
        {{"--list-palettes"}, 0, "history\t2\nLines\t3\nWeb colours\t2\n"},
        // What is exported reads back the same, in each file type.
        {{"--export", "Web colours", path("out.ase")}, 0, ""},
        {{"--import", path("out.ase"), "From ASE"}, 0, "From ASE\n"},
        {{"--palette", "From ASE"}, 0, "#0000FF\n#FF0000\n"},
        {{"--export", "history", path("out.txt"), "--format", "lab"}, 0, ""},
        {{"--import", path("out.txt"), "From text"}, 0, "From text\n"},
        {{"--palette", "From text"}, 0, "#FF8000\n#102030\n"},
        {{"--export", "Lines", path("out.css")}, 0, ""},
        // Refusals change nothing.
        {{"--palette", "nope"}, 2, "no palette is named"},
        {{"--import", path("bad.gpl")}, 2, "line 3"},
        {{"--import", path("missing.gpl")}, 2, "missing.gpl"},
        {{"--import", path("web.gpl")}, 2, "named \"Web colours\" already"},
        {{"--import", path("web.gpl"), "a", "b"}, 2, "a file and a name at most"},
        {{"--export", "Lines"}, 2, "a palette's name and a file"},
        {{"--export", "Lines", path("out.css"), "--format", "rgb"}, 2, "goes with a .txt file"},
        {{"--export", "Lines", path("out.png")}, 2, ".png"},
        {{"--export", "nope", path("nope.gpl")}, 2, "no palette is named"},
        {{"--palette", "Lines", "--import", path("web.gpl")}, 2, "do not go together"},
        {{"--list-palettes"},
         0,
         "history\t2\nFrom ASE\t2\nFrom text\t2\nLines\t3\nWeb colours\t2\n"},
    };
    for (const Step& step : steps) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(folder.filePath(QStringLiteral("Mirabou")), step.arguments);
        QVERIFY(p.waitForFinished(10000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        const QByteArray what = step.arguments.join(QLatin1Char(' ')).toUtf8() + ": " +
                                out.toUtf8() + " / " + err.toUtf8();
        QVERIFY2(p.exitCode() == step.code, what.constData());
        if (step.code == 0)
            QVERIFY2(out == step.out && err.isEmpty(), what.constData());
        else
            QVERIFY2(out.isEmpty() && err.contains(step.out), what.constData());
    }
    const QByteArray css = readFile(folder.filePath(QStringLiteral("out.css")));
    QVERIFY2(css.startsWith(":root {\n") && css.contains("#663399;"), css.constData());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("nope.gpl"))));
}

void tst_Program::palettesWindowFromOutside() {
    RunningProgram p;
    QVERIFY(QDir().mkpath(p.folder() + QStringLiteral("palettes")));
    const QString file = p.folder() + QStringLiteral("palettes/Mock.gpl");
    writeFile(file, MockPalette);
    QVERIFY(p.start("[settings]\n[palettes]\nposx=100\nposy=450\nchosen=Mock\n"));
    p.key(QStringLiteral("F8"));
    const QString palettes = waitForWindow(QStringLiteral("^Palettes$"));
    QVERIFY(!palettes.isEmpty());
    QTest::qWait(300);
    QPoint fuchsia;
    QTRY_VERIFY(!(fuchsia = whereColour(palettes, qRgb(255, 0, 255))).isNull());
    const auto current = [&p] {
        p.click(CopyHexX, ButtonY);
        return clipboardOut().toUpper();
    };

    // A click makes a swatch current; then the keys.
    xdotool({"mousemove", QString::number(fuchsia.x()), QString::number(fuchsia.y())});
    xdotool({"click", "1"});
    QTRY_COMPARE(current(), QStringLiteral("#FF00FF"));
    xdotool({"windowfocus", "--sync", palettes});
    p.key(QStringLiteral("Right"));
    p.key(QStringLiteral("Return"));
    QTRY_COMPARE(current(), QStringLiteral("#123456"));
    xdotool({"windowfocus", "--sync", palettes});
    p.key(QStringLiteral("Delete"));
    QTRY_VERIFY(!readFile(file).contains("odd"));
    p.key(QStringLiteral("ctrl+z"));
    QTRY_COMPARE(readFile(file), MockPalette);
    // Ctrl+D adds the current colour, named as the nearest CSS colour.
    p.key(QStringLiteral("ctrl+d"));
    QTRY_VERIFY(readFile(file).endsWith(" 18  52  86\tmidnightblue\n"));
    writeFile(file, MockPalette);
    // The commands by keys: Tab to New..., a name typed; Delete... asks,
    // and goes no further than its default, No.
    const QStringList before = visibleWindows(p);
    const auto asked = [&p, &before] {
        QString dialog;
        for (int i = 0; i < 100 && dialog.isEmpty(); ++i) {
            QTest::qWait(100);
            dialog = newWindow(p, before);
        }
        QTest::qWait(200);
        return !dialog.isEmpty();
    };
    const auto answered = [&p, &before] {
        for (int i = 0; i < 100 && !newWindow(p, before).isEmpty(); ++i)
            QTest::qWait(100);
        return newWindow(p, before).isEmpty();
    };
    p.key(QStringLiteral("Tab"));
    p.key(QStringLiteral("space"));
    QVERIFY(asked());
    xdotool({"type", "Spring"});
    p.key(QStringLiteral("Return"));
    const QString spring = p.folder() + QStringLiteral("palettes/Spring.gpl");
    QTRY_VERIFY(QFile::exists(spring));
    // With no window manager, the focus goes back by hand.
    xdotool({"windowfocus", "--sync", palettes});
    p.key(QStringLiteral("Tab"));
    p.key(QStringLiteral("Tab"));
    p.key(QStringLiteral("space"));
    QVERIFY(asked());
    p.key(QStringLiteral("Return"));
    QVERIFY(answered());
    QVERIFY(QFile::exists(spring));
    xdotool({"windowfocus", "--sync", palettes});
    p.key(QStringLiteral("space"));
    QVERIFY(asked());
    p.key(QStringLiteral("alt+y")); // Yes
    QTRY_VERIFY(!QFile::exists(spring));
    QTest::qWait(300); // the palette before it shown, where the drags start

    // Dragged out to another program: the colour and its hex text.
    DragPeer receiver;
    QVERIFY(receiver.start({"receive", "900", "100"}));
    QVERIFY(!waitForWindow(QStringLiteral("^drag peer$")).isEmpty());
    drag(fuchsia, QPoint(960, 160));
    QVERIFY2(receiver.read(QStringLiteral("text/plain=#FF00FF")), qPrintable(receiver.output));
    QVERIFY2(receiver.read(QStringLiteral("application/x-color=#ff00ff")),
             qPrintable(receiver.output));

    // Dropped from another program: a colour text on the main window, a
    // colour on the palette.
    DragPeer text;
    QVERIFY(text.start({"text", "900", "300", "hsl(120 100% 25%)"}));
    QTest::qWait(300);
    drag(QPoint(960, 360), clientOrigin(p.window) + Swatch);
    QTRY_COMPARE(current(), QStringLiteral("#008000"));
    DragPeer colour;
    QVERIFY(colour.start({"color", "900", "500", "#ABCDEF"}));
    QTest::qWait(300);
    drag(QPoint(960, 560), fuchsia + QPoint(0, 200)); // below the swatches
    QTRY_VERIFY2(readFile(file).contains("171 205 239\t"), readFile(file).constData());
    QVERIFY(readFile(file).startsWith(MockPalette));
    QVERIFY(exitByButton(p));
}

void tst_Program::palettesWindowRead() {
    // What a screen reader reads of each swatch: its name and hex text.
    AccessibilityBus bus;
    QVERIFY(bus.start());
    RunningProgram p;
    QVERIFY(QDir().mkpath(p.folder() + QStringLiteral("palettes")));
    writeFile(p.folder() + QStringLiteral("palettes/Mock.gpl"), MockPalette);
    QVERIFY(
        p.start("[settings]\n[palettes]\nposx=100\nposy=450\nchosen=Mock\n", bus.environment()));
    p.key(QStringLiteral("F8"));
    QVERIFY(!waitForWindow(QStringLiteral("^Palettes$")).isEmpty());
    const QJsonArray windows = bus.windows(p.process.processId(), QStringLiteral("Palettes"));
    QStringList names;
    const std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        names << node.value(QStringLiteral("role")).toString() + QLatin1Char(':') +
                     node.value(QStringLiteral("name")).toString();
        for (const QJsonValue child : node.value(QStringLiteral("children")).toArray())
            walk(child.toObject());
    };
    for (const QJsonValue w : windows)
        walk(w.toObject());
    for (const char* want : {"list item:fuchsia, color #FF00FF", "list item:odd, color #123456",
                             "list:Colors", "push button:New...", "push button:Import..."}) {
        QVERIFY2(names.contains(QLatin1String(want)), qPrintable(names.join(QLatin1Char('\n'))));
    }
    QVERIFY(exitByButton(p));
}

void tst_Program::historyFromPicks() {
    // Each Eye Wizard pick to the front of the history, a colour picked
    // again moved there; kept across a restart and shown in the window.
    RunningProgram p;
    QVERIFY(p.start("[settings]\n[palettes]\nposx=100\nposy=450\n"));
    const auto pickOver = [&p](const char* colour) {
        run(QStringLiteral("xsetroot"), {"-solid", QLatin1String(colour)});
        p.holdEyeWizard();
        for (int x : {1000, 1010, 1020}) {
            xdotool({"mousemove", QString::number(x), "950"});
            QTest::qWait(60);
        }
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
    };
    const QString history = p.folder() + QStringLiteral("history.gpl");
    const auto lines = [&history] {
        QByteArrayList colours;
        for (const QByteArray& line : readFile(history).split('\n')) {
            if (!line.isEmpty() &&
                (line.front() == ' ' || (line.front() >= '0' && line.front() <= '9')))
                colours << line.left(11);
        }
        return colours;
    };
    pickOver("#2A9D8F");
    QTRY_COMPARE(lines(), QByteArrayList{" 42 157 143"});
    pickOver("#E76F51");
    QTRY_COMPARE(lines(), (QByteArrayList{"231 111  81", " 42 157 143"}));
    pickOver("#2A9D8F");
    QTRY_COMPARE(lines(), (QByteArrayList{" 42 157 143", "231 111  81"}));
    // mirabou --pick while the window runs keeps its colour in the same
    // history, and the window's next pick keeps both.
    run(QStringLiteral("xsetroot"), {"-solid", "#264653"});
    QProcess pick;
    pick.start(p.folder() + QStringLiteral("Mirabou"), {QStringLiteral("--pick")});
    QVERIFY(pick.waitForStarted());
    QTRY_VERIFY(!xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"}).isEmpty());
    xdotool({"mousemove", "1000", "950"});
    QTest::qWait(100);
    xdotool({"click", "1"});
    QVERIFY(pick.waitForFinished(10000));
    QCOMPARE(pick.exitCode(), 0);
    QCOMPARE(pick.readAllStandardOutput(), QByteArray("#264653\n"));
    QCOMPARE(lines(), (QByteArrayList{" 38  70  83", " 42 157 143", "231 111  81"}));
    pickOver("#E76F51");
    QTRY_COMPARE(lines(), (QByteArrayList{"231 111  81", " 38  70  83", " 42 157 143"}));
    QVERIFY(exitByButton(p));
    // Read again by the next run's window.
    QVERIFY(p.start(QByteArray(), {}, false));
    p.key(QStringLiteral("F8"));
    const QString palettes = waitForWindow(QStringLiteral("^Palettes$"));
    QVERIFY(!palettes.isEmpty());
    QTRY_VERIFY(!whereColour(palettes, qRgb(0x2A, 0x9D, 0x8F)).isNull());
    // Newest first, left to right.
    QVERIFY(whereColour(palettes, qRgb(0xE7, 0x6F, 0x51)).x() <
            whereColour(palettes, qRgb(0x26, 0x46, 0x53)).x());
    QVERIFY(whereColour(palettes, qRgb(0x26, 0x46, 0x53)).x() <
            whereColour(palettes, qRgb(0x2A, 0x9D, 0x8F)).x());
    QVERIFY(exitByButton(p));
}

QTEST_MAIN(tst_Program)
#include "tst_program.moc"
