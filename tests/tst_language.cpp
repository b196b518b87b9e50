#include "app/Mirabou_Palettes.h"
#include "app/Program.h"
#include "color/ColorModel.h"
#include "eyedropper/EyeWizard.h"
#include "files/IniFile.h"
#include "i18n/LanguageFile.h"
#include "support/ProgramDriver.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace testsupport;

namespace {

/// The text a language row's target shows now.
QString targetText(QWidget* window, const QString& name, bool hint) {
    if (name == QLatin1String("#caption"))
        return window->windowTitle();
    QObject* o = window->findChild<QObject*>(name);
    if (hint || qobject_cast<QToolButton*>(o))
        return qobject_cast<QWidget*>(o)->toolTip();
    if (auto* m = qobject_cast<QMenu*>(o))
        return m->title();
    if (auto* a = qobject_cast<QAction*>(o))
        return a->text();
    if (auto* g = qobject_cast<QGroupBox*>(o))
        return g->title();
    if (auto* l = qobject_cast<QLabel*>(o))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        return b->text();
    qFatal("no target %s", qPrintable(name));
}

/// The window of a language row's target.
QWidget* windowOf(const WindowFixture& f, i18n::Window w) {
    return w == i18n::Window::Main    ? static_cast<QWidget*>(&f.program->form1)
           : w == i18n::Window::About ? static_cast<QWidget*>(&f.program->form2)
                                      : static_cast<QWidget*>(&f.program->form3);
}

QString textOf(const WindowFixture& f, i18n::Window w, const char* name, bool hint = false) {
    return targetText(windowOf(f, w), QLatin1String(name), hint);
}

QList<QAction*> languageItems(const WindowFixture& f) {
    return f.c<QMenu>("Language1")->actions();
}

/// The languages the program ships: base names and captions, as its
/// settings file lists them.
QList<std::pair<QString, QString>> shippedLanguages() {
    const files::IniFile settings(QStringLiteral(MIRABOU_RESOURCES "/settings.ini"));
    const QString section = QStringLiteral("languages");
    QList<std::pair<QString, QString>> languages;
    for (int n = 1; n <= settings.readInteger(section, QStringLiteral("number"), 0); ++n)
        languages.append({settings.readString(section, i18n::languageFileKey(n), {}),
                          settings.readString(section, i18n::languageNameKey(n), {})});
    return languages;
}

QString shippedFile(const QString& base) {
    return QStringLiteral(MIRABOU_RESOURCES "/lang/") + base + QStringLiteral(".lng");
}

/// What is wrong with the texts a shown window draws: a text wider or taller
/// than its control, or one that runs into another control or text.
QStringList textFaults(QWidget* window) {
    struct Area {
        QWidget* owner;
        QRect rect; // in the window
        bool text;
    };
    QList<Area> areas;
    QStringList faults;
    const auto describe = [](QWidget* w, const QString& text, const QRect& r) {
        return QStringLiteral("%1 '%2' at %3,%4 %5x%6")
            .arg(w->objectName(), text)
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window))
            continue;
        QString text;
        QRect line; // where the line of text stands in w
        QRect room = w->rect();
        const QFontMetrics metrics = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text().trimmed();
            line = w->style()->itemTextRect(metrics, label->contentsRect(), int(label->alignment()),
                                            true, text);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            text = group->title().trimmed();
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            option.lineWidth = 1;
            option.textAlignment = group->alignment();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            line = w->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                              QStyle::SC_GroupBoxLabel, w);
            // Short of the frame's rounded corner.
            room.adjust(0, 0, -4, 0);
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            text = button->text();
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text;
            room = w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w);
            line = w->style()->itemTextRect(metrics, room, Qt::AlignCenter, true, text);
        } else if (w->findChildren<QWidget*>().isEmpty()) {
            areas.append({w, QRect(w->mapTo(window, QPoint()), w->size()), false});
            continue;
        } else {
            continue;
        }
        if (text.isEmpty())
            continue;
        // The ink of the glyphs, from the line's left end and baseline; a
        // glyph's anti-aliased edge may stand a pixel over its outline's.
        const QRect ink =
            metrics.tightBoundingRect(text).translated(line.left(), line.top() + metrics.ascent());
        if (!room.adjusted(-1, -1, 1, 1).contains(ink))
            faults << describe(w, text, ink) + QStringLiteral(" is cut");
        // A label that paints its background covers all of itself.
        auto* label = qobject_cast<QLabel*>(w);
        const QRect covered = label && label->autoFillBackground() ? w->rect() : ink;
        areas.append({w, QRect(w->mapTo(window, covered.topLeft()), covered.size()), true});
    }
    for (const Area& a : areas) {
        for (const Area& b : areas) {
            // A text may stand on what holds it (a group, the header strip).
            if (!a.text || a.owner == b.owner || b.owner->isAncestorOf(a.owner) ||
                a.owner->isAncestorOf(b.owner) || (!b.text && b.rect.contains(a.rect)))
                continue;
            if (a.rect.intersects(b.rect))
                faults << describe(a.owner, QString(), a.rect) + QStringLiteral(" runs into ") +
                              describe(b.owner, QString(), b.rect);
        }
    }
    return faults;
}

