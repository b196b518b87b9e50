#include "i18n/LanguageFile.h"

#include "files/IniFile.h"
#include "files/SettingsFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QTextDocument>
#include <QWidget>
#include <vector>

namespace i18n {

namespace {

using F = Form;
using W = Window;

} // namespace

const std::vector<LanguageRow>& languageRows() {
    static const std::vector<LanguageRow> rows = {
        {"toolbar", "line01", "HEX", F::Letters, W::Main, "Label13 Label14 Label15"},
        {"toolbar", "line02", "DEC", F::Letters, W::Main, "Label16 Label17 Label18"},
        {"toolbar", "line03", "EYE", F::Letters, W::Main, "Label19 Label20 Label21"},
        {"toolbar", "line04", "OPT", F::Letters, W::Main, "Label26 Label27 Label28"},
        {"toolbar", "line05", "HLP", F::Letters, W::Main, "Label22 Label23 Label24"},
        {"toolbar", "line06", "EXT", F::Letters, W::Main, "Label30 Label31 Label29"},
        {"toolbar", "line07", "Copy HEX Value", F::AsRead, W::Main, "SpeedButton3", true},
        {"toolbar", "line08", "Paste HEX Value", F::AsRead, W::Main, "SpeedButton5", true},
        {"toolbar", "line09", "Copy DEC Value", F::AsRead, W::Main, "SpeedButton4", true},
        {"toolbar", "line10", "Paste DEC Value", F::AsRead, W::Main, "SpeedButton6", true},
        {"toolbar", "line11", "Eye Wizard", F::AsRead, W::Main, "SpeedButton1", true},
        {"toolbar", "line12", "Eye Wizard Options", F::AsRead, W::Main, "SpeedButton7", true},
        {"toolbar", "line13", "Settings", F::AsRead, W::Main, "SpeedButton9", true},
        {"toolbar", "line14", "Help", F::AsRead, W::Main, "SpeedButton2", true},
        {"toolbar", "line15", "About", F::AsRead, W::Main, "SpeedButton12", true},
        {"toolbar", "line16", "Exit", F::AsRead, W::Main, "SpeedButton8", true},
        {"components", "line01", "Components", F::Colon, W::Main, "GroupBox1"},
        {"components", "line02", "Component", F::AsRead, W::Main, "Label5"},
        {"components", "line03", "HEX", F::AsRead, W::Main, "Label7"},
        {"components", "line04", "DEC", F::AsRead, W::Main, "Label8"},
        {"components", "line05", "Color", F::AsRead, W::Main, "Label9"},
        {"components", "line06", "Red", F::Colon, W::Main, "Label1"},
        {"components", "line07", "Green", F::Colon, W::Main, "Label2"},
        {"components", "line08", "Blue", F::Colon, W::Main, "Label3"},
        {"colorname", "line01", "Color Name", F::Colon, W::Main, "GroupBox3"},
        {"value", "line01", "Value", F::Colon, W::Main, "GroupBox2"},
        {"value", "line02", "Hexadecimal", F::Colon, W::Main, "Label11"},
        {"value", "line03", "Decimal", F::Colon, W::Main, "Label12"},
        {"value", "line04", "Eye Wizard", F::Colon, W::Main, "Label6"},
        {NotSetText.section, NotSetText.key, NotSetText.def, F::AsRead, W::Main, "Label25"},
        {"menusettings", "line01", "Always on Top", F::AsRead, W::Main, "AlwaysOnTop1"},
        {"menusettings", "line02", "Language", F::AsRead, W::Main, "Language1"},
        {"menusettings", "line03", "Magnifier", F::AsRead, W::Main, "Magnifier1"},
        {"menuwizard", "line01", "Copy Eye Color", F::AsRead, W::Main, "CopyEyeColorHexValue1"},
        {"menuwizard", "line02", "Recall Eye Color", F::AsRead, W::Main, "RecallEyeColor1"},
        {"menuwizard", "line03", "Clear Eye Color", F::AsRead, W::Main, "ClearEyeColor1"},
        {"menuwizard", "line04", "Hex Value", F::AsRead, W::Main, "HexValue1"},
        {"menuwizard", "line05", "Dec Value", F::AsRead, W::Main, "DecValue1"},
        {"menuabout", "line01", "About", F::AsRead, W::Main, "About1"},
        {"menuabout", "line04", "Language", F::AsRead, W::Main, "Language2"},
        {"menuabout", "line02", "Visit Website", F::AsRead, W::Main, "WebSite1"},
        {"menuabout", "line03", "Send eMail", F::AsRead, W::Main, "SendEmail1"},
        {"formabout", "line01", "About", F::Window, W::About, ""},
        {"formabout", "line02", "Close", F::AsRead, W::About, "Button1"},
        {"formabout", "line03", "Author", F::AsRead, W::About, "Label6"},
        {"formabout", "line04", "Web", F::AsRead, W::About, "Label4"},
        {"formabout", "line05", "eMail", F::AsRead, W::About, "Label5"},
        {"formlanguage", "line01", "Language", F::Window, W::Language, ""},
        {"formlanguage", "line02", "Close", F::AsRead, W::Language, "Button1"},
        {"formlanguage", "line03", "Language Data", F::Colon, W::Language, "GroupBox1"},
        {"formlanguage", "line01", "Language", F::Colon, W::Language, "Label1"},
        {"formlanguage", "line04", "Author", F::Colon, W::Language, "Label2"},
        {"formlanguage", "line05", "Version", F::Colon, W::Language, "Label3"},
        {"formlanguage", "line06", "eMail", F::Colon, W::Language, "Label4"},
        {"language", "name", "English", F::AsRead, W::Language, "Label5"},
        {"language", "author", AuthorName, F::AsRead, W::Language, "Label6"},
        {"language", "version", "1.1", F::AsRead, W::Language, "Label7"},
        {"language", "email", AuthorMail, F::AsRead, W::Language, "Label8"},
    };
    return rows;
}

QString composeText(Form form, const QString& value) {
    switch (form) {
    case Form::Colon:
        return value + QStringLiteral(": ");
    case Form::Window:
        return QStringLiteral("Orlen Mirabou: ") + value + QStringLiteral("...");
    case Form::Letters:
    case Form::AsRead:
        break;
    }
    return value;
}

QString readText(const files::IniFile& file, const TextKey& key) {
    return file.readString(QLatin1String(key.section), QLatin1String(key.key),
                           QString::fromUtf8(key.def));
}

QString toolTipText(const QString& text) {
    return Qt::mightBeRichText(text) ? QStringLiteral("<p style='white-space:pre'>") +
                                           text.toHtmlEscaped() + QStringLiteral("</p>")
                                     : text;
}

namespace {

void setText(QObject* target, const QString& text, bool hint) {
    if (hint) {
        // A tool button shows a picture only: its hint is also what a
        // screen reader says for it.
        if (auto* w = qobject_cast<QWidget*>(target)) {
            w->setToolTip(toolTipText(text));
            w->setAccessibleName(text);
        }
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setTextFormat(Qt::PlainText); // a language file is text, never markup
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    }
}

QString lowerFirst(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

/// An up-down arrow's name: "Increase %1" with the component's name, which
/// starts lower-case unless it starts the text.
QString withComponent(QString pattern, const QString& component) {
    return pattern.replace(QLatin1String("%1"), pattern.startsWith(QLatin1String("%1"))
                                                    ? component
                                                    : lowerFirst(component));
}

/// The names a screen reader says for the main window's controls that show
/// no text of their own, or a text that does not say what they are.
/// values holds the texts the rows have just applied, by "section/key".
void nameControls(const files::IniFile& file, QWidget* main,
                  const QHash<QString, QString>& values) {
    const auto value = [&values](const char* section, const char* key) {
        return values.value(QLatin1String(section) + QLatin1Char('/') + QLatin1String(key));
    };
    const auto named = [main](const char* name) {
        return main->findChild<QWidget*>(QLatin1String(name));
    };
    const QString increase = readText(file, IncreaseText);
    const QString decrease = readText(file, DecreaseText);
    const QString hex = lowerFirst(value("value", "line02"));
    const QString dec = lowerFirst(value("value", "line03"));
    const char* const rows[][4] = {{"line06", "umRed", "dcRed", "UpDown1"},
                                   {"line07", "umGreen", "dcGreen", "UpDown2"},
                                   {"line08", "umBlue", "dcBlue", "UpDown3"}};
    for (const auto& row : rows) {
        const QString component = value("components", row[0]);
        // "Red, hexadecimal": the row and the column a box stands in.
        if (QWidget* box = named(row[1]))
            box->setAccessibleName(component + QStringLiteral(", ") + hex);
        if (QWidget* box = named(row[2]))
            box->setAccessibleName(component + QStringLiteral(", ") + dec);
        if (QWidget* arrows = named(row[3])) {
            arrows->setAccessibleName(component);
            if (auto* up = arrows->findChild<QWidget*>(QStringLiteral("up")))
                up->setAccessibleName(withComponent(increase, component));
            if (auto* down = arrows->findChild<QWidget*>(QStringLiteral("down")))
                down->setAccessibleName(withComponent(decrease, component));
        }
    }
    if (QWidget* swatch = named("Shape4")) {
        swatch->setAccessibleName(value("components", "line05"));
        swatch->setAccessibleDescription(readText(file, ChooseColorText));
    }
    if (QWidget* list = named("ColorBox1"))
        list->setAccessibleName(value("colorname", "line01"));
}

} // namespace

QString applyLanguage(const files::IniFile& file, QWidget* main, QWidget* about,
                      QWidget* language) {
    QString notSet;
    QHash<QString, QString> values; // by "section/key"
    for (const LanguageRow& row : languageRows()) {
        const QString value = file.readString(QLatin1String(row.section), QLatin1String(row.key),
                                              QString::fromUtf8(row.def));
        values.insert(QLatin1String(row.section) + QLatin1Char('/') + QLatin1String(row.key),
                      value);
        QWidget* window = row.window == Window::Main    ? main
                          : row.window == Window::About ? about
                                                        : language;
        if (!window)
            continue;
        const QStringList names =
            QString::fromLatin1(row.target).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (row.form == Form::Window) {
            window->setWindowTitle(composeText(row.form, value));
        } else if (row.form == Form::Letters) {
            // A character beyond 16 bits is two units of the text: one label
            // shows it whole.
            const QList<uint> characters = value.toUcs4();
            for (int n = 0; n < names.size(); ++n) {
                const QString letter = n < characters.size()
                                           ? QStringView(QChar::fromUcs4(characters[n])).toString()
                                           : QString();
                setText(window->findChild<QObject*>(names[n]), letter, false);
            }
        } else {
            setText(window->findChild<QObject*>(names.value(0)), composeText(row.form, value),
                    row.hint);
        }
        if (qstrcmp(row.section, NotSetText.section) == 0 && qstrcmp(row.key, NotSetText.key) == 0)
            notSet = value;
    }
    if (main)
        nameControls(file, main, values);
    return notSet;
}

QString toolkitLocale(const files::IniFile& file) {
    return file.readString(QStringLiteral("language"), QStringLiteral("locale"), QString());
}

namespace {

QString languageKey(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

QString languageFileKey(int n) {
    return languageKey("lang", n);
}

QString languageNameKey(int n) {
    return languageKey("name", n);
}

LanguageList readLanguageList(const files::IniFile& settings, const files::IniFile& languages) {
    LanguageList list;
    const QString chosenKey = settings::readString(settings, settings::Language);
    const int count =
        qBound(0, settings::readInteger(languages, settings::LanguageCount), MaxLanguages);
    const QString section = QLatin1String(settings::LanguageCount.section);
    const QString fallback = QStringLiteral("x");
    for (int n = 1; n <= count; ++n) {
        list.baseNames.append(languages.readString(section, languageFileKey(n), fallback));
        list.captions.append(languages.readString(section, languageNameKey(n), fallback));
    }
    int k = 0;
    if (!files::IniFile::parseInteger(chosenKey.mid(4, 3), &k) || k < 1 || k > count)
        k = count > 0 ? 1 : 0;
    list.chosen = k;
    return list;
}

} // namespace i18n
