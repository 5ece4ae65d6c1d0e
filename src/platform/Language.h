#pragma once

#include <QString>

namespace kaz {

// The two languages of the user interface. German is the built-in default.
enum class Language { English, German };

inline constexpr Language kDefaultLanguage = Language::German;

// "english" / "german", as stored in the registry stand-in.
QString languageKey(Language language);
// Anything other than "english" or "german" gives the default.
Language languageFromKey(const QString &key);
// "en" / "de" as given on the command line; std::nullopt-like false on error.
bool languageFromCode(const QString &code, Language *out);

// Picks the English or the German text.
inline const char *tr2(Language language, const char *english, const char *german)
{
    return language == Language::English ? english : german;
}

} // namespace kaz