/// A label's first character as a picture of its window shows it.
QImage firstCharacter(const QImage& shot, QLabel* label, QWidget* window) {
    const qreal ratio = shot.devicePixelRatio();
    const QRect cell(
        label->mapTo(window, QPoint()),
        QSize(label->fontMetrics().horizontalAdvance(label->text().left(1)), label->height()));
    return shot.copy(QRect(cell.topLeft() * ratio, cell.size() * ratio));
}

QByteArray languagesSection(int count) {
    QByteArray s = "[languages]\nnumber=" + QByteArray::number(count) + "\n";
    for (int n = 1; n <= count; ++n) {
        const QByteArray num = QByteArray::number(n).rightJustified(3, '0');
        s += "lang" + num + "=L" + QByteArray::number(n) + "\nname" + num + "=Language " +
             QByteArray::number(n) + "\n";
    }
    return s;
}

} // namespace

using i18n::Window;

class tst_Language : public QObject {
    Q_OBJECT
private slots:
    void noFileGivesDefaults();
    void composition_data();
    void composition();
    void valueCutTo2047();
    void eyeColourForgotten();
    void chosenLanguage_data();
    void chosenLanguage();
    void twelveLanguages();
    void pickingAgainRereads();
    void toolkitTexts_data();
    void toolkitTexts();
    void shippedTranslationsAreComplete_data();
    void shippedTranslationsAreComplete();
    void shippedLanguagesFit_data();
    void shippedLanguagesFit();
    void accessibleNames_data();
    void accessibleNames();
};

void tst_Language::noFileGivesDefaults() {
    WindowFixture f;
    QVERIFY(f.start());
    for (const i18n::LanguageRow& row : i18n::languageRows()) {
        const QString def = QString::fromUtf8(row.def);
        QWidget* window = windowOf(f, row.window);
        const QStringList names =
            QString::fromLatin1(row.target).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        switch (row.form) {
        case i18n::Form::Window:
            QCOMPARE(window->windowTitle(), QStringLiteral("Orlen Mirabou: ") + def + "...");
            break;
        case i18n::Form::Letters:
            for (int i = 0; i < 3; ++i)
                QCOMPARE(targetText(window, names[i], false), QString(def[i]));
            break;
        case i18n::Form::Colon:
            QCOMPARE(targetText(window, names[0], false), def + ": ");
            break;
        case i18n::Form::AsRead:
            QCOMPARE(targetText(window, names[0], row.hint), def);
            break;
        }
    }
    QCOMPARE(f.program->form2.windowTitle(), QStringLiteral("Orlen Mirabou: About..."));
    QCOMPARE(f.program->form3.windowTitle(), QStringLiteral("Orlen Mirabou: Language..."));
    QCOMPARE(f.w().eyeWizard().notSetText(), QStringLiteral("Not Set"));
    QCOMPARE(textOf(f, Window::Main, "AlwaysOnTop1"), QStringLiteral("Always on Top"));
    QCOMPARE(textOf(f, Window::Main, "FlatButtons1"), QStringLiteral("Flat Buttons"));
    QCOMPARE(textOf(f, Window::Main, "SendEmail1"), QStringLiteral("Send eMail"));
}

