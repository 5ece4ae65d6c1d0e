#pragma once

#include "platform/Language.h"

namespace kaz {

// Qt's own texts (the standard buttons of message boxes and dialogs, the
// context menus of edit fields) in the language of the window: German
// loads Qt's German catalogue from Qt's translations folder, English
// removes it. Without the catalogue installed Qt's texts stay English.
// Returns whether the catalogue for German was found.
bool useQtTranslations(Language language);

// The language last given to useQtTranslations() (the default before).
Language qtTextsLanguage();

} // namespace kaz
