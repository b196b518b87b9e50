// libFuzzer target for the language files and the language list, read as
// the program reads them: any bytes as a language file give every row a
// value within the limits, applied to the real windows each target shows its
// text as the file wrote it (never as markup), a malformed locale leaves
// Qt's and the help viewer's texts in English; any bytes as a settings file
// give a language list whose chosen language is one of it and, once saved,
// is chosen again at the next start.
#include "app/Program.h"
#include "files/IniFile.h"
#include "i18n/LanguageFile.h"
#include "i18n/ToolkitTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

using files::IniFile;

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

/// The program's three windows, made once on Qt's offscreen platform and
/// kept to the end.
struct Windows {
    QTemporaryDir* folder;
    Program* program;
    QWidget* of(i18n::Window w) const {
        return w == i18n::Window::Main    ? static_cast<QWidget*>(&program->form1)
               : w == i18n::Window::About ? static_cast<QWidget*>(&program->form2)
                                          : static_cast<QWidget*>(&program->form3);
    }
};

const Windows& windows() {
    static QTemporaryDir folder; // removed at exit
    static const Windows w = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_language";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        return Windows{&folder, new Program(folder.path() + QLatin1Char('/'))};
    }();
    return w;
}

/// A value as read: within the limit (each byte read gives at most one
/// UTF-16 unit), one line.
void checkValue(const QString& v) {
    check(v.size() <= IniFile::MaxValueBytes);
    check(!v.contains(QLatin1Char('\n')));
}

/// Whether target shows text as written: plain text, and a hint that Qt
/// would take for markup shows the same characters.
void checkShows(QObject* target, const QString& text, bool hint) {
    check(target != nullptr);
    if (hint) {
        const QString tip = qobject_cast<QWidget*>(target)->toolTip();
        if (Qt::mightBeRichText(tip)) {
            // Qt's HTML reader drops carriage returns, which show as nothing.
            QTextDocument doc;
            doc.setHtml(tip);
            check(doc.toRawText() == QString(text).remove(QLatin1Char('\r')));
        } else {
            check(tip == text);
        }
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        check(menu->title() == text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        check(action->text() == text);
    } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
        check(group->title() == text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        check(label->textFormat() == Qt::PlainText && label->text() == text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        check(button->text() == text);
    } else {
        check(false);
    }
}

/// Whether a locale name could be taken for a language at all: letters,
/// digits and separators only, so nothing that names a path.
bool plausibleLocale(const QString& name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u'-';
    });
}

QString viewerText() {
    return QCoreApplication::translate("help::THelpViewer", "Contents");
}

void checkLanguageFile(const IniFile& file) {
    const Windows& w = windows();
    const std::vector<i18n::LanguageRow>& rows = i18n::languageRows();
    // What each target must show once the file is applied; where two rows
    // share a target, the later one.
    struct Shown {
        QString text;
        bool hint = false;
    };
    QMap<QPair<int, QString>, Shown> expected;
    QString notSet;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const i18n::LanguageRow& row = rows[i];
        const QString def = QString::fromUtf8(row.def);
        const QString value =
            file.readString(QLatin1String(row.section), QLatin1String(row.key), def);
        checkValue(value);
        const QString text = i18n::composeText(row.form, value);
        if (qstrcmp(row.section, i18n::NotSetText.section) == 0 &&
            qstrcmp(row.key, i18n::NotSetText.key) == 0)
            notSet = value;
        const QStringList names =
            QString::fromLatin1(row.target).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (row.form == i18n::Form::Window) {
            expected[{int(row.window), QStringLiteral("#caption")}] = {text, false};
        } else if (row.form == i18n::Form::Letters) {
            // One whole character each, the value's first three.
            const QList<uint> characters = value.toUcs4();
            for (int n = 0; n < names.size(); ++n) {
                const QString letter = n < characters.size()
                                           ? QStringView(QChar::fromUcs4(characters[n])).toString()
                                           : QString();
                expected[{int(row.window), names[n]}] = {letter, false};
            }
        } else {
            expected[{int(row.window), names.value(0)}] = {text, row.hint};
        }
    }
    const QString applied = i18n::applyLanguage(
        file, w.of(i18n::Window::Main), w.of(i18n::Window::About), w.of(i18n::Window::Language));
    check(applied == notSet);
    QCoreApplication::sendPostedEvents(); // as the program's event loop would
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QWidget* window = w.of(i18n::Window(it.key().first));
        const QString& name = it.key().second;
        if (name == QLatin1String("#caption")) {
            check(window->windowTitle() == it->text);
            continue;
        }
        QObject* target = window->findChild<QObject*>(name);
        checkShows(target, it->text, it->hint);
    }

    // Qt's and the help viewer's texts: German first, then the file's locale.
    const QString locale =
        file.readString(QStringLiteral("language"), QStringLiteral("locale"), QString());
    i18n::applyToolkitLocale(QStringLiteral("de"));
    check(viewerText() == QLatin1String("Inhalt"));
    i18n::applyToolkitLocale(locale);
    QCoreApplication::sendPostedEvents();
    if (!plausibleLocale(locale))
        check(viewerText() == QLatin1String("Contents"));
}

void checkLanguageList(const QByteArray& bytes) {
    // The settings file that also lists the languages, as a portable
    // program's is: its choice saved and read at the next start.
    const QString path = windows().folder->filePath(QStringLiteral("languages.ini"));
    IniFile settings(path, bytes);
    const i18n::LanguageList list = i18n::readLanguageList(settings, settings);
    const qsizetype count = list.baseNames.size();
    check(list.captions.size() == count && count <= i18n::MaxLanguages);
    check(list.chosen >= 0 && list.chosen <= count && (list.chosen == 0) == (count == 0));
    for (const QString& v : list.baseNames + list.captions)
        checkValue(v);
    if (list.chosen == 0)
        return;
    settings.writeString(QStringLiteral("settings"), QStringLiteral("language"),
                         i18n::languageFileKey(list.chosen));
    const IniFile next(path);
    const i18n::LanguageList again = i18n::readLanguageList(next, next);
    check(again.chosen == list.chosen);
    check(again.baseNames == list.baseNames && again.captions == list.captions);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkLanguageFile(IniFile(QStringLiteral("fuzz.lng"), bytes));
    checkLanguageList(bytes);
    return 0;
}
