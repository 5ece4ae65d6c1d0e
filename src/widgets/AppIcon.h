#pragma once

#include <QIcon>

namespace kaz {

// The program's icon, drawn like the installed kaz.svg (Qt here reads no SVG).
QIcon appIcon();

} // namespace kaz
