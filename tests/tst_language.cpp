#include "app/Program.h"
#include "i18n/LanguageFile.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
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

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<Program> program;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    void file(const QString& name, const QByteArray& content) const {
        writeFile(folder() + name, content);
    }
    bool start(const QByteArray& settings = QByteArray()) {
        if (!settings.isNull())
            file(QStringLiteral("settings.ini"), settings);
        program =
            std::make_unique<Program>(folder(), fakeScreenFactory(std::make_shared<FakeScreen>()));
        return showActive(&program->form1);
    }
    TForm1& w() const { return program->form1; }
    QWidget* window(i18n::Window w) const {
        return w == i18n::Window::Main    ? static_cast<QWidget*>(&program->form1)
               : w == i18n::Window::About ? static_cast<QWidget*>(&program->form2)
                                          : static_cast<QWidget*>(&program->form3);
    }
    QString text(i18n::Window w, const char* name, bool hint = false) const {
        return targetText(window(w), QLatin1String(name), hint);
    }
    QList<QAction*> items() const { return child<QMenu>(&program->form1, "Language1")->actions(); }
    QString savedLanguage() {
        program.reset();
        return platform::IniFile(folder() + QStringLiteral("settings.ini"))
            .readString(QStringLiteral("settings"), QStringLiteral("language"), {});
    }
};

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
};

void tst_Language::noFileGivesDefaults() {
    Fixture f;
    QVERIFY(f.start());
    for (const i18n::LanguageRow& row : i18n::languageRows()) {
        const QString def = QString::fromUtf8(row.def);
        QWidget* window = f.window(row.window);
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
    QCOMPARE(f.w().notSetText(), QStringLiteral("Not Set"));
    QCOMPARE(f.text(Window::Main, "AlwaysOnTop1"), QStringLiteral("Always on Top"));
    QCOMPARE(f.text(Window::Main, "FlatButtons1"), QStringLiteral("Flat Buttons"));
    QCOMPARE(f.text(Window::Main, "SendEmail1"), QStringLiteral("Send eMail"));
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
}

void tst_Language::composition() {
    QFETCH(QByteArray, lng);
    QFETCH(int, window);
    QFETCH(QStringList, names);
    QFETCH(QStringList, texts);
    Fixture f;
    f.file(QStringLiteral("T.lng"), lng);
    QVERIFY(f.start("[languages]\nnumber=1\nlang001=T\n"));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(f.text(Window(window), qPrintable(names[i])), texts[i]);
}

void tst_Language::valueCutTo2047() {
    Fixture f;
    f.file(QStringLiteral("T.lng"), "[components]\nline02=" + QByteArray(3000, 'w') + "\n");
    QVERIFY(f.start("[languages]\nnumber=1\nlang001=T\n"));
    QCOMPARE(f.text(Window::Main, "Label5"), QString(2047, QLatin1Char('w')));
}

void tst_Language::eyeColourForgotten() {
    Fixture f;
    f.file(QStringLiteral("H.lng"), "[value]\nline05=-\n");
    QVERIFY(f.start("[languages]\nnumber=2\nlang001=none\nlang002=H\n"));
    auto* eye = child<QLabel>(&f.w(), "Label25");
    eye->setText(QStringLiteral("#123456")); // as a release of the Eye Wizard leaves it
    f.items()[1]->trigger();
    QCOMPARE(eye->text(), QStringLiteral("-"));
    QCOMPARE(f.w().notSetText(), QStringLiteral("-"));
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
    Fixture f;
    for (int n = 1; n <= 3; ++n)
        f.file(QStringLiteral("L%1.lng").arg(n),
               "[toolbar]\nline16=L" + QByteArray::number(n) + "\n");
    QVERIFY(f.start(settings));
    const QList<QAction*> items = f.items();
    for (int n = 0; n < items.size(); ++n)
        QCOMPARE(items[n]->isChecked(), n + 1 == checked);
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), applied);
    QCOMPARE(f.savedLanguage(), saved);
}

void tst_Language::twelveLanguages() {
    Fixture f;
    f.file(QStringLiteral("L10.lng"), "[toolbar]\nline16=Ten\n");
    QVERIFY(f.start(languagesSection(12)));
    QCOMPARE(f.items().size(), 12);
    QCOMPARE(f.items()[9]->text(), QStringLiteral("Language 10"));
    f.items()[9]->trigger();
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), QStringLiteral("Ten"));
    QCOMPARE(f.savedLanguage(), QStringLiteral("lang010"));

    // The next start applies it again.
    QVERIFY(f.start());
    QVERIFY(f.items()[9]->isChecked());
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), QStringLiteral("Ten"));

    // A count above 999 lists the first 999.
    f.program.reset();
    QVERIFY(f.start("[languages]\nnumber=1200\n"));
    QCOMPARE(f.items().size(), 999);
}

void tst_Language::pickingAgainRereads() {
    Fixture f;
    f.file(QStringLiteral("L1.lng"), "[toolbar]\nline16=First\n");
    QVERIFY(f.start(languagesSection(2)));
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), QStringLiteral("First"));
    f.file(QStringLiteral("L1.lng"), "[toolbar]\nline16=Second\n");
    f.items()[0]->trigger(); // the checked item again
    QVERIFY(f.items()[0]->isChecked());
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), QStringLiteral("Second"));
    f.items()[1]->trigger();
    QVERIFY(!f.items()[0]->isChecked());
    QCOMPARE(f.text(Window::Main, "SpeedButton8", true), QStringLiteral("Exit"));
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
    Fixture f;
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
    f.items()[1]->trigger();
    QCOMPARE(cancelText(), cancel);
    f.items()[0]->trigger(); // and back, at run time
    QCOMPARE(cancelText(), QStringLiteral("Cancel"));
}

void tst_Language::shippedTranslationsAreComplete_data() {
    QTest::addColumn<QString>("file");
    for (const char* name : {"English", "Deutsch", "Francais", "Espanol"})
        QTest::newRow(name)
            << QStringLiteral(MIRABOU_RESOURCES "/lang/%1.lng").arg(QLatin1String(name));
}

void tst_Language::shippedTranslationsAreComplete() {
    QFETCH(QString, file);
    const platform::IniFile lng(file);
    const QString missing = QStringLiteral("\x01missing");
    for (const i18n::LanguageRow& row : i18n::languageRows()) {
        const QString value =
            lng.readString(QLatin1String(row.section), QLatin1String(row.key), missing);
        QVERIFY2(value != missing, qPrintable(QStringLiteral("%1/%2").arg(row.section, row.key)));
        QVERIFY(!value.isEmpty());
        if (row.form == i18n::Form::Letters)
            QCOMPARE(value.size(), 3);
    }
}

QTEST_MAIN(tst_Language)
#include "tst_language.moc"