void tst_Language::composition_data() {
    QTest::addColumn<QByteArray>("lng");
    QTest::addColumn<int>("window");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("four letters") << QByteArray("[toolbar]\nline01=ABCD\n") << int(Window::Main)
                                  << QStringList{"Label13", "Label14", "Label15"}
                                  << QStringList{"A", "B", "C"};
    QTest::newRow("two letters") << QByteArray("[toolbar]\nline06=XY\n") << int(Window::Main)
                                 << QStringList{"Label30", "Label31", "Label29"}
                                 << QStringList{"X", "Y", ""};
    QTest::newRow("letters beyond 16 bits")
        << QByteArray("[toolbar]\nline02=\xf0\x9d\x90\x83\xf0\x9d\x90\x84"
                      "C\n")
        << int(Window::Main) << QStringList{"Label16", "Label17", "Label18"}
        << QStringList{QString::fromUtf8("\xf0\x9d\x90\x83"), QString::fromUtf8("\xf0\x9d\x90\x84"),
                       "C"};
    QTest::newRow("empty letters")
        << QByteArray("[toolbar]\nline03=\n") << int(Window::Main)
        << QStringList{"Label19", "Label20", "Label21"} << QStringList{"", "", ""};
    QTest::newRow("colon trimmed")
        << QByteArray("[components]\nline06=  Rojo  \n") << int(Window::Main)
        << QStringList{"Label1"} << QStringList{"Rojo: "};
    QTest::newRow("empty colon") << QByteArray("[value]\nline02=\n") << int(Window::Main)
                                 << QStringList{"Label11"} << QStringList{": "};
    QTest::newRow("hint") << QByteArray("[toolbar]\nline07=Kopieren\n") << int(Window::Main)
                          << QStringList{"SpeedButton3"} << QStringList{"Kopieren"};
    QTest::newRow("other case") << QByteArray("[ToolBar]\nLINE16=Ende\n") << int(Window::Main)
                                << QStringList{"SpeedButton8"} << QStringList{"Ende"};
    QTest::newRow("menu about order")
        << QByteArray("[menuabout]\nline01=A1\nline02=A2\nline03=A3\nline04=A4\n")
        << int(Window::Main) << QStringList{"About1", "WebSite1", "SendEmail1", "Language2"}
        << QStringList{"A1", "A2", "A3", "A4"};
    QTest::newRow("formlanguage line01 twice")
        << QByteArray("[formlanguage]\nline01=Sprache\nline06=Post\n") << int(Window::Language)
        << QStringList{"Label1", "Label4"} << QStringList{"Sprache: ", "Post: "};
    QTest::newRow("language caption")
        << QByteArray("[formlanguage]\nline01=W\n") << int(Window::Language)
        << QStringList{"#caption", "Label1"} << QStringList{"Orlen Mirabou: W...", "W: "};
    QTest::newRow("about caption")
        << QByteArray("[formabout]\nline01=Info\n") << int(Window::About) << QStringList{"#caption"}
        << QStringList{"Orlen Mirabou: Info..."};
    QTest::newRow("about labels without colon")
        << QByteArray("[formabout]\nline03=Autor\nline02=Schliessen\n") << int(Window::About)
        << QStringList{"Label6", "Button1"} << QStringList{"Autor", "Schliessen"};
    QTest::newRow("markup stays text")
        << QByteArray("[components]\nline02=<b>x</b>\n") << int(Window::Main)
        << QStringList{"Label5"} << QStringList{"<b>x</b>"};
    QTest::newRow("submenus") << QByteArray(
                                     "[menusettings]\nline02=Lang\n[menuwizard]\nline01=Copy\n")
                              << int(Window::Main)
                              << QStringList{"Language1", "CopyEyeColorHexValue1"}
                              << QStringList{"Lang", "Copy"};
    QTest::newRow("sample size menu, the side twice")
        << QByteArray("[sampling]\nline01=Muster\nline02=Eins\nline03=%1 mal %1\n")
        << int(Window::Main) << QStringList{"SampleSize1", "Sample1x1", "Sample3x3", "Sample9x9"}
        << QStringList{"Muster", "Eins", "3 mal 3", "9 mal 9"};
    QTest::newRow("sample size menu left out: English")
        << QByteArray("[menusettings]\nline03=Lupe\n") << int(Window::Main)
        << QStringList{"SampleSize1", "Sample1x1", "Sample5x5"}
        << QStringList{"Sample Size", "1 \u00d7 1 (single pixel)", "5 \u00d7 5 (average)"};
}

