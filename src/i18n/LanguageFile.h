#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace files {
class IniFile;
}

namespace i18n {

/// The program author's name and mail address: the defaults of the
/// "language" section and the design texts that show them.
inline constexpr char AuthorName[] = "Mirabou Developers";
inline constexpr char AuthorMail[] = "support@mirabou.org";

/// How a value becomes the text of its target.
enum class Form {
    Letters, ///< one character each to three stacked labels
    AsRead,  ///< the value itself
    Colon,   ///< the value + ": "
    Window,  ///< "Orlen Mirabou: " + value + "..."
};

enum class Window { Main, About, Language };

/// One translatable text: where it is read, its English default, and where
/// it goes. target holds object names (three for Letters, none for a window
/// caption); hint sends the text to a tool button's tooltip.
struct LanguageRow {
    const char* section = nullptr;
    const char* key = nullptr;
    const char* def = nullptr;
    Form form = Form::AsRead;
    Window window = Window::Main;
    const char* target = nullptr;
    bool hint = false;
};

/// The rows in the order in which they are read and applied.
const std::vector<LanguageRow>& languageRows();

/// Where a text that the program itself keeps is read, and its English
/// default.
struct TextKey {
    const char* section;
    const char* key;
    const char* def;
};

/// The eye colour display's not-set text.
inline constexpr TextKey NotSetText{"value", "line05", "Not Set"};
/// What a screen reader says for the controls that show no text of their
/// own: the up-down arrows ("%1" is the component's name) and the swatch.
inline constexpr TextKey IncreaseText{"accessibility", "line01", "Increase %1"};
inline constexpr TextKey DecreaseText{"accessibility", "line02", "Decrease %1"};
inline constexpr TextKey ChooseColorText{"accessibility", "line03",
                                         "Choose a color in the color dialog"};

/// The colour in every notation: the Copy As menu's title, the command that
/// copies again ("%1" is the notation's name), Paste Color, what Paste
/// Color says of a clipboard that holds no colour, and the hex and dec text
/// displays' tooltip ("%1", "%2", "%3": the keys of Copy As, of copying
/// again and of Paste Color).
inline constexpr TextKey CopyAsText{"menucolor", "line01", "Copy As"};
inline constexpr TextKey CopyAgainText{"menucolor", "line02", "Copy Again as %1"};
inline constexpr TextKey PasteColorText{"menucolor", "line03", "Paste Color"};
inline constexpr TextKey NoColorText{"menucolor", "line04", "The clipboard holds no color."};
inline constexpr TextKey CopyAsHintText{
    "menucolor", "line05",
    "Right click or %1: Copy As, the color in any notation. %2: copy it again in the notation "
    "used last. %3: Paste Color, any color text."};

/// Why a pick of the Eye Wizard read nothing, by PickFailure: no portal, no
/// picture in time, an unreadable picture, screenshots and the picker
/// refused, the pointer not had.
inline constexpr TextKey PickFailedTexts[] = {
    {"messages", "line01", "Nothing picked: no desktop portal answers."},
    {"messages", "line02", "Nothing picked: the desktop gave no picture of the screen in time."},
    {"messages", "line03", "The desktop's picture of the screen cannot be read."},
    {"messages", "line04", "Nothing picked: the desktop refuses screenshots and its color picker."},
    {"messages", "line05", "Nothing picked: the pointer is taken by another program."},
};

/// Reads a text the program keeps (its default when the file lacks it).
QString readText(const files::IniFile& file, const TextKey& key);

/// A tooltip that shows text as written: one that looks like markup would
/// be shown as markup, so it is handed over escaped.
QString toolTipText(const QString& text);

/// Composes the text a row shows from the value read.
QString composeText(Form form, const QString& value);

/// Reads every row from file and applies it to the three windows, then the
/// names a screen reader says for the main window's controls that the rows
/// do not name (composed from the same texts). Returns the not-set text
/// (the value of NotSetText's row).
QString applyLanguage(const files::IniFile& file, QWidget* main, QWidget* about, QWidget* language);

/// The locale a language file names for the toolkit's own texts ("de",
/// "pt_BR"), or the empty text.
QString toolkitLocale(const files::IniFile& file);

/// The installed languages as the settings file lists them.
struct LanguageList {
    QStringList baseNames; ///< entry n-1 is the base name of language n
    QStringList captions;  ///< entry n-1 is the caption of language n
    int chosen = 0;        ///< the chosen language, 1..count, or 0 when none
};

inline constexpr int MaxLanguages = 999;

/// The keys of language n in the list of languages: its file's base name
/// ("lang" + n with three digits), which is also how the settings name the
/// chosen language, and its caption ("name" + n).
QString languageFileKey(int n);
QString languageNameKey(int n);

/// Builds the language list: the chosen key from settings, the languages
/// from languages (the same file, or the program's shipped one). A chosen key
/// that does not name a listed language falls back to language 1 (or none
/// when the list is empty); a count above 999 uses the first 999.
LanguageList readLanguageList(const files::IniFile& settings, const files::IniFile& languages);

} // namespace i18n
