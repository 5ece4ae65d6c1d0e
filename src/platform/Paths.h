#pragma once

#include <QString>

namespace kaz {

// Where KAZ keeps its files on this system.
// The stand-in for the Windows folder: holds KAZ.INI and the registry file.
QString configFolder(); // $XDG_CONFIG_HOME/kaz
// The program folder: work files, undo logs, saved cleanup rules.
QString programFolder(); // $XDG_DATA_HOME/kaz
// Where the single-instance lock lives.
QString runtimeFolder(); // $XDG_RUNTIME_DIR, else the config folder
// Where desktop entries live (the folder context-menu entry).
QString applicationsFolder(); // $XDG_DATA_HOME/applications

} // namespace kaz