void tst_Language::composition() {
    QFETCH(QByteArray, lng);
    QFETCH(int, window);
    QFETCH(QStringList, names);
    QFETCH(QStringList, texts);
    WindowFixture f;
    f.file(QStringLiteral("T.lng"), lng);
    QVERIFY(f.start("[languages]\nnumber=1\nlang001=T\n"));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(textOf(f, Window(window), qPrintable(names[i])), texts[i]);
}

void tst_Language::valueCutTo2047() {
    WindowFixture f;
    f.file(QStringLiteral("T.lng"), "[components]\nline02=" + QByteArray(3000, 'w') + "\n");
    QVERIFY(f.start("[languages]\nnumber=1\nlang001=T\n"));
    QCOMPARE(textOf(f, Window::Main, "Label5"), QString(2047, QLatin1Char('w')));
}

void tst_Language::eyeColourForgotten() {
    WindowFixture f;
    f.file(QStringLiteral("H.lng"), "[value]\nline05=-\n");
    QVERIFY(f.start("[languages]\nnumber=2\nlang001=none\nlang002=H\n"));
    auto* eye = child<QLabel>(&f.w(), "Label25");
    eye->setText(QStringLiteral("#123456")); // as a release of the Eye Wizard leaves it
    languageItems(f)[1]->trigger();
    QCOMPARE(eye->text(), QStringLiteral("-"));
    QCOMPARE(f.w().eyeWizard().notSetText(), QStringLiteral("-"));
    child<QAction>(&f.w(), "RecallEyeColor1")->trigger();
    QCOMPARE(child<QLabel>(&f.w(), "Label4")->text(), QStringLiteral("#000000"));
    child<QAction>(&f.w(), "DecValue1")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Error,Error,Error"));
    child<QAction>(&f.w(), "ClearEyeColor1")->trigger();
    QCOMPARE(eye->text(), QStringLiteral("-"));
}

void tst_Language::chosenLanguage_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("checked");     // 0: none
    QTest::addColumn<QString>("applied"); // SpeedButton8's hint
    QTest::addColumn<QString>("saved");
    const QByteArray three = languagesSection(3);
    QTest::newRow("lang002 of three") << "[settings]\nlanguage=lang002\n" + three << 2 << "L2"
                                      << "lang002";
    QTest::newRow("lang2 without zeros") << "[settings]\nlanguage=lang2\n" + three << 2 << "L2"
                                         << "lang002";
    QTest::newRow("not a number") << "[settings]\nlanguage=langabc\n" + three << 1 << "L1"
                                  << "lang001";
    QTest::newRow("zero") << "[settings]\nlanguage=lang000\n" + three << 1 << "L1"
                          << "lang001";
    QTest::newRow("the last of three") << "[settings]\nlanguage=lang003\n" + three << 3 << "L3"
                                       << "lang003";
    QTest::newRow("above count") << "[settings]\nlanguage=lang004\n" + three << 1 << "L1"
                                 << "lang001";
    QTest::newRow("no languages") << QByteArray(
                                         "[settings]\nlanguage=lang002\n[languages]\nnumber=0\n")
                                  << 0 << "Exit"
                                  << "lang001";
    QTest::newRow("negative count") << QByteArray("[languages]\nnumber=-3\n") << 0 << "Exit"
                                    << "lang001";
}

void tst_Language::chosenLanguage() {
    QFETCH(QByteArray, settings);
    QFETCH(int, checked);
    QFETCH(QString, applied);
    QFETCH(QString, saved);
    WindowFixture f;
    for (int n = 1; n <= 3; ++n)
        f.file(QStringLiteral("L%1.lng").arg(n),
               "[toolbar]\nline16=L" + QByteArray::number(n) + "\n");
    QVERIFY(f.start(settings));
    const QList<QAction*> items = languageItems(f);
    for (int n = 0; n < items.size(); ++n)
        QCOMPARE(items[n]->isChecked(), n + 1 == checked);
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), applied);
    QCOMPARE(f.saved("language"), saved);
}

void tst_Language::twelveLanguages() {
    WindowFixture f;
    f.file(QStringLiteral("L10.lng"), "[toolbar]\nline16=Ten\n");
    QVERIFY(f.start(languagesSection(12)));
    QCOMPARE(languageItems(f).size(), 12);
    QCOMPARE(languageItems(f)[9]->text(), QStringLiteral("Language 10"));
    languageItems(f)[9]->trigger();
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), QStringLiteral("Ten"));
    QCOMPARE(f.saved("language"), QStringLiteral("lang010"));

    // The next start applies it again.
    QVERIFY(f.start());
    QVERIFY(languageItems(f)[9]->isChecked());
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), QStringLiteral("Ten"));

    // A count above 999 lists the first 999.
    f.program.reset();
    QVERIFY(f.start("[languages]\nnumber=1200\n"));
    QCOMPARE(languageItems(f).size(), 999);
}

