// The installed program on a desktop: under Xvfb with openbox managing the
// windows (see with-xvfb.sh --wm), driven from outside with xdotool and
// xclip, each test from a fresh copy of the installed program folder.
#include "color/Contrast.h"
#include "files/IniFile.h"
#include "support/ProgramDriver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScreen>
#include <QToolTip>
#include <QWidget>
#include <QtTest>
#include <csignal>
#include <functional>
#include <tuple>
#include <unistd.h>

using namespace testsupport;

namespace {

/// A picture of one-pixel cells, each its own colour: (x, y, 0x40).
QImage onePixelCells() {
    QImage picture(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, qRgb(x, y, 0x40));
    return picture;
}

/// Tiles the root window with one-pixel squares: red where x + y is even,
/// blue where it is odd; false when xsetroot fails.
bool paintCheckerboard() {
    QTemporaryDir dir;
    const QString bitmap = dir.filePath(QStringLiteral("checker.xbm"));
    QFile file(bitmap);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#define c_width 2\n#define c_height 2\n"
               "static unsigned char c_bits[] = {\n   0x01, 0x02 };\n");
    file.close();
    int status = -1;
    run(QStringLiteral("xsetroot"), {"-bitmap", bitmap, "-fg", "#FF0000", "-bg", "#0000FF"},
        &status);
    return status == 0;
}

QRgb checkerAt(QPoint p) {
    return (p.x() + p.y()) % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
}

/// Whether the magnifier (a screenshot of it, at scale 1 and the default
/// magnification) frames a square of sample cells around the picked one:
/// a white ring just outside it and a black one outside that, on all four
/// sides, the picked cell showing picked.
QString framesArea(const QImage& shot, int sample, QRgb picked) {
    constexpr int zoom = 8;
    const int across = 132 / zoom - 1 + (132 / zoom) % 2;
    const int grid = 1 + (132 - across * zoom) / 2;
    const int left = grid + (across / 2 - sample / 2) * zoom;
    const int side = sample * zoom;
    const int mid = left + side / 2;
    const auto at = [&shot](int x, int y) { return shot.pixel(x, y) & 0xFFFFFF; };
    const QRgb white = 0xFFFFFF, black = 0;
    const int middle = grid + (across / 2) * zoom + zoom / 2;
    if (at(middle, middle) != (picked & 0xFFFFFF))
        return QStringLiteral("the picked cell shows %1").arg(at(middle, middle), 6, 16);
    for (const auto& [x, y, expected] :
         {std::tuple{left - 1, mid, white}, std::tuple{left - 2, mid, black},
          std::tuple{left + side, mid, white}, std::tuple{left + side + 1, mid, black},
          std::tuple{mid, left - 1, white}, std::tuple{mid, left - 2, black},
          std::tuple{mid, left + side, white}, std::tuple{mid, left + side + 1, black}}) {
        if (at(x, y) != expected)
            return QStringLiteral("at %1,%2: %3").arg(x).arg(y).arg(at(x, y), 6, 16);
    }
    return {};
}

} // namespace

class tst_Desktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frameAndPositionRoundTrip();
    void typingArrowsListAndScreen();
    void popupsWindowsAndOptions();
    void modalWindowsOverMain_data();
    void modalWindowsOverMain();
    void screenReaderNames_data();
    void screenReaderNames();
    void eyeWizardOverPaintedColours_data();
    void eyeWizardOverPaintedColours();
    void magnifierNudgeAndEscape_data();
    void magnifierNudgeAndEscape();
    void pickFromAnywhere_data();
    void pickFromAnywhere();
    void sampledAreaOverCheckerboard_data();
    void sampledAreaOverCheckerboard();
    void contrastLabelWhilePicking_data();
    void contrastLabelWhilePicking();
    void captionCloseWritesSettings();
    void signalsEndAsClosing_data();
    void signalsEndAsClosing();
    void readOnlyProgramFolder();
    void badSettingsFile_data();
    void badSettingsFile();
    void languageTextsShownAsWritten();
    void badLanguageFile_data();
    void badLanguageFile();
    void megabyteClipboard_data();
    void megabyteClipboard();
    void pasteAnyColour();
    void copyAsAndOwnNotations();
    void contrastWindowFromOutside();

private:
    /// Starts a fresh copy of the installed program.
    bool start(RunningProgram& p, const QByteArray& settingsChange = {});
    QTemporaryDir m_install;
    QString m_programFolder;
};

namespace {

/// What a screen reader reads of the Contrast window: each figure by the
/// caption that labels it ("AA large text: " -> "Pass"); empty when the
/// window does not show.
QMap<QString, QString> contrastFigures(const AccessibilityBus& bus, const RunningProgram& p,
                                       const QString& window = QStringLiteral("Contrast")) {
    QMap<QString, QString> figures;
    const std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        for (const QJsonValue caption : node[QLatin1String("labelledBy")].toArray())
            figures[caption.toString()] = node[QLatin1String("name")].toString();
        for (const QJsonValue child : node[QLatin1String("children")].toArray())
            walk(child.toObject());
    };
    for (const QJsonValue w : bus.windows(p.process.processId(), window)) {
        if (w[QLatin1String("name")].toString() == window)
            walk(w.toObject());
    }
    return figures;
}

} // namespace

