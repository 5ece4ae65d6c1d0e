#pragma once

#include "platform/Language.h"

class QObject;

namespace kaz {

// Every caption and hint of the main window's own controls, menus and
// pop-ups (the pages and the browser bring their own).
void applyMainWindowTexts(QObject &window, Language language);

} // namespace kaz
