#pragma once

#include "Language.h"

#include <QString>

namespace kaz {

// The folder of the installed help pages: share/kaz/help beside the
// program's bin folder, or the source tree's data/help for a build that
// was not installed. Empty when neither exists.
QString helpFolder();

// The help page of a language ("kaz-en.html" / "kaz-de.html").
QString helpPage(Language language);

// The anchor of a help context number inside a page ("context-4").
QString helpAnchor(int context);

} // namespace kaz
