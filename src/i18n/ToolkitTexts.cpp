#include "i18n/ToolkitTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>

namespace i18n {

namespace {

struct Translators {
    QTranslator qt;  // Qt's own texts
    QTranslator own; // the help viewer's
    QString locale;  // empty while none is installed
};

Translators& translators() {
    static Translators t;
    return t;
}

bool isLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

/// A language of two or three letters and an optional country or region of
/// two to eight letters and digits ("de", "pt_BR", "es-419"): nothing that
/// could name a path.
bool isLocaleName(const QString& name) {
    qsizetype separator = name.indexOf(u'_');
    if (separator < 0)
        separator = name.indexOf(u'-');
    const QStringView language = QStringView(name).left(separator < 0 ? name.size() : separator);
    const QStringView region = separator < 0 ? QStringView() : QStringView(name).mid(separator + 1);
    if (language.size() < 2 || language.size() > 3 ||
        !std::all_of(language.begin(), language.end(), isLetter))
        return false;
    if (separator < 0)
        return true;
    return region.size() >= 2 && region.size() <= 8 &&
           std::all_of(region.begin(), region.end(),
                       [](QChar c) { return isLetter(c) || (c >= u'0' && c <= u'9'); });
}

} // namespace

void applyToolkitLocale(const QString& name) {
    Translators& t = translators();
    const QString locale = isLocaleName(name) ? name : QString();
    if (locale == t.locale)
        return;
    if (!t.locale.isEmpty()) {
        QCoreApplication::removeTranslator(&t.qt); // one not installed is skipped
        QCoreApplication::removeTranslator(&t.own);
        t.locale.clear();
    }
    if (locale.isEmpty())
        return; // removing the translators told every window already
    const QLocale language(locale);
    const bool qt = t.qt.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const bool own = t.own.load(language, QStringLiteral("mirabou"), QStringLiteral("_"),
                                QStringLiteral(":/i18n"));
    // Installing sends every widget a LanguageChange event.
    if (qt)
        QCoreApplication::installTranslator(&t.qt);
    if (own)
        QCoreApplication::installTranslator(&t.own);
    if (qt || own)
        t.locale = locale;
}

} // namespace i18n
