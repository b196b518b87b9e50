#pragma once

#include <QString>

/// The texts the program does not read from its language files: Qt's own
/// (the colour dialog, the edit boxes' context menu) and the help viewer's.
namespace i18n {

/// Shows them in the language of locale, as a language file names it
/// ("de", "pt_BR"), from Qt's installed translations and the program's own;
/// an empty or malformed locale, or one without translations, takes them
/// back to English. Every open window follows at once.
void applyToolkitLocale(const QString& locale);

} // namespace i18n