void tst_Desktop::initTestCase() {
    const QString wm = run(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
    QVERIFY2(wm.contains(QLatin1String("window id")), "no window manager runs");
    m_programFolder = m_install.filePath(QStringLiteral("Applications/Mirabou"));
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIRABOU_DATA_DIR"), m_install.filePath(QStringLiteral("share")));
    install.setProcessEnvironment(env);
    install.start(QStringLiteral("cmake"),
                  {"--install", QStringLiteral(MIRABOU_BUILD_DIR), "--component", "portable",
                   "--prefix", m_programFolder});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    QVERIFY(QFile::exists(m_programFolder + QStringLiteral("/Mirabou")));
    QVERIFY(QFile::exists(m_programFolder + QStringLiteral("/settings.ini")));
}

bool tst_Desktop::start(RunningProgram& p, const QByteArray& settings) {
    if (!p.installFrom(m_programFolder))
        return false;
    if (!settings.isEmpty()) { // change keys of the installed settings.ini
        files::IniFile ini(p.folder() + QStringLiteral("settings.ini"));
        for (const QByteArray& line : settings.split('\n')) {
            if (line.contains('='))
                ini.writeString(QStringLiteral("settings"), QString::fromUtf8(line.split('=')[0]),
                                QString::fromUtf8(line.split('=')[1]));
        }
    }
    return p.start(QByteArray(), {}, false);
}

void tst_Desktop::frameAndPositionRoundTrip() {
    RunningProgram p;
    QVERIFY(start(p, "posx=100\nposy=80"));
    const QByteArray shipped = readFile(m_programFolder + QStringLiteral("/settings.ini"));
    const QList<int> frame = frameExtents(p.window);
    QCOMPARE(frame.size(), 4);
    QVERIFY2(frame[2] > 0, "the window has no title bar");
    // The stored position is the frame's top-left corner.
    QCOMPARE(clientOrigin(p.window), QPoint(100 + frame[0], 80 + frame[2]));
    // The taskbar and Alt+Tab find the icon in each size they ask for.
    const QString icons = run(QStringLiteral("xprop"), {"-id", p.window, "_NET_WM_ICON"});
    for (const int size : {16, 24, 32, 48})
        QVERIFY2(icons.contains(QStringLiteral("Icon (%1 x %1)").arg(size)),
                 QByteArray::number(size));
    // The hex text's ink starts where a text whose top is at 19 in its group
    // box starts (the group at 248, 96; the label right-aligned to 179).
    QFont valueFont(QStringLiteral("Verdana"), 9);
    valueFont.setBold(true);
    const QFontMetrics metrics(valueFont);
    const QPoint origin = clientOrigin(p.window);
    const QRect valueArea(origin + QPoint(248 + 100, 96 + 8), QSize(80, 28));
    const QRect ink = inkBounds(screenArea(valueArea), [](QRgb c) { return qGray(c) < 100; });
    const QString hex = QStringLiteral("#000000");
    const QRect glyphs = metrics.tightBoundingRect(hex);
    QCOMPARE(valueArea.top() + ink.top(), origin.y() + 96 + 19 + metrics.ascent() + glyphs.top());
    // Right-aligned to 179, give or take the last glyph's anti-aliased edge.
    QVERIFY(qAbs(valueArea.left() + ink.right() -
                 (origin.x() + 248 + 179 - metrics.horizontalAdvance(hex) + glyphs.right())) <= 1);
    QVERIFY(exitByButton(p));
    const QByteArray written = readFile(p.folder() + QStringLiteral("settings.ini"));
    QVERIFY2(written.contains("posx=100\n") && written.contains("posy=80\n"), written.constData());
    // Everything of the shipped file but the settings section is kept.
    const QByteArray languages = shipped.mid(shipped.indexOf("[languages]"));
    QVERIFY(written.contains(languages));

    // No drift by the frame's size from one start to the next.
    p.window.clear();
    QVERIFY(p.start(QByteArray(), {}, false));
    QCOMPARE(clientOrigin(p.window), QPoint(100 + frame[0], 80 + frame[2]));
    QVERIFY(exitByButton(p));
    QVERIFY(readFile(p.folder() + QStringLiteral("settings.ini")).contains("posx=100\nposy=80\n"));
}

void tst_Desktop::typingArrowsListAndScreen() {
    RunningProgram p;
    QVERIFY(start(p, "posx=50\nposy=50"));
    const QPoint origin = clientOrigin(p.window);
    // The red hex box has the focus at start; Tab walks the boxes in order.
    // A popup menu opened and closed in the middle of typing does not end
    // the edit: the second digit joins the first.
    xdotool({"type", "8"});
    p.click(SettingsX, ButtonY);
    p.key(QStringLiteral("Escape"));
    xdotool({"type", "0"});
    p.key(QStringLiteral("Tab"));
    xdotool({"type", "80"});
    p.key(QStringLiteral("Tab"));
    xdotool({"type", "0"});
    p.key(QStringLiteral("Tab")); // to the decimal red box
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#808000"));
    // Left again, the red hex box shows its text centred.
    const QImage redBox = screenArea(QRect(origin + RedHexBox.topLeft(), RedHexBox.size()));
    const QRect digits = inkBounds(
        redBox, [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110; });
    QVERIFY(digits.isValid());
    QVERIFY2(
        qAbs(digits.left() - (RedHexBox.width() - 1 - digits.right())) <= 2,
        qPrintable(QStringLiteral("ink from %1 to %2").arg(digits.left()).arg(digits.right())));
    xdotool({"type", "16"});
    p.key(QStringLiteral("Tab"));
    p.click(CopyDecX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("16,128,0"));
    QTRY_COMPARE(screenPixel(origin + Swatch), qRgb(16, 128, 0) & 0xFFFFFF);
    QCOMPARE(screenPixel(origin + HeaderInside), 0xFFFFFFu);
    QCOMPARE(screenPixel(origin + HeaderFrame), 0x000000u);

    // The up-down arrows: red one up, green one down.
    p.click(RedUp.x(), RedUp.y());
    p.click(GreenDown.x(), GreenDown.y());
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#117F00"));
    QTRY_COMPARE(screenPixel(origin + Swatch), qRgb(0x11, 0x7F, 0) & 0xFFFFFF);

    // The named colours by keyboard: Tab from the last box reaches the list.
    p.click(176 - 40, 148); // the decimal blue box
    p.key(QStringLiteral("Tab"));
    p.key(QStringLiteral("End"));
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#A0A0A4")); // Medium Gray
    p.key(QStringLiteral("Home"));
    p.key(QStringLiteral("Down"));
    p.click(CopyDecX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("128,0,0")); // Maroon
    QTRY_COMPARE(screenPixel(origin + Swatch), qRgb(128, 0, 0) & 0xFFFFFF);

    // The opened list drops down below the box, eight entries of 16 pixels
    // high; each step of the arrow keys in it is a pick the views follow.
    const QStringList before = visibleWindows(p);
    p.click(NamedList.x(), NamedList.y());
    QString list;
    QTRY_VERIFY(!(list = newWindow(p, before)).isEmpty());
    const QString info = run(QStringLiteral("xwininfo"), {"-id", list});
    const QList<int> height = numbersAfter(info, QStringLiteral("Height:"));
    const QList<int> top = numbersAfter(info, QStringLiteral("Absolute upper-left Y:"));
    QVERIFY(!height.isEmpty() && !top.isEmpty());
    QVERIFY2(height[0] >= 8 * 16 && height[0] < 9 * 16, qPrintable(info));
    QVERIFY2(top[0] >= origin.y() + NamedList.y() + 8, qPrintable(info)); // below the box
    p.key(QStringLiteral("Down"));
    QTRY_COMPARE(screenPixel(origin + Swatch), qRgb(0, 128, 0) & 0xFFFFFF); // Green
    p.key(QStringLiteral("Down"));
    QTRY_COMPARE(screenPixel(origin + Swatch), qRgb(128, 128, 0) & 0xFFFFFF); // Olive
    p.key(QStringLiteral("Return"));
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#808000"));

    // Paste HEX and Paste DEC from another program.
    clipboardIn("#0A0B0C");
    p.click(PasteHexX, ButtonY);
    p.click(CopyDecX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("10,11,12"));
    clipboardIn("1,2,3");
    p.click(PasteDecX, ButtonY);
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#010203"));
    QVERIFY(exitByButton(p));
}

void tst_Desktop::popupsWindowsAndOptions() {
    RunningProgram p;
    QVERIFY(start(p));
    // Always On Top reaches the window manager, and back; the window keeps
    // its place although its native window is made anew.
    xdotool({"windowfocus", "--sync", p.window});
    const QPoint origin = clientOrigin(p.window);
    p.key(QStringLiteral("F10"));
    p.window = waitForWindow(QStringLiteral("^Mirabou 1.8$"));
    QTRY_VERIFY(windowState(p.window).contains(QLatin1String("_NET_WM_STATE_ABOVE")));
    QTRY_COMPARE(clientOrigin(p.window), origin);
    xdotool({"windowfocus", "--sync", p.window});
    p.key(QStringLiteral("F10"));
    p.window = waitForWindow(QStringLiteral("^Mirabou 1.8$"));
    QTRY_VERIFY(!windowState(p.window).contains(QLatin1String("_NET_WM_STATE_ABOVE")));
    p.key(QStringLiteral("F10"));
    p.window = waitForWindow(QStringLiteral("^Mirabou 1.8$"));
    xdotool({"windowfocus", "--sync", p.window});

    // The three popup menus, by left and right click, closed by Escape.
    const auto shownWindows = [&p] { return visibleWindows(p).size(); };
    const qsizetype alone = shownWindows();
    for (const int x : {EyeOptionsX, SettingsX, InfoX}) {
        for (const int button : {1, 3}) {
            p.click(x, ButtonY, button);
            QTRY_COMPARE(shownWindows(), alone + 1);
            p.key(QStringLiteral("Escape"));
            QTRY_COMPARE(shownWindows(), alone);
        }
    }
    p.key(QStringLiteral("F11"));
    QVERIFY(exitByButton(p));
    const QByteArray written = readFile(p.folder() + QStringLiteral("settings.ini"));
    QVERIFY2(written.contains("ontop=1\n") && written.contains("flat=0\n"), written.constData());
}

void tst_Desktop::modalWindowsOverMain_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("settings");
    for (const char* onTop : {"0", "1"}) {
        const QByteArray settings = QByteArray("ontop=") + onTop;
        const char* const kind = *onTop == '1' ? "always on top" : "normal";
        QTest::addRow("About over %s", kind) << "F2"
                                             << "Orlen Mirabou: About..." << settings;
        QTest::addRow("Language over %s", kind) << "F4"
                                                << "Orlen Mirabou: Language..." << settings;
        // The colour dialog from the keyboard, as a press on the swatch opens it.
        QTest::addRow("Color dialog over %s", kind) << "F3"
                                                    << "Select Color" << settings;
    }
}

void tst_Desktop::modalWindowsOverMain() {
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QByteArray, settings);
    RunningProgram p;
    QVERIFY(start(p, settings));
    p.key(key);
    const QString modal =
        waitForWindow(QLatin1Char('^') + QRegularExpression::escape(caption) + QLatin1Char('$'));
    QVERIFY(!modal.isEmpty());
    // Above the main window, active, its Close button focused: Enter closes it.
    QTRY_COMPARE(rootWindows("_NET_ACTIVE_WINDOW"), QStringList{modal});
    const QStringList stacking = rootWindows("_NET_CLIENT_LIST_STACKING");
    QVERIFY2(stacking.indexOf(modal) > stacking.indexOf(p.window), qPrintable(stacking.join(' ')));
    p.key(QStringLiteral("Return"));
    QTRY_VERIFY(findWindow(QRegularExpression::escape(caption)).isEmpty());
    QVERIFY(exitByButton(p));
}

void tst_Desktop::screenReaderNames_data() {
    QTest::addColumn<int>("language"); // picked from the menu first, 0: none
    QTest::addColumn<QString>("open"); // a key that opens the window, "help", or none
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("whole");         // a window of the program's own: every control named
    QTest::addColumn<QStringList>("names");  // "role:name" read somewhere in the window
    QTest::addColumn<QStringList>("labels"); // "value<caption": the caption labels the value
    QTest::newRow("main window")
        << 0 << ""
        << "Mirabou 1.8" << true
        << QStringList{"push button:Copy HEX Value", "push button:Help",
                       "push button:Exit",           "text:Red, hexadecimal",
                       "text:Green, hexadecimal",    "text:Blue, hexadecimal",
                       "text:Red, decimal",          "text:Green, decimal",
                       "text:Blue, decimal",         "push button:Increase red",
                       "push button:Decrease blue",  "push button:Color"}
        << QStringList{"#000000<Hexadecimal: ", "0,0,0<Decimal: ", "Not Set<Eye Wizard: ",
                       "Black<Color Name: "};
    QTest::newRow("main window switched to German")
        << 2 << ""
        << "Mirabou 1.8" << true
        << QStringList{"push button:HEX-Wert kopieren",
                       "push button:Beenden",
                       "text:Rot, hexadezimal",
                       "text:Blau, dezimal",
                       "push button:Rot erhöhen",
                       "push button:Grün verringern",
                       "push button:Farbe"}
        << QStringList{"#000000<Hexadezimal: ", "Nicht gesetzt<Farbpipette: ", "Black<Farbname: "};
    QTest::newRow("About window") << 0 << "F2"
                                  << "Orlen Mirabou: About..." << true
                                  << QStringList{"link:mirabou.org", "link:support@mirabou.org",
                                                 "push button:Close"}
                                  << QStringList{"Mirabou Developers<Author:", "mirabou.org<Web:",
                                                 "support@mirabou.org<eMail:"};
    QTest::newRow("Language window in German")
        << 2 << "F4"
        << "Orlen Mirabou: Sprache..." << true << QStringList{"push button:Schließen"}
        << QStringList{"Deutsch<Sprache: ", "Mirabou Developers<Autor: ", "1.1<Version: "};
    QTest::newRow("Contrast window")
        << 0 << "F9"
        << "Contrast" << true
        << QStringList{"push button:Swap", "push button:Close", "panel:Simulated color vision"}
        << QStringList{
               "21.00:1<WCAG 2 contrast ratio: ", "Pass<AA normal text: ", "Pass<Non-text: ",
               "106.0<APCA lightness contrast (Lc): ", "21.00:1<Achromatopsia: "};
    QTest::newRow("Contrast window in German")
        << 2 << "F9"
        << "Kontrast" << true << QStringList{"push button:Tauschen", "push button:Schließen"}
        << QStringList{"21.00:1<WCAG-2-Kontrastverhältnis: ", "Erfüllt<AAA normaler Text: ",
                       "106.0<APCA-Helligkeitskontrast (Lc): "};
    QTest::newRow("help viewer in German")
        << 2 << "help"
        << "Mirabou Help" << false << QStringList{"tree:Inhalt", "list:Index", "text:Stichwort"}
        << QStringList{};
}

