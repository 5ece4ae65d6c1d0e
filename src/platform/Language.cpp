#include "Language.h"

namespace kaz {

QString languageKey(Language language)
{
    return language == Language::English ? QStringLiteral("english") : QStringLiteral("german");
}

Language languageFromKey(const QString &key)
{
    if (key == QLatin1String("english"))
        return Language::English;
    if (key == QLatin1String("german"))
        return Language::German;
    return kDefaultLanguage;
}

bool languageFromCode(const QString &code, Language *out)
{
    const QString c = code.toLower();
    if (c == QLatin1String("en") || c == QLatin1String("english")) {
        *out = Language::English;
        return true;
    }
    if (c == QLatin1String("de") || c == QLatin1String("german")) {
        *out = Language::German;
        return true;
    }
    return false;
}

} // namespace kaz
