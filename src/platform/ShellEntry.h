#pragma once

#include "Language.h"

#include <QString>

namespace kaz {

// The folder context-menu entry "Rename contents of directory with KAZ"
// (German "Verzeichnisinhalt mit KAZ bearbeiten"): a desktop entry for
// folders in the applications folder, named after the entry text of the
// language, that starts the program with "-open" and the folder. Only one
// language's entry exists at a time.
QString shellEntryText(Language language);
QString shellEntryPath(Language language);
// Whether an entry of either language exists.
bool shellEntryExists();

// The desktop entry's text for the program file.
QByteArray shellEntryContent(Language language, const QString &executable);

// What runs after every language change, once at start when an entry exists,
// and at exit: the entry is written for the language (and the other
// language's removed) or, when not wanted, both are removed; then the program
// folder and the language are stored in the registry stand-in. False when a
// file could not be written; problem then names it and the system's error.
[[nodiscard]] bool applyShellRegistration(bool wanted, Language language, const QString &programFolder,
                                          const QString &executable, QString *problem = nullptr);

} // namespace kaz