void tst_Desktop::screenReaderNames() {
    QFETCH(int, language);
    QFETCH(QString, open);
    QFETCH(QString, window);
    QFETCH(bool, whole);
    QFETCH(QStringList, names);
    QFETCH(QStringList, labels);
    AccessibilityBus bus;
    QVERIFY(bus.start());
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(p.start(QByteArray(), bus.environment(), false));
    if (language > 0) { // Settings > Language > language n
        p.click(SettingsX, ButtonY);
        for (const char* key : {"Down", "Down", "Down", "Right"})
            p.key(QLatin1String(key));
        for (int n = 1; n < language; ++n)
            p.key(QStringLiteral("Down"));
        p.key(QStringLiteral("Return"));
    }
    if (open == QLatin1String("help"))
        p.click(HelpX, ButtonY);
    else if (!open.isEmpty())
        p.key(open);

    QJsonObject shown;
    for (const QJsonValue w : bus.windows(p.process.processId(), window)) {
        if (w[QLatin1String("name")].toString() == window)
            shown = w.toObject();
    }
    QVERIFY2(!shown.isEmpty(), qPrintable(window));
    QStringList read; // "role:name" of every node
    QMap<QString, QStringList> labelledBy;
    QStringList boxes;
    const std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        const QString role = node[QLatin1String("role")].toString();
        const QString name = node[QLatin1String("name")].toString();
        read << role + QLatin1Char(':') + name;
        for (const QJsonValue caption : node[QLatin1String("labelledBy")].toArray())
            labelledBy[name] << caption.toString();
        if (whole) {
            // What a screen reader can press or focus says what it is; no
            // label is read one letter at a time.
            const bool container =
                role == QLatin1String("filler") || role == QLatin1String("panel");
            QVERIFY2(container || node[QLatin1String("actions")].toArray().isEmpty() ||
                         !name.isEmpty(),
                     qPrintable(QStringLiteral("a nameless %1").arg(role)));
            QVERIFY2(role != QLatin1String("label") || name.trimmed().size() > 1,
                     qPrintable(QStringLiteral("label '%1'").arg(name)));
            if (role == QLatin1String("text"))
                boxes << name;
        }
        for (const QJsonValue child : node[QLatin1String("children")].toArray())
            walk(child.toObject());
    };
    walk(shown);
    for (const QString& expected : names)
        QVERIFY2(read.contains(expected), qPrintable(expected));
    for (const QString& pair : labels) {
        const QString value = pair.section(QLatin1Char('<'), 0, 0);
        QVERIFY2(labelledBy.value(value).contains(pair.section(QLatin1Char('<'), 1)),
                 qPrintable(pair + QStringLiteral(": ") + labelledBy.value(value).join('|')));
    }
    QCOMPARE(QSet<QString>(boxes.begin(), boxes.end()).size(), boxes.size()); // no two alike

    if (open == QLatin1String("help"))
        xdotool({"windowraise", p.window});
    else if (!open.isEmpty())
        p.key(QStringLiteral("Return"));
    QTest::qWait(200);
    QVERIFY(exitByButton(p));
}

void tst_Desktop::eyeWizardOverPaintedColours_data() {
    QTest::addColumn<int>("scale");
    // Where not 0, the screen is two monitors side by side, each half of it:
    // the program's window on the first at scale, this the second's.
    QTest::addColumn<int>("second");
    QTest::newRow("scale 1") << 1 << 0;
    QTest::newRow("scale 2") << 2 << 0;
    QTest::newRow("two monitors at 1 and 2") << 1 << 2;
    QTest::newRow("two monitors at 2 and 1") << 2 << 1;
}