void tst_Language::pickingAgainRereads() {
    WindowFixture f;
    f.file(QStringLiteral("L1.lng"), "[toolbar]\nline16=First\n");
    QVERIFY(f.start(languagesSection(2)));
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), QStringLiteral("First"));
    f.file(QStringLiteral("L1.lng"), "[toolbar]\nline16=Second\n");
    languageItems(f)[0]->trigger(); // the checked item again
    QVERIFY(languageItems(f)[0]->isChecked());
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), QStringLiteral("Second"));
    languageItems(f)[1]->trigger();
    QVERIFY(!languageItems(f)[0]->isChecked());
    QCOMPARE(textOf(f, Window::Main, "SpeedButton8", true), QStringLiteral("Exit"));
}

void tst_Language::toolkitTexts_data() {
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("cancel");
    const auto shipped = [](const char* name) {
        return readFile(QStringLiteral(MIRABOU_RESOURCES "/lang/%1.lng").arg(QLatin1String(name)));
    };
    QTest::newRow("Deutsch") << shipped("Deutsch") << "Abbrechen";
    QTest::newRow("Francais") << shipped("Francais") << "Annuler";
    QTest::newRow("Espanol") << shipped("Espanol") << "Cancelar";
    QTest::newRow("country falls back to language")
        << QByteArray("[language]\nlocale=de_AT\n") << "Abbrechen";
    QTest::newRow("no locale") << QByteArray("[language]\nname=Plain\n") << "Cancel";
    QTest::newRow("unknown locale") << QByteArray("[language]\nlocale=xx\n") << "Cancel";
    QTest::newRow("a path") << QByteArray("[language]\nlocale=../../de\n") << "Cancel";
    QTest::newRow("a path after the language")
        << QByteArray("[language]\nlocale=de_/../../x\n") << "Cancel";
}

void tst_Language::toolkitTexts() {
    QFETCH(QByteArray, language);
    QFETCH(QString, cancel);
    WindowFixture f;
    f.file(QStringLiteral("L2.lng"), language);
    QVERIFY(f.start(languagesSection(2)));
    // The colour dialog's Cancel button, opened from the swatch.
    const auto cancelText = [&f] {
        QString text;
        QTimer::singleShot(0, [&text] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (auto* box = dialog->findChild<QDialogButtonBox*>())
                text = box->button(QDialogButtonBox::Cancel)->text();
            dialog->reject();
        });
        QTest::mouseClick(f.w().findChild<QWidget*>(QStringLiteral("Shape4")), Qt::LeftButton);
        return text;
    };
    QCOMPARE(cancelText(), QStringLiteral("Cancel"));
    languageItems(f)[1]->trigger();
    QCOMPARE(cancelText(), cancel);
    languageItems(f)[0]->trigger(); // and back, at run time
    QCOMPARE(cancelText(), QStringLiteral("Cancel"));
}

void tst_Language::shippedTranslationsAreComplete_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("caption"); // in the settings file; empty: not listed
    QStringList unlisted = QDir(QStringLiteral(MIRABOU_RESOURCES "/lang"))
                               .entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
    for (const auto& [base, caption] : shippedLanguages()) {
        QTest::newRow(qPrintable(base)) << base << caption;
        unlisted.removeAll(base + QStringLiteral(".lng"));
    }
    for (const QString& file : unlisted)
        QTest::addRow("%s, not listed", qPrintable(file)) << file.chopped(4) << QString();
}

