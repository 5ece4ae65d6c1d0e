#pragma once

#include <QString>

// How KAZ speaks two languages.
//
// There is no translation catalogue. Every window carries both texts of each
// caption, hint, list entry and message in its own code and has a language
// routine, applyLanguage(Language), that installs one set or the other:
//
//     void MainWindow::applyLanguage(Language language)
//     {
//         BitBtn1->setText(QString::fromUtf8(tr2(language, "&Preview", "&Vorschau")));
//         SpeedButton1->setText(QString::fromUtf8(tr2(language, "&Go!", "&Start!")));
//     }
//
// A window calls its routine when it is created and whenever it is shown;
// the main window calls its own at start (after start-up read the stored
// language) and on every switch, and then stores the choice with
// applyShellRegistration(). Messages that several parts of the program show
// are not written into windows: they come from the shared table in
// Messages.h, message(Msg::..., language), so that each text exists once.
// Texts are kept letter for letter, odd spellings included; tr2() takes UTF-8.
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

// The same, as a QString.
inline QString text(Language language, const char *english, const char *german)
{
    return QString::fromUtf8(tr2(language, english, german));
}

} // namespace kaz
