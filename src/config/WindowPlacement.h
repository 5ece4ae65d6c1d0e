#pragma once

#include "KazSettings.h"

#include <QRect>
#include <QSize>

namespace kaz {

// Where the main window opens on a screen of the given size: at the stored
// position when "Start with last saved position" is on and the window fits
// on the screen's right edge, otherwise centred as a 601 x 460 window; always
// with the stored size.
QRect windowGeometry(const KazSettings &settings, QSize screen);

} // namespace kaz