void tst_Language::shippedTranslationsAreComplete() {
    QFETCH(QString, base);
    QFETCH(QString, caption);
    const QByteArray bytes = readFile(shippedFile(base));
    QVERIFY(!bytes.isEmpty());
    QVERIFY2(!QString::fromUtf8(bytes).contains(QChar::ReplacementCharacter), "not UTF-8");
    const files::IniFile lng(shippedFile(base));
    const QString missing = QStringLiteral("\x01missing");
    const auto value = [&lng, &missing](const QString& section, const QString& key) {
        return lng.readString(section, key, missing);
    };
    // What is wrong with a key that must hold a text (a missing one shows
    // English, an empty one nothing), or the empty text.
    const auto textFault = [&value, &missing](const QString& section, const QString& key) {
        const QString text = value(section, key);
        const QString name = section + QLatin1Char('/') + key;
        return text == missing  ? name + QStringLiteral(" is missing")
               : text.isEmpty() ? name + QStringLiteral(" is empty")
                                : QString();
    };
    // The menu offers it by its own name.
    QCOMPARE(value(QStringLiteral("language"), QStringLiteral("name")), caption);
    // Every key of the English file, read by the program or not.
    QString section;
    for (const QByteArray& line : readFile(shippedFile(QStringLiteral("English"))).split('\n')) {
        if (line.startsWith('[')) {
            section = QString::fromLatin1(line.mid(1, line.indexOf(']') - 1));
        } else if (line.contains('=') && !line.startsWith(';')) {
            const QString fault =
                textFault(section, QString::fromLatin1(line.left(line.indexOf('='))));
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }
    for (const i18n::LanguageRow& row : i18n::languageRows()) {
        const QString fault = textFault(QLatin1String(row.section), QLatin1String(row.key));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        const QString text = value(QLatin1String(row.section), QLatin1String(row.key));
        if (row.form == i18n::Form::Letters)
            QCOMPARE(text.size(), 3);
    }
    // The project's, not a person's.
    QCOMPARE(value(QStringLiteral("language"), QStringLiteral("author")),
             QLatin1String(i18n::AuthorName));
    QCOMPARE(value(QStringLiteral("language"), QStringLiteral("email")),
             QLatin1String(i18n::AuthorMail));
    // Qt's texts and the help viewer's follow, every one translated.
    if (base == QLatin1String("English"))
        return;
    const QString locale = value(QStringLiteral("language"), QStringLiteral("locale"));
    const QString ts = QString::fromUtf8(
        readFile(QStringLiteral(MIRABOU_RESOURCES "/translations/mirabou_%1.ts").arg(locale)));
    QVERIFY2(ts.count(QStringLiteral("<source>")) > 0, qPrintable(locale));
    QCOMPARE(ts.count(QStringLiteral("<translation>")), ts.count(QStringLiteral("<source>")));
    QVERIFY(!ts.contains(QStringLiteral("<translation></translation>")));
}

void tst_Language::shippedLanguagesFit_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("ownScript"); // one DejaVu does not cover
    const QList<std::pair<QString, QString>> languages = shippedLanguages();
    for (int n = 1; n <= languages.size(); ++n) {
        const QString locale =
            files::IniFile(shippedFile(languages[n - 1].first))
                .readString(QStringLiteral("language"), QStringLiteral("locale"), QString());
        QTest::newRow(qPrintable(languages[n - 1].first))
            << n << QStringList{"ja", "zh", "ko"}.contains(locale.left(2));
    }
}

