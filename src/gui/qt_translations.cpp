#include "qt_translations.h"

#include "platform/language_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace sw {

namespace {
QPointer<QTranslator> g_installed;
}

void installQtTranslations(const LanguageTexts& texts) {
    if (g_installed) {
        QCoreApplication::removeTranslator(g_installed);
        delete g_installed;
    }
    const QLocale locale(texts.getInfo(QStringLiteral("Locale")));
    QLocale::setDefault(locale);
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        g_installed = translator;
    else
        delete translator;
}

} // namespace sw