void tst_Desktop::eyeWizardOverPaintedColours() {
    QFETCH(int, scale);
    QFETCH(int, second);
    run(QStringLiteral("xsetroot"), {"-solid", "#123405"});
    // A window of another colour at device pixels 700..900 x 500..700:
    // under scaling, a logical pointer position would read the root colour.
    const auto painted = showColouredWindow(QColor(0x2A, 0x9D, 0x8F), QRect(700, 500, 200, 200));
    QVERIFY(painted);
    QStringList scaled{QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale)};
    std::unique_ptr<QWidget> left, right, cells;
    if (second) {
        // RandR monitors of the one X screen, each scaled by Qt on its own;
        // a window of its own colour either side of the edge between them
        // at 640 (below the program's window), and one of one-pixel cells on
        // the second.
        run(QStringLiteral("xrandr"), {"--setmonitor", "first", "640/163x1024/260+0+0", "screen"});
        run(QStringLiteral("xrandr"), {"--setmonitor", "second", "640/163x1024/260+640+0", "none"});
        scaled = QStringList{
            QStringLiteral("QT_SCREEN_SCALE_FACTORS=first=%1;second=%2").arg(scale).arg(second)};
        left = showColouredWindow(QColor(0xFE, 0xDC, 0xBA), QRect(540, 750, 100, 100));
        right = showColouredWindow(QColor(0x3C, 0x9A, 0x5F), QRect(640, 750, 100, 100));
        QImage picture(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                picture.setPixel(x, y, qRgb(x * 4, y * 4, 0x40));
        cells = showPictureWindow(picture, QPoint(1000, 300));
        QVERIFY(left && right && cells);
    }
    const auto monitors = qScopeGuard([second] {
        if (second) {
            run(QStringLiteral("xrandr"), {"--delmonitor", "second"});
            run(QStringLiteral("xrandr"), {"--delmonitor", "first"});
        }
    });

    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(p.start(QByteArray("[settings]\nposx=20\nposy=20\n"), scaled, false));
    const QPoint origin = clientOrigin(p.window);
    const auto drag = [&](const QList<QPoint>& path) {
        p.holdEyeWizard(scale);
        for (const QPoint& to : path) { // outside the program's window
            xdotool({"mousemove", QString::number(to.x()), QString::number(to.y())});
            QTest::qWait(60);
        }
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
    };
    drag({{750, 600}, {775, 600}, {800, 600}});
    QTRY_COMPARE(screenPixel(origin + Swatch * scale), qRgb(0x2A, 0x9D, 0x8F) & 0xFFFFFF);
    QCOMPARE(p.copyEyeColour(scale), QStringLiteral("#2A9D8F"));
    // Then over the bare desktop: released there, the last pixel is kept.
    drag({{20, 900}});
    QCOMPARE(p.copyEyeColour(scale), QStringLiteral("#123405"));
    if (second) {
        // Either side of the edge, each monitor's own pixel.
        for (const auto& [x, colour] : {std::pair{639, "#FEDCBA"}, std::pair{640, "#3C9A5F"}}) {
            drag({{x, 800}});
            QCOMPARE(p.copyEyeColour(scale), QLatin1String(colour));
        }
        // On the second monitor the magnifier shows the device pixels
        // around the picked one, a cell of eight of its own each.
        const QPoint pointer(1032, 332);
        p.holdEyeWizard(scale);
        xdotool({"mousemove", QString::number(pointer.x()), QString::number(pointer.y())});
        QString magnifier;
        QTRY_VERIFY(
            !(magnifier = xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"})).isEmpty());
        const auto cellsShown = [&] {
            int across = 132 * second / 8;
            across -= 1 - across % 2;
            const QPoint grid = QPoint(1, 1) * (second + (132 * second - across * 8) / 2);
            const QImage shot = screenArea(windowRect(magnifier));
            for (const QPoint cell : {QPoint(0, 0), QPoint(across - 1, 2),
                                      QPoint(across / 2 + 1, 3), QPoint(3, across - 1)}) {
                const QPoint at =
                    pointer + cell - QPoint(across / 2, across / 2) - QPoint(1000, 300);
                const QRgb expected = qRgb(at.x() * 4, at.y() * 4, 0x40);
                for (const QPoint in : {QPoint(1, 1), QPoint(6, 6)}) {
                    if ((shot.pixel(grid + cell * 8 + in) & 0xFFFFFF) != (expected & 0xFFFFFF))
                        return false;
                }
            }
            return true;
        };
        QTRY_VERIFY(cellsShown());
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
    }
    p.click(ExitX * scale, ButtonY * scale);
    QVERIFY(endedCleanly(p));
}

void tst_Desktop::magnifierNudgeAndEscape_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("scale 1") << 1;
    QTest::newRow("scale 2") << 2;
}

void tst_Desktop::magnifierNudgeAndEscape() {
    QFETCH(int, scale);
    run(QStringLiteral("xsetroot"), {"-solid", "#123405"});
    // A window of one-pixel cells, each its own colour.
    const QPoint at(500, 400);
    const QImage picture = onePixelCells();
    const auto pattern = showPictureWindow(picture, at);
    QVERIFY(pattern);
    const auto colourAt = [&](QPoint p) {
        const QPoint in = p - at;
        return QRect(QPoint(), picture.size()).contains(in) ? qRgb(in.x(), in.y(), 0x40)
                                                            : qRgb(0x12, 0x34, 0x05);
    };
    const auto hex = [](QRgb c) { return QColor(c).name(QColor::HexRgb).toUpper(); };

    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(p.start(QByteArray("[settings]\nposx=20\nposy=20\n"),
                    {QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale)}, false));
    const QPoint swatch = clientOrigin(p.window) + Swatch * scale;
    const auto press = [&] { p.holdEyeWizard(scale); };
    const auto moveTo = [](QPoint to) {
        xdotool({"mousemove", QString::number(to.x()), QString::number(to.y())});
        QTest::qWait(150);
    };
    const auto release = [] {
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
    };
    const auto magnifier = [] {
        return xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"});
    };
    const auto eyeColour = [&] { return p.copyEyeColour(scale); };

    // Beside the pointer, below and right of it: the pixels around the
    // picked one as cells of eight device pixels, the middle one the pick.
    press();
    const QPoint pointer(600, 480);
    moveTo(pointer);
    QString shown;
    QTRY_VERIFY(!(shown = magnifier()).isEmpty());
    const QRect frame = windowRect(shown);
    QVERIFY2(frame.left() > pointer.x() && frame.top() > pointer.y(),
             qPrintable(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y())));
    const auto cellsShown = [&](int zoom) {
        int across = 132 * scale / zoom;
        across -= 1 - across % 2;
        const int inset = (132 * scale - across * zoom) / 2;
        const QPoint grid(scale + inset, scale + inset);
        const QImage shot = screenArea(windowRect(shown));
        for (const QPoint cell : {QPoint(0, 0), QPoint(across - 1, 2), QPoint(3, across - 1),
                                  QPoint(across / 2, across / 2)}) {
            const QPoint corner = grid + cell * zoom;
            const QRgb expected = colourAt(pointer + cell - QPoint(across / 2, across / 2));
            // The middle cell's own pixels lie inside the rings that mark it.
            const int margin = cell == QPoint(across / 2, across / 2) ? zoom / 2 : 0;
            for (const QPoint in : {QPoint(margin, margin), QPoint(zoom - 1 - margin, margin),
                                    QPoint(margin, zoom - 1 - margin)}) {
                if ((shot.pixel(corner + in) & 0xFFFFFF) != (expected & 0xFFFFFF))
                    return false;
            }
        }
        return true;
    };
    QTRY_VERIFY(cellsShown(8));
    QTRY_COMPARE(screenPixel(swatch), colourAt(pointer) & 0xFFFFFF);
    // A wheel step up: larger cells, fewer of them.
    xdotool({"click", "4"});
    QTRY_VERIFY(cellsShown(12));
    // A jump into the magnifier's place, and a release there: the pick is
    // the desktop's pixel, not the magnifier's.
    const QPoint into = frame.center();
    moveTo(into);
    release();
    QTRY_COMPARE(screenPixel(swatch), colourAt(into) & 0xFFFFFF);
    QCOMPARE(eyeColour(), hex(colourAt(into)));

    // Near every edge of the screen it stays whole on the screen, off the
    // pointer. Escape then leaves the eye colour as it was.
    press();
    for (const QPoint corner : {QPoint(2, 2), QPoint(1277, 3), QPoint(3, 1021), QPoint(1277, 1021),
                                QPoint(640, 1022), QPoint(1278, 512)}) {
        moveTo(corner);
        const QRect now = windowRect(magnifier());
        QVERIFY2(QRect(0, 0, 1280, 1024).contains(now) && !now.contains(corner),
                 qPrintable(QStringLiteral("at %1,%2: %3,%4 %5x%6")
                                .arg(corner.x())
                                .arg(corner.y())
                                .arg(now.x())
                                .arg(now.y())
                                .arg(now.width())
                                .arg(now.height())));
    }
    p.key(QStringLiteral("Escape"));
    release();
    QCOMPARE(eyeColour(), hex(colourAt(into)));

    // Arrow keys over one-pixel cells: one pixel, with Shift ten; the
    // pointer moves with the pick. Escape: all as before the press, also
    // after the release.
    const QRgb before = screenPixel(swatch);
    press();
    const QPoint start = at + QPoint(10, 100);
    moveTo(start);
    p.key(QStringLiteral("Right"));
    QTRY_COMPARE(pointerPosition(), start + QPoint(1, 0));
    QTRY_COMPARE(screenPixel(swatch), colourAt(start + QPoint(1, 0)) & 0xFFFFFF);
    p.key(QStringLiteral("shift+Right"));
    QTRY_COMPARE(pointerPosition(), start + QPoint(11, 0));
    QTRY_COMPARE(screenPixel(swatch), colourAt(start + QPoint(11, 0)) & 0xFFFFFF);
    p.key(QStringLiteral("Escape"));
    QTRY_COMPARE(screenPixel(swatch), before);
    QTRY_VERIFY(magnifier().isEmpty());
    release();
    QCOMPARE(screenPixel(swatch), before);
    QCOMPARE(eyeColour(), hex(colourAt(into)));

    // Switched off, no magnifier shows during a pick, also after a restart.
    p.click(SettingsX * scale, ButtonY * scale);
    for (const char* key : {"Down", "Down", "Down", "Down", "Return"})
        p.key(QLatin1String(key));
    for (int run = 0; run < 2; ++run) {
        press();
        moveTo(pointer);
        QTRY_COMPARE(screenPixel(swatch), colourAt(pointer) & 0xFFFFFF);
        QVERIFY(magnifier().isEmpty());
        release();
        p.click(ExitX * scale, ButtonY * scale);
        QVERIFY(endedCleanly(p));
        QVERIFY(readFile(p.folder() + QStringLiteral("settings.ini")).contains("magnifier=0\n"));
        p.window.clear();
        if (run == 0)
            QVERIFY(
                p.start(QByteArray(), {QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale)}, false));
    }
}

void tst_Desktop::pickFromAnywhere_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("keys"); // pressed with the pointer over the pixel
    QTest::addColumn<int>("button");       // then clicked, 0 for none
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    // The pixel under the pointer is (120, 30, 0x40).
    QTest::newRow("hex") << QStringList{} << QStringList{} << 1 << 0 << "#781E40";
    QTest::newRow("dec") << QStringList{"--format", "dec"} << QStringList{} << 1 << 0
                         << "120,30,64";
    QTest::newRow("rgb") << QStringList{"--format=rgb"} << QStringList{} << 1 << 0
                         << "rgb(120, 30, 64)";
    QTest::newRow("hsl") << QStringList{"--format", "hsl"} << QStringList{} << 1 << 0
                         << "hsl(337, 60%, 29%)";
    QTest::newRow("nudged, then Enter")
        << QStringList{} << QStringList{"Right", "shift+Down", "Return"} << 0 << 0 << "#792840";
    QTest::newRow("Escape") << QStringList{} << QStringList{"Escape"} << 0 << 1 << "";
    QTest::newRow("right click") << QStringList{} << QStringList{} << 3 << 1 << "";
    QTest::newRow("copied") << QStringList{"--copy"} << QStringList{} << 1 << 0 << "#781E40";
}

