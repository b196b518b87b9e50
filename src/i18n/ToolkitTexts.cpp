#include "i18n/ToolkitTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace i18n {

namespace {

struct Translators {
    QTranslator qt;  // Qt's own texts
    QTranslator own; // the help viewer's
    QString locale;
    bool installed = false;
};

Translators& translators() {
    static Translators t;
    return t;
}

/// A language and an optional country, nothing that could name a path.
bool isLocaleName(const QString& name) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z]{2,3}([_-][A-Za-z0-9]{2,8})?$"));
    return form.match(name).hasMatch();
}

} // namespace

void applyToolkitLocale(const QString& name) {
    Translators& t = translators();
    const QString locale = isLocaleName(name) ? name : QString();
    if (locale == t.locale)
        return;
    if (t.installed) {
        QCoreApplication::removeTranslator(&t.qt);
        QCoreApplication::removeTranslator(&t.own);
        t.installed = false;
    }
    t.locale.clear();
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
    t.installed = qt || own;
    if (t.installed)
        t.locale = locale;
}

} // namespace i18n
