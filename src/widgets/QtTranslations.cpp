#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kaz {
namespace {

Language g_language = kDefaultLanguage;

QTranslator &catalogue()
{
    static QTranslator *translator = new QTranslator(QCoreApplication::instance());
    return *translator;
}

} // namespace

bool useQtTranslations(Language language)
{
    g_language = language;
    QTranslator &translator = catalogue();
    QCoreApplication::removeTranslator(&translator);
    if (language == Language::English)
        return false;
    // qtbase holds the texts of QtWidgets; "qt_de" is the meta catalogue that names it.
    const bool loaded = translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(&translator);
    return loaded;
}

Language qtTextsLanguage()
{
    return g_language;
}

} // namespace kaz