void tst_Desktop::pickFromAnywhere() {
    QFETCH(QStringList, options);
    QFETCH(QStringList, keys);
    QFETCH(int, button);
    QFETCH(int, status);
    QFETCH(QString, printed);
    const QPoint at(500, 400);
    const QImage picture = onePixelCells();
    const auto pattern = showPictureWindow(picture, at);
    QVERIFY(pattern);
    clipboardIn("before");
    // The history as the command line prints it in the row's notation.
    QStringList history{QStringLiteral("--palette"), QStringLiteral("history")};
    for (const QString& option : options) {
        if (option != QLatin1String("--copy"))
            history << option;
    }
    const auto historyNow = [&] {
        QProcess print;
        print.start(m_programFolder + QStringLiteral("/Mirabou"), history);
        return print.waitForFinished(10000) && print.exitCode() == 0
                   ? QString::fromUtf8(print.readAllStandardOutput())
                   : QStringLiteral("failed");
    };
    const QString historyBefore = historyNow();
    QVERIFY(historyBefore != QLatin1String("failed"));

    // No window opens: the whole screen is the picker, the magnifier shows.
    QProcess pick;
    pick.start(m_programFolder + QStringLiteral("/Mirabou"), QStringList{"--pick"} + options);
    QVERIFY(pick.waitForStarted());
    xdotool({"mousemove", "620", "430"}); // the pixel (120, 30)
    QTRY_VERIFY(!xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"}).isEmpty());
    QVERIFY(xdotool({"search", "--onlyvisible", "--name", "^Mirabou"}).isEmpty());
    QTest::qWait(100);
    for (const QString& key : keys)
        xdotool({"key", key});
    if (button)
        xdotool({"click", QString::number(button)});
    QVERIFY(pick.waitForFinished(5000));
    QCOMPARE(pick.exitCode(), status);
    QCOMPARE(QString::fromUtf8(pick.readAllStandardOutput()),
             printed.isEmpty() ? printed : printed + QLatin1Char('\n'));
    QTRY_VERIFY(xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"}).isEmpty());
    // A pick goes to the front of the history, a cancelled one nowhere.
    if (printed.isEmpty())
        QCOMPARE(historyNow(), historyBefore);
    else
        QCOMPARE(historyNow().section(QLatin1Char('\n'), 0, 0), printed);
    if (!options.contains(QLatin1String("--copy"))) {
        QCOMPARE(clipboardOut(), QStringLiteral("before"));
        return;
    }
    // The colour stays on the clipboard after the command returned, until
    // another program copies something; its server then ends.
    const auto servers = [] {
        return run(QStringLiteral("pgrep"), {"-f", "Mirabou --serve-clipboard"});
    };
    const QString server = servers().section('\n', 0, 0);
    QVERIFY(!server.isEmpty());
    // Started once the pick had connected, the server has the environment
    // the pick was given, without the pick's own setting for the display.
    const QByteArray environment = readFile(QStringLiteral("/proc/%1/environ").arg(server));
    QVERIFY(environment.contains("DISPLAY="));
    QVERIFY(!environment.contains("QT_XCB_NO_MITSHM"));
    QCOMPARE(clipboardOut(), printed);
    clipboardIn("after");
    QTRY_VERIFY(servers().isEmpty());
    QCOMPARE(clipboardOut(), QStringLiteral("after"));
}

void tst_Desktop::sampledAreaOverCheckerboard_data() {
    QTest::addColumn<int>("sample");
    // Where not 0, two monitors: the first at scale 1, the left half of the
    // screen, and one of half its height right of it at this scale; what
    // lies below that one no monitor shows.
    QTest::addColumn<int>("second");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QString>("colour"); // the mean, rounded half up
    // The root tiled red where x + y is even, blue where it is odd.
    QTest::newRow("1x1 on blue: the pixel alone") << 1 << 0 << QPoint(641, 600) << "#0000FF";
    QTest::newRow("3x3 on red: five red, four blue") << 3 << 0 << QPoint(640, 600) << "#8E0071";
    QTest::newRow("3x3 on blue: five blue, four red") << 3 << 0 << QPoint(641, 600) << "#71008E";
    QTest::newRow("3x3 at the top left corner: two and two, a half up")
        << 3 << 0 << QPoint(0, 0) << "#800080";
    QTest::newRow("5x5 at the top left corner: the nine on the screen")
        << 5 << 0 << QPoint(0, 0) << "#8E0071";
    QTest::newRow("5x5 at the bottom right corner") << 5 << 0 << QPoint(1279, 1023) << "#8E0071";
    QTest::newRow("9x9 at the top left corner: 13 red, 12 blue")
        << 9 << 0 << QPoint(0, 0) << "#85007A";
    QTest::newRow("9x9 at the top right corner") << 9 << 0 << QPoint(1279, 0) << "#7A0085";
    QTest::newRow("9x9 at the bottom left corner") << 9 << 0 << QPoint(0, 1023) << "#7A0085";
    QTest::newRow("9x9 at the bottom right corner") << 9 << 0 << QPoint(1279, 1023) << "#85007A";
    QTest::newRow("9x9 amid the screen: 41 red, 40 blue")
        << 9 << 0 << QPoint(800, 700) << "#81007E";
    QTest::newRow("9x9 across the edge of monitors at 1 and 2: all 81")
        << 9 << 2 << QPoint(637, 300) << "#7E0081";
    QTest::newRow("9x9 at the corner below the shorter monitor: the 49 shown")
        << 9 << 2 << QPoint(639, 515) << "#82007D";
}

void tst_Desktop::sampledAreaOverCheckerboard() {
    QFETCH(int, sample);
    QFETCH(int, second);
    QFETCH(QPoint, pointer);
    QFETCH(QString, colour);
    QVERIFY(paintCheckerboard());
    const auto plain = qScopeGuard([] { run(QStringLiteral("xsetroot"), {"-solid", "#123405"}); });
    QStringList scaled;
    if (second) {
        run(QStringLiteral("xrandr"), {"--setmonitor", "first", "640/163x1024/260+0+0", "screen"});
        run(QStringLiteral("xrandr"), {"--setmonitor", "second", "640/163x512/130+640+0", "none"});
        scaled =
            QStringList{QStringLiteral("QT_SCREEN_SCALE_FACTORS=first=1;second=%1").arg(second)};
    }
    const auto monitors = qScopeGuard([second] {
        if (second) {
            run(QStringLiteral("xrandr"), {"--delmonitor", "second"});
            run(QStringLiteral("xrandr"), {"--delmonitor", "first"});
        }
    });
    const auto magnifier = [] {
        return xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"});
    };
    const auto moveTo = [](QPoint to) {
        xdotool({"mousemove", QString::number(to.x()), QString::number(to.y())});
    };

    // The Eye Wizard with the sample size of the settings file: the views
    // follow the mean, the magnifier frames the square, the release keeps it.
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(
        p.start(QStringLiteral("[settings]\nposx=20\nposy=20\nsample=%1\n").arg(sample).toUtf8(),
                scaled, false));
    const QPoint swatch = clientOrigin(p.window) + Swatch;
    p.holdEyeWizard();
    moveTo(pointer);
    QTRY_COMPARE(screenPixel(swatch), QColor(colour).rgb() & 0xFFFFFF);
    QString shown;
    QTRY_VERIFY(!(shown = magnifier()).isEmpty());
    QString fault;
    QTRY_VERIFY2(
        (fault = framesArea(screenArea(windowRect(shown)), sample, checkerAt(pointer))).isEmpty(),
        qPrintable(fault));
    xdotool({"mouseup", "1"});
    QTRY_VERIFY(magnifier().isEmpty());
    QCOMPARE(p.copyEyeColour(), colour);
    QVERIFY(exitByButton(p));

    // mirabou --pick --sample N: the same mean, the same frame.
    QProcess pick;
    pick.setProcessEnvironment(environmentWith(scaled));
    pick.start(m_programFolder + QStringLiteral("/Mirabou"),
               {"--pick", "--sample", QString::number(sample)});
    QVERIFY(pick.waitForStarted());
    moveTo(pointer);
    QTRY_VERIFY(!(shown = magnifier()).isEmpty());
    QTRY_VERIFY2(
        (fault = framesArea(screenArea(windowRect(shown)), sample, checkerAt(pointer))).isEmpty(),
        qPrintable(fault));
    xdotool({"click", "1"});
    QVERIFY(pick.waitForFinished(5000));
    QCOMPARE(pick.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(pick.readAllStandardOutput()), colour + QLatin1Char('\n'));
}

void tst_Desktop::contrastLabelWhilePicking_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("eye"); // picked first, empty: none
    QTest::addColumn<QString>("over");
    QTest::addColumn<QString>("label"); // what the magnifier's label row says
    QTest::newRow("no eye colour: the hex text alone") << 1 << ""
                                                       << "#FFFFFF"
                                                       << "#FFFFFF";
    QTest::newRow("red remembered, over white: 3.998 shows 3.99") << 1 << "#FF0000"
                                                                  << "#FFFFFF"
                                                                  << "#FFFFFF 3.99:1";
    QTest::newRow("teal remembered, over yellow: 3.095 shows 3.09") << 1 << "#2A9D8F"
                                                                    << "#FFFF00"
                                                                    << "#FFFF00 3.09:1";
    QTest::newRow("at scale 2") << 2 << "#FF0000"
                                << "#FFFFFF"
                                << "#FFFFFF 3.99:1";
    QTest::newRow("no eye colour at scale 2") << 2 << ""
                                              << "#FFFF00"
                                              << "#FFFF00";
}

void tst_Desktop::contrastLabelWhilePicking() {
    QFETCH(int, scale);
    QFETCH(QString, eye);
    QFETCH(QString, over);
    QFETCH(QString, label);
    run(QStringLiteral("xsetroot"), {"-solid", "#123405"});
    const QRect eyeArea(700, 500, 100, 100), overArea(900, 500, 100, 100);
    std::unique_ptr<QWidget> eyeWindow;
    if (!eye.isEmpty()) {
        eyeWindow = showColouredWindow(QColor(eye), eyeArea);
        QVERIFY(eyeWindow);
    }
    const auto overWindow = showColouredWindow(QColor(over), overArea);
    QVERIFY(overWindow);
    AccessibilityBus bus;
    QVERIFY(bus.start());
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(p.start(QByteArray("[settings]\nposx=20\nposy=20\n"),
                    bus.environment() << QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale), false));
    const QPoint swatch = clientOrigin(p.window) + Swatch * scale;
    const auto moveTo = [](QPoint to) {
        xdotool({"mousemove", QString::number(to.x()), QString::number(to.y())});
    };
    if (!eye.isEmpty()) { // remembered by a pick
        p.holdEyeWizard(scale);
        moveTo(eyeArea.center());
        QTRY_COMPARE(screenPixel(swatch), QColor(eye).rgb() & 0xFFFFFF);
        xdotool({"mouseup", "1"});
        QCOMPARE(p.copyEyeColour(scale), eye);
    }
    p.holdEyeWizard(scale);
    moveTo(overArea.center());
    QTRY_COMPARE(screenPixel(swatch), QColor(over).rgb() & 0xFFFFFF);
    QString shown;
    QTRY_VERIFY(!(shown = xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"})).isEmpty());
    // What a screen reader reads of the magnifier: its label row.
    QString said;
    for (const QJsonValue w : bus.windows(p.process.processId(), QStringLiteral("Magnifier"))) {
        if (w[QLatin1String("name")].toString() == QLatin1String("Magnifier"))
            said = w[QLatin1String("description")].toString();
    }
    QCOMPARE(said, label);
    // What it draws: the same size as ever; in the label row, white text
    // and, with the ratio, a square of the eye colour.
    const QRect frame = windowRect(shown);
    QCOMPARE(frame.size(), QSize(134, 152) * scale);
    const QImage row = screenArea(frame).copy(0, 133 * scale, frame.width(), 18 * scale);
    const QRect ink = inkBounds(row, [](QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; });
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.left() >= 3 * scale && ink.right() < row.width() - 3 * scale,
             qPrintable(QStringLiteral("%1..%2").arg(ink.left()).arg(ink.right())));
    const QRect square = eye.isEmpty() ? QRect() : inkBounds(row, [&eye](QRgb c) {
        return (c & 0xFFFFFF) == (QColor(eye).rgb() & 0xFFFFFF);
    });
    QCOMPARE(!square.isEmpty(), !eye.isEmpty());
    if (!eye.isEmpty()) // readable: the square as tall as two thirds of the text
        QVERIFY2(square.height() >= 5 * scale, qPrintable(QString::number(square.height())));
    xdotool({"mouseup", "1"});
    QCOMPARE(p.copyEyeColour(scale), over);

    // MIRABOU_SCREENSHOTS=folder: the pick as the documentation shows it,
    // grey text on white, white remembered, the pointer on the text.
    const QString shots = qEnvironmentVariable("MIRABOU_SCREENSHOTS");
    if (!shots.isEmpty() && eye == QLatin1String("#FF0000")) {
        QImage page(240, 140, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(100);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0x77, 0x77, 0x77));
        painter.drawText(page.rect(), Qt::AlignCenter, QStringLiteral("Aa"));
        painter.end();
        const QPoint at(300, 600);
        const auto text = showPictureWindow(page, at);
        QVERIFY(text);
        QPoint onText; // a pixel amid a stroke of the text
        for (int y = 70; y < 140 && onText.isNull(); ++y)
            for (int x = 20; x < 120 && onText.isNull(); ++x)
                if (QColor(page.pixel(x, y)) == QColor(0x77, 0x77, 0x77) &&
                    QColor(page.pixel(x - 6, y)) == Qt::white)
                    onText = QPoint(x + 2, y);
        QVERIFY(!onText.isNull());
        p.holdEyeWizard(scale);
        moveTo(at + QPoint(4, 4));
        QTRY_COMPARE(screenPixel(swatch), qRgb(255, 255, 255) & 0xFFFFFF);
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
        p.holdEyeWizard(scale);
        moveTo(at + onText);
        QTRY_COMPARE(screenPixel(swatch), qRgb(0x77, 0x77, 0x77) & 0xFFFFFF);
        QTRY_VERIFY(
            !(shown = xdotool({"search", "--onlyvisible", "--name", "^Magnifier$"})).isEmpty());
        QTest::qWait(300);
        const QRect scene =
            windowRect(shown).united(QRect(at, page.size())).adjusted(-10, -10, 10, 10);
        const QString shot = QStringLiteral("%1/magnifier-contrast-%2.png").arg(shots);
        QVERIFY(screenArea(scene).save(shot.arg(scale)));
        if (scale == 2) { // both scales side by side, as the README shows them
            const QImage one(shot.arg(1)), two(shot.arg(2));
            QVERIFY(!one.isNull() && !two.isNull());
            QImage both(one.width() + 16 + two.width(), std::max(one.height(), two.height()),
                        QImage::Format_RGB32);
            both.fill(Qt::black);
            QPainter side(&both);
            side.drawImage(0, 0, one);
            side.drawImage(one.width() + 16, 0, two);
            side.end();
            QVERIFY(both.save(shot.arg(QStringLiteral("both"))));
        }
        xdotool({"mouseup", "1"});
        QCOMPARE(p.copyEyeColour(scale), QStringLiteral("#777777"));
    }
    p.click(ExitX * scale, ButtonY * scale);
    QVERIFY(endedCleanly(p));
}