void tst_Language::shippedLanguagesFit() {
    QFETCH(int, number);
    QFETCH(bool, ownScript);
    // The shipped program folder, with the language chosen.
    WindowFixture f;
    for (const auto& [base, caption] : shippedLanguages())
        f.file(base + QStringLiteral(".lng"), readFile(shippedFile(base)));
    QVERIFY(f.start("[settings]\nlanguage=" + i18n::languageFileKey(number).toLatin1() + "\n" +
                    readFile(QStringLiteral(MIRABOU_RESOURCES "/settings.ini"))));
    TForm1& main = f.w();
    // As wide as the values get: after the first pick, the value labels
    // cover all the room their widest value needs.
    main.eyeWizard().beforeFirstPick();
    main.color().applyHex({QStringLiteral("DD"), QStringLiteral("DD"), QStringLiteral("DD")});
    QStringList faults = textFaults(&main);
    f.c<QLabel>("Label25")->setText(QStringLiteral("#DDDDDD")); // an eye colour remembered
    faults += textFaults(&main);
    // The notation menus with their items, made when first opened.
    emit main.CopyAs1->aboutToShow();
    emit main.CopyEyeColorHexValue1->aboutToShow();
    for (QMenu* menu : main.findChildren<QMenu*>()) {
        if (menu->sizeHint().width() > main.screen()->availableGeometry().width())
            faults << menu->objectName() + QStringLiteral(" is wider than the screen");
    }
    // The Contrast window with the widest figures it shows.
    main.color().applyHex({QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")});
    for (QWidget* window : std::initializer_list<QWidget*>{&f.program->form2, &f.program->form3,
                                                           &f.program->form5, main.palettes()}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        faults += textFaults(window);
        window->hide();
    }
    // The swatch's menu, as wide as its texts make it.
    for (QMenu* menu : main.palettes()->findChildren<QMenu*>()) {
        if (menu->sizeHint().width() > main.screen()->availableGeometry().width())
            faults << menu->objectName() + QStringLiteral(" is wider than the screen");
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

    // Drawn with real glyphs: the three row names start with three different
    // characters, which missing-glyph boxes would draw alike.
    if (!ownScript)
        return;
    const QImage shot = main.grab().toImage();
    QList<QImage> glyphs;
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const QImage cell = firstCharacter(shot, f.c<QLabel>(name), &main);
        const QRgb background = cell.pixel(cell.width() - 1, cell.height() - 1);
        QVERIFY2(inkBounds(cell, [background](QRgb c) { return c != background; }).isValid(), name);
        glyphs << cell.createMaskFromColor(background, Qt::MaskOutColor);
    }
    QVERIFY(glyphs[0] != glyphs[1] && glyphs[1] != glyphs[2] && glyphs[0] != glyphs[2]);
}

void tst_Language::accessibleNames_data() {
    QTest::addColumn<QByteArray>("lng");
    QTest::addColumn<QStringList>("read"); // "object=name", "object#tip=tooltip"
    const QString choose = QStringLiteral("Choose a color in the color dialog");
    QTest::newRow("no file") << QByteArray() << QStringList{"umRed=Red, hexadecimal",
                                                            "dcBlue=Blue, decimal",
                                                            "UpDown1/up=Increase red",
                                                            "UpDown3/down=Decrease blue",
                                                            "Shape4=Color",
                                                            "Shape4#desc=" + choose,
                                                            "Shape4#tip=" + choose + " (F3)",
                                                            "SpeedButton8=Exit",
                                                            "ColorBox1=Color Name"};
    QTest::newRow("component first")
        << QByteArray("[components]\nline07=Grün\n[accessibility]\nline01=%1 erhöhen\n")
        << QStringList{"UpDown2/up=Grün erhöhen", "UpDown2/down=Decrease grün"};
    QTest::newRow("component after")
        << QByteArray("[components]\nline06=Rouge\n[value]\nline02=Hexadécimal\n"
                      "[accessibility]\nline02=Diminuer %1\n")
        << QStringList{"umRed=Rouge, hexadécimal", "UpDown1/down=Diminuer rouge",
                       "UpDown1/up=Increase rouge"};
    QTest::newRow("no component in the text")
        << QByteArray("[accessibility]\nline01=More\n") << QStringList{"UpDown1/up=More"};
    QTest::newRow("markup stays text")
        << QByteArray("[accessibility]\nline03=<b>Pick</b>\n[toolbar]\nline16=<i>Out</i>\n")
        << QStringList{"Shape4#desc=<b>Pick</b>",
                       "Shape4#tip=<p style='white-space:pre'>&lt;b&gt;Pick&lt;/b&gt; (F3)</p>",
                       "SpeedButton8=<i>Out</i>"};
}

void tst_Language::accessibleNames() {
    QFETCH(QByteArray, lng);
    QFETCH(QStringList, read);
    WindowFixture f;
    f.file(QStringLiteral("T.lng"), lng);
    QVERIFY(f.start("[languages]\nnumber=1\nlang001=T\n"));
    for (const QString& expected : read) {
        const QString target = expected.section(QLatin1Char('='), 0, 0);
        QWidget* w = &f.w();
        for (const QString& name : target.section(QLatin1Char('#'), 0, 0).split(QLatin1Char('/')))
            w = child<QWidget>(w, qPrintable(name));
        const QString what = target.section(QLatin1Char('#'), 1);
        QCOMPARE(what == QLatin1String("tip")    ? w->toolTip()
                 : what == QLatin1String("desc") ? w->accessibleDescription()
                                                 : w->accessibleName(),
                 expected.section(QLatin1Char('='), 1));
    }
}

QTEST_MAIN(tst_Language)
#include "tst_language.moc"
