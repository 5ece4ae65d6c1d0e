#pragma once

#include <QString>

namespace kaz {

// Whether a name can serve as the folder for various songs: it is tried as
// a folder "~" + name in the program folder (created and removed again when
// it was not there). A name with "/" in it, ".", "..", a name that starts
// with "." or is empty is refused: the folder must be one visible folder
// below the base folder.
bool variousNameUsable(const QString &name);

} // namespace kaz