void tst_Desktop::captionCloseWritesSettings() {
    RunningProgram p;
    QVERIFY(start(p, "posx=300\nposy=200"));
    // A move through the window manager places the frame, as a drag would.
    xdotool({"windowmove", p.window, "310", "230"});
    const QList<int> frame = frameExtents(p.window);
    QCOMPARE(frame.size(), 4);
    QTRY_COMPARE(clientOrigin(p.window), QPoint(310 + frame[0], 230 + frame[2]));
    xdotool({"windowfocus", "--sync", p.window});
    p.key(QStringLiteral("alt+F4")); // the window manager's close
    QVERIFY(endedCleanly(p));
    const QByteArray written = readFile(p.folder() + QStringLiteral("settings.ini"));
    QVERIFY2(written.contains("posx=310\nposy=230\n"), written.constData());
}

void tst_Desktop::signalsEndAsClosing_data() {
    QTest::addColumn<int>("signal");        // 0: the X server ends instead
    QTest::addColumn<QString>("openFirst"); // a key that opens a modal window
    QTest::newRow("SIGTERM, as at logout") << int(SIGTERM) << QString();
    QTest::newRow("SIGINT") << int(SIGINT) << QString();
    QTest::newRow("SIGHUP") << int(SIGHUP) << QString();
    QTest::newRow("SIGTERM with the About window open") << int(SIGTERM) << "F2";
    QTest::newRow("SIGTERM with the Language window open") << int(SIGTERM) << "F4";
    QTest::newRow("the X server ends") << 0 << QString();
    QTest::newRow("the X server ends with the About window open") << 0 << "F2";
}

void tst_Desktop::signalsEndAsClosing() {
    QFETCH(int, signal);
    QFETCH(QString, openFirst);
    // The X server that ends is one of the test's own.
    PrivateDisplay display;
    if (signal == 0)
        QVERIFY(display.start());
    RunningProgram p;
    QVERIFY(start(p, "posx=120\nposy=90"));
    p.key(QStringLiteral("F11")); // an option changed during the session
    if (!openFirst.isEmpty()) {
        p.key(openFirst);
        QVERIFY(!waitForWindow(QStringLiteral("^Orlen Mirabou: ")).isEmpty());
    }
    if (signal == 0) {
        display.stop();
        int code = -2;
        QVERIFY(p.finished(&code)); // Qt's own end, not a clean one
    } else {
        QCOMPARE(::kill(pid_t(p.process.processId()), signal), 0);
        QVERIFY(endedCleanly(p));
    }
    const QByteArray written = readFile(p.folder() + QStringLiteral("settings.ini"));
    QVERIFY2(written.contains("flat=0\n") && written.contains("posx=120\nposy=90\n"),
             written.constData());
}

void tst_Desktop::readOnlyProgramFolder() {
    // A system install: neither the folder nor its settings.ini are the
    // user's to write, so the settings go to the user's configuration folder.
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    const QString shipped = p.folder() + QStringLiteral("settings.ini");
    const QByteArray before = readFile(shipped);
    QTemporaryDir config;
    const QString userFile = config.filePath(QStringLiteral("mirabou/settings.ini"));
    const auto lock = [&] {
        QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        QFile::setPermissions(p.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                QFileDevice::ReadOther | QFileDevice::ExeOther);
        if (::geteuid() == 0) // the program runs as nobody, who owns its settings folder
            QVERIFY(::chown(QFile::encodeName(config.path()).constData(), 65534, 65534) == 0);
    };
    lock();
    p.unprivileged = true;
    const QStringList env = {QStringLiteral("XDG_CONFIG_HOME=") + config.path()};
    QVERIFY(p.start(QByteArray(), env, false));
    // The shipped languages are offered: Settings > Language > Deutsch.
    p.click(SettingsX, ButtonY);
    for (const char* key : {"Down", "Down", "Down", "Right", "Down", "Return"})
        p.key(QLatin1String(key));
    p.key(QStringLiteral("F11"));
    QVERIFY(exitByButton(p));
    const QByteArray written = readFile(userFile);
    QVERIFY2(written.contains("flat=0\n") && written.contains("language=lang002\n"),
             written.constData());
    QCOMPARE(readFile(shipped), before);

    // The next start finds them there.
    p.window.clear();
    QVERIFY(p.start(QByteArray(), env, false));
    p.key(QStringLiteral("F4"));
    QVERIFY(!waitForWindow(QStringLiteral("^Orlen Mirabou: Sprache\\.\\.\\.$")).isEmpty());
    p.key(QStringLiteral("Return"));
    xdotool({"windowfocus", "--sync", p.window});
    QVERIFY(exitByButton(p));
    QFile::setPermissions(p.dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_Desktop::badSettingsFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("writable"); // the program can and may write the file
    QTest::newRow("binary garbage") << "garbage" << true;
    QTest::newRow("50 MB") << "huge" << true;
    QTest::newRow("a directory") << "directory" << false;
    QTest::newRow("unreadable") << "unreadable" << false;
    QTest::newRow("writable file in a read-only folder") << "readonly" << true;
}

void tst_Desktop::badSettingsFile() {
    QFETCH(QString, kind);
    QFETCH(bool, writable);
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    const QString path = p.folder() + QStringLiteral("settings.ini");
    QByteArray before;
    if (kind == QLatin1String("directory")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    } else {
        before =
            kind == QLatin1String("huge") ? randomBytes(50 << 20, 5) : randomBytes(64 << 10, 9);
        if (kind == QLatin1String("unreadable") || kind == QLatin1String("readonly"))
            before = readFile(path); // the shipped file
        else
            writeFile(path, before);
    }
    if (kind == QLatin1String("unreadable"))
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteOther));
    if (kind == QLatin1String("readonly"))
        QVERIFY(QFile::setPermissions(p.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                        QFileDevice::ReadOther |
                                                        QFileDevice::ExeOther));
    p.unprivileged = kind == QLatin1String("unreadable") || kind == QLatin1String("readonly");
    QVERIFY(p.start(QByteArray(), {}, false));
    p.click(ExitX, ButtonY);
    QCOMPARE(dismissErrorBox(), !writable);
    QVERIFY(endedCleanly(p));
    QFile::setPermissions(p.dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (kind == QLatin1String("directory")) {
        QVERIFY(QFileInfo(path).isDir());
    } else if (writable) {
        // Every byte the program found is kept; its own lines follow them.
        const QByteArray after = readFile(path);
        QVERIFY(after.startsWith(before));
        QVERIFY(after.mid(before.size()).contains("posx="));
    } else {
        QVERIFY(readFile(path) == before);
    }
}

void tst_Desktop::languageTextsShownAsWritten() {
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    const QString path = p.folder() + QStringLiteral("English.lng");
    const QString hint = QStringLiteral("<b>Copy</b> HEX Value");
    // 60 characters, more than the Language window has room for.
    const QString author =
        QStringLiteral("<b>Maria</b> Dolores Fernández de la Concepción Villanueva y");
    {
        files::IniFile english(path);
        english.writeString(QStringLiteral("toolbar"), QStringLiteral("line07"), hint);
        english.writeString(QStringLiteral("language"), QStringLiteral("author"), author);
    }
    QVERIFY(p.start(QByteArray(), {}, false));

    // A hint or a value that looks like markup shows as written: as wide as
    // its tags.
    const auto tipWidth = [&p](const QPoint& at, const QString& window) {
        const QStringList before = visibleWindows(p);
        xdotool(
            {"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y())});
        QString tip;
        for (int i = 0; i < 50 && (tip = newWindow(p, before)).isEmpty(); ++i)
            QTest::qWait(100);
        return tip.isEmpty() ? -1
                             : numbersAfter(run(QStringLiteral("xwininfo"), {"-id", tip}),
                                            QStringLiteral("Width:"))
                                   .value(0, -1);
    };
    const QFontMetrics tipFont(QToolTip::font());
    int width = tipWidth(QPoint(CopyHexX, ButtonY), p.window);
    QVERIFY2(width > tipFont.horizontalAdvance(hint), QByteArray::number(width));
    xdotool({"mousemove", "--window", p.window, "200", "150"});

    // A value too long for the Language window stops a small gap after its
    // field name's ink, cut at its end; the whole value shows in its tooltip.
    p.key(QStringLiteral("F4"));
    const QString language = waitForWindow(QStringLiteral("^Orlen Mirabou: Language\\.\\.\\.$"));
    QVERIFY(!language.isEmpty());
    const QPoint corner = clientOrigin(language);
    const QRect authorRow(corner + QPoint(0, 8 + 32), QSize(377, 13));
    const QImage row = screenArea(authorRow);
    const auto inked = [&row](int x) {
        for (int y = 0; y < row.height(); ++y) {
            if (qGray(row.pixel(x, y)) < 100)
                return true;
        }
        return false;
    };
    QFont nameFont(QStringLiteral("Verdana"), 8);
    nameFont.setBold(true);
    const int nameEnd = 8 + 8 + QFontMetrics(nameFont).horizontalAdvance(QStringLiteral("Author:"));
    QVERIFY(inked(8 + 8 + 1)); // the field name's ink
    int gap = nameEnd;         // the first clear column after it
    while (gap > 16 && !inked(gap - 1))
        --gap;
    int valueStart = gap;
    while (valueStart < row.width() && !inked(valueStart))
        ++valueStart;
    int valueEnd = row.width() - 1;
    while (valueEnd > valueStart && !inked(valueEnd))
        --valueEnd;
    QVERIFY2(valueStart - gap >= 3 && valueEnd >= 8 + 353 - 8 && valueEnd < 8 + 353,
             qPrintable(QStringLiteral("name's ink to %1, value's from %2 to %3")
                            .arg(gap)
                            .arg(valueStart)
                            .arg(valueEnd)));
    width = tipWidth(QPoint(300, 8 + 32 + 6), language);
    QVERIFY2(width > tipFont.horizontalAdvance(author), QByteArray::number(width));
    p.key(QStringLiteral("Return"));
    QTRY_VERIFY(findWindow(QStringLiteral("Language\\.\\.\\.$")).isEmpty());
    QVERIFY(exitByButton(p));
}

void tst_Desktop::badLanguageFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("binary garbage") << "garbage";
    QTest::newRow("50 MB") << "huge";
    QTest::newRow("a directory") << "directory";
    QTest::newRow("unreadable") << "unreadable";
}

void tst_Desktop::badLanguageFile() {
    QFETCH(QString, kind);
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    const QString path = p.folder() + QStringLiteral("English.lng");
    QByteArray before = readFile(path);
    QVERIFY(!before.isEmpty());
    if (kind == QLatin1String("directory")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("unreadable")) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    } else {
        before =
            kind == QLatin1String("huge") ? randomBytes(50 << 20, 3) : randomBytes(64 << 10, 4);
        writeFile(path, before);
    }
    p.unprivileged = kind == QLatin1String("unreadable");
    QVERIFY(p.start(QByteArray(), {}, false));
    // The language window reads the language list and still works.
    p.key(QStringLiteral("F4"));
    QVERIFY(!waitForWindow(QStringLiteral("Language...$")).isEmpty());
    p.key(QStringLiteral("Return"));
    xdotool({"windowfocus", "--sync", p.window});
    QVERIFY(exitByButton(p));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (kind == QLatin1String("directory"))
        QVERIFY(QFileInfo(path).isDir());
    else
        QVERIFY(readFile(path) == before);
}

void tst_Desktop::megabyteClipboard_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("4 MB of digits") << QByteArray(4 << 20, '7');
    QTest::newRow("a hex colour and 4 MB after it") << "#123456" + QByteArray(4 << 20, 'A');
    QTest::newRow("2 MB of commas and numbers") << QByteArray("1,2,").repeated(1 << 19);
    QTest::newRow("4 MB of binary") << randomBytes(4 << 20, 11);
}

void tst_Desktop::megabyteClipboard() {
    QFETCH(QByteArray, text);
    RunningProgram p;
    QVERIFY(start(p));
    clipboardIn("#0C0D0E");
    p.click(PasteHexX, ButtonY);
    clipboardIn(text);
    p.click(PasteHexX, ButtonY);
    p.click(PasteDecX, ButtonY);
    // The colour stays as it was, and the program still answers.
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#0C0D0E"));
    QVERIFY(exitByButton(p));
}

void tst_Desktop::pasteAnyColour() {
    // Every colour text of the reference table (what colorjs.io reads each
    // as), through the clipboard of the desktop: xclip puts it there, Paste
    // Color's key reads it, Copy HEX Value gives the colour back.
    QFile table(QStringLiteral(MIRABOU_REFERENCE "/reading.tsv"));
    QVERIFY(table.open(QIODevice::ReadOnly));
    QList<std::pair<QByteArray, QString>> rows;
    for (const QByteArray& line : table.readAll().split('\n').mid(1)) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2) // the text as JSON writes a string, the colour
            rows.append(
                {QJsonDocument::fromJson("[" + fields[0] + "]").array()[0].toString().toUtf8(),
                 QString::fromLatin1(fields[1])});
    }
    QVERIFY(rows.size() > 60);
    // Texts that are no colour leave the colour as it was.
    const QString before = QStringLiteral("#0C0D0E");
    for (const char* none : {"", "#12345", "rgb(1e999, NaN, -0)", "hsl(1e999 50% 50%)",
                             "oklch(50% 0.1 deg)", "colour"})
        rows.append({QByteArray(none), QString()});
    rows.append({QByteArray("#FF8000\0#000000", 15), QString()}); // a zero byte amid it
    RunningProgram p;
    QVERIFY(start(p));
    QStringList wrong;
    for (const auto& [text, colour] : std::as_const(rows)) {
        clipboardIn("#0C0D0E");
        p.click(PasteHexX, ButtonY);
        clipboardIn(text);
        p.key(QStringLiteral("ctrl+shift+v"));
        p.click(CopyHexX, ButtonY);
        const QString want = colour.isEmpty() ? before : colour;
        QString got;
        for (QDeadlineTimer deadline(3000); !deadline.hasExpired() && got != want;)
            got = clipboardOut();
        if (got != want)
            wrong << QStringLiteral("%1 gave %2, not %3").arg(QString::fromUtf8(text), got, want);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    QVERIFY(exitByButton(p));
}

void tst_Desktop::copyAsAndOwnNotations() {
    // Notations of the user's own from the settings file, a refused one told
    // on stderr at start-up; Copy As from a right click on the hex text,
    // copying again by its key, the choice kept across a restart.
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    {
        QFile settings(p.folder() + QStringLiteral("settings.ini"));
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("\n[formats]\ncss-var=--accent: #%Rx%Gx%Bx;\nrgb=mine\n"
                       "swift=Color(red: %Rf, green: %Gf, blue: %Bf)\n");
    }
    QVERIFY(p.start(QByteArray(), {}, false));
    clipboardIn("#FF8000");
    p.click(PasteHexX, ButtonY);
    // The menu opens where the right click was; its items are the texts.
    const QStringList before = visibleWindows(p);
    p.click(HexText.x(), HexText.y(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(!newWindow(p, before).isEmpty(), 10000);
    QTest::qWait(200); // drawn, its keys its own
    // The items in order: the sixteen built-in notations, then the user's.
    for (int down = 0; down < 17; ++down)
        p.key(QStringLiteral("Down"));
    p.key(QStringLiteral("Return"));
    QTRY_COMPARE(clipboardOut(), QStringLiteral("--accent: #ff8000;"));
    clipboardIn("#102030");
    p.click(PasteHexX, ButtonY);
    p.key(QStringLiteral("ctrl+shift+c"));
    QTRY_COMPARE(clipboardOut(), QStringLiteral("--accent: #102030;"));
    // What Paste Color reads of it.
    clipboardIn("--accent: #abcdef;");
    p.key(QStringLiteral("ctrl+shift+v"));
    p.click(CopyHexX, ButtonY);
    QTRY_COMPARE(clipboardOut(), QStringLiteral("#ABCDEF"));
    QVERIFY(exitByButton(p));
    QVERIFY2(
        QString::fromLocal8Bit(p.process.readAllStandardError()).contains(QLatin1String("rgb")),
        "the refused notation was not told");
    QVERIFY(readFile(p.folder() + QStringLiteral("settings.ini")).contains("copyas=css-var\n"));
    // And after a restart, Ctrl+Shift+C copies in it again.
    QVERIFY(p.start(QByteArray(), {}, false));
    clipboardIn("#FF8000");
    p.click(PasteHexX, ButtonY);
    p.key(QStringLiteral("ctrl+shift+c"));
    QTRY_COMPARE(clipboardOut(), QStringLiteral("--accent: #ff8000;"));
    QVERIFY(exitByButton(p));
}

void tst_Desktop::contrastWindowFromOutside() {
    // Three painted windows of known colours below the program's windows.
    const auto white = showColouredWindow(Qt::white, QRect(100, 600, 150, 150));
    const auto passing = showColouredWindow(QColor(0x76, 0x76, 0x76), QRect(300, 600, 150, 150));
    const auto failing = showColouredWindow(QColor(0x77, 0x77, 0x77), QRect(500, 600, 150, 150));
    QVERIFY(white && passing && failing);
    AccessibilityBus bus;
    QVERIFY(bus.start());
    RunningProgram p;
    QVERIFY(p.installFrom(m_programFolder));
    QVERIFY(p.start(QByteArray("[settings]\nposx=20\nposy=20\ncontrastx=540\ncontrasty=20\n"),
                    bus.environment(), false));
    const auto pickAt = [&p](QPoint at) {
        p.holdEyeWizard();
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(150);
        xdotool({"mouseup", "1"});
        QTest::qWait(200);
    };
    // White as the eye colour, then #888888 pasted as the current colour.
    pickAt({175, 675});
    QCOMPARE(p.copyEyeColour(), QStringLiteral("#FFFFFF"));
    clipboardIn("#888888");
    p.click(PasteHexX, ButtonY);
    QTRY_COMPARE(screenPixel(clientOrigin(p.window) + Swatch), qRgb(0x88, 0x88, 0x88) & 0xFFFFFF);

    p.key(QStringLiteral("F9"));
    const QString contrast = waitForWindow(QStringLiteral("^Contrast$"));
    QVERIFY(!contrast.isEmpty());
    QTRY_COMPARE(rootWindows("_NET_ACTIVE_WINDOW"), QStringList{contrast});
    // Kept above the main window by the desktop.
    const QStringList stacking = rootWindows("_NET_CLIENT_LIST_STACKING");
    QVERIFY(stacking.indexOf(contrast) > stacking.indexOf(p.window));
    QMap<QString, QString> figures = contrastFigures(bus, p);
    QCOMPARE(figures.value(QStringLiteral("WCAG 2 contrast ratio: ")), QStringLiteral("3.54:1"));
    QCOMPARE(figures.value(QStringLiteral("AA normal text: ")), QStringLiteral("Fail"));
    QCOMPARE(figures.value(QStringLiteral("AA large text: ")), QStringLiteral("Pass"));
    QCOMPARE(figures.value(QStringLiteral("AAA normal text: ")), QStringLiteral("Fail"));
    QCOMPARE(figures.value(QStringLiteral("AAA large text: ")), QStringLiteral("Fail"));
    QCOMPARE(figures.value(QStringLiteral("Non-text: ")), QStringLiteral("Pass"));
    QCOMPARE(figures.value(QStringLiteral("APCA lightness contrast (Lc): ")),
             QStringLiteral("63.1"));
    QCOMPARE(figures.value(QStringLiteral("Protanopia: ")), QStringLiteral("3.54:1"));
    // The sample as drawn: the top of its background (below the window's
    // margin, above its first line of text) is the eye colour.
    const QRect client = windowRect(contrast);
    const QPoint sampleTop = client.topLeft() + QPoint(client.width() / 2, 13);
    QTRY_COMPARE(screenPixel(sampleTop), qRgb(0xFF, 0xFF, 0xFF) & 0xFFFFFF);
    const QImage shot = screenArea(client);
    QVERIFY(inkBounds(shot, [](QRgb c) { return (c & 0xFFFFFF) == 0x888888; }).isValid());
    // The picture of the README and the help: with MIRABOU_SCREENSHOTS set,
    // written into that folder.
    if (const QByteArray folder = qgetenv("MIRABOU_SCREENSHOTS"); !folder.isEmpty())
        QVERIFY(shot.save(QString::fromLocal8Bit(folder) + QStringLiteral("/contrast.png")));

    // Swap by its key: white text on #888888.
    p.key(QStringLiteral("x"));
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("APCA lightness contrast (Lc): ")),
                 QStringLiteral("-68.5"));
    QTRY_COMPARE(screenPixel(sampleTop), qRgb(0x88, 0x88, 0x88) & 0xFFFFFF);
    p.key(QStringLiteral("x"));
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("APCA lightness contrast (Lc): ")),
                 QStringLiteral("63.1"));

    // Live during a pick: the pixel under the pointer as text on the eye
    // colour the press put aside.
    p.holdEyeWizard();
    xdotool({"mousemove", "375", "675"});
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("WCAG 2 contrast ratio: ")),
                 QStringLiteral("4.54:1"));
    QCOMPARE(contrastFigures(bus, p).value(QStringLiteral("AA normal text: ")),
             QStringLiteral("Pass"));
    QTRY_COMPARE(screenPixel(sampleTop), qRgb(0xFF, 0xFF, 0xFF) & 0xFFFFFF);
    xdotool({"mousemove", "575", "675"});
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("WCAG 2 contrast ratio: ")),
                 QStringLiteral("4.47:1"));
    QCOMPARE(contrastFigures(bus, p).value(QStringLiteral("AA normal text: ")),
             QStringLiteral("Fail"));
    xdotool({"mouseup", "1"});
    QTest::qWait(200);
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("WCAG 2 contrast ratio: ")),
                 QStringLiteral("1.00:1"));

    // Swapped and moved, then closed by Escape: both kept for the next start.
    xdotool({"windowactivate", "--sync", contrast});
    p.key(QStringLiteral("x"));
    QTRY_COMPARE(contrastFigures(bus, p).value(QStringLiteral("APCA lightness contrast (Lc): ")),
                 QStringLiteral("0.0"));
    xdotool({"windowmove", "--sync", contrast, "600", "300"});
    QTest::qWait(200);
    const QPoint moved = clientOrigin(contrast);
    p.key(QStringLiteral("Escape"));
    QTRY_VERIFY(findWindow(QStringLiteral("^Contrast$")).isEmpty());
    QVERIFY(exitByButton(p));
    const QByteArray written = readFile(p.folder() + QStringLiteral("settings.ini"));
    QVERIFY2(written.contains("contrastswap=1\n"), written.constData());

    // Started again always on top: the Contrast window stays on top too.
    RunningProgram again;
    QVERIFY(again.installFrom(m_programFolder));
    writeFile(again.folder() + QStringLiteral("settings.ini"),
              QByteArray(written).replace("ontop=0\n", "ontop=1\n"));
    QVERIFY(again.start(QByteArray(), bus.environment(), false));
    again.key(QStringLiteral("F9"));
    const QString reopened = waitForWindow(QStringLiteral("^Contrast$"));
    QVERIFY(!reopened.isEmpty());
    QTRY_COMPARE(clientOrigin(reopened), moved);
    QTRY_VERIFY(windowState(reopened).contains(QLatin1String("_NET_WM_STATE_ABOVE")));
    // Swapped, no eye colour yet: white text on the current black.
    QTRY_COMPARE(
        contrastFigures(bus, again).value(QStringLiteral("APCA lightness contrast (Lc): ")),
        contrast::lcText(contrast::lightnessContrast(0xFFFFFF, 0)));
    QVERIFY(exitByButton(again));
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
