#pragma once

#include "IniDocument.h"
#include "KazSettings.h"

#include "platform/Prompter.h"

#include <QSize>
#include <QString>

#include <functional>

namespace kaz {

// What reading and writing KAZ.INI needs to know besides the file: the
// screen the default window is centred on, the language of the messages and
// of the various-artists folder's default name, and who shows messages.
struct IniContext {
    QSize screen = kCommandLineScreen;
    Language language = kDefaultLanguage;
    Prompter *prompter = nullptr; // no messages when null
};

// KAZ.INI in the config folder (the program's stand-in for the Windows folder).
QString iniPath();

// Writes the file a first start writes.
bool createDefaultIni(const QString &path, const IniContext &context);

// Reads the settings. A file whose first line is not "V3.5" is converted
// first (with the old-file message); a missing file gives the defaults
// without writing anything. converted tells whether a conversion ran.
KazSettings loadIni(const QString &path, const IniContext &context, bool *converted = nullptr);

// Turns a file of an older version into the current layout: the general
// block from the defaults, the user's lines from the three lines above
// "[userdefined directories]" on kept, then "[END]".
bool convertOldIni(const QString &path, const IniContext &context);

// Rewrites lines 1 to 26 from the settings and keeps the rest of the file up
// to "[END]". A file that lost lines or sections gets them from the settings.
bool writeIniOnExit(const QString &path, const KazSettings &settings);

// The line patcher the dialogs use: reads every line, lets change replace
// its own ones, and writes the whole file back. Before change runs, a
// damaged file is given every line and section it lacks, so that positions
// and headers are always where change looks for them.
bool patchIni(const QString &path, const std::function<void(IniDocument &)> &change);

// Patchers for the dialogs that own parts of the file.
bool patchWinampPath(const QString &path, const QString &winampPath);                                     // line 12
bool patchCharactersAndDelimiter(const QString &path, const std::array<QString, 9> &characters,
                                 const QString &delimiter);                                                // lines 27, 28
bool patchUserSections(const QString &path, const std::array<QString, 6> &directories,
                       const std::array<ExternalProgram, 6> &programs);                                    // middle sections
bool patchStructureSection(const QString &path, const StructureSettings &structure);                       // to "[END]"
// The tag-source setting, written after "[END]" (the window's menu item).
bool patchTagSource(const QString &path, bool useId3v2);
// Removes the favourite folder or program whose value (the text after "=")
// is value from the middle sections; false when there was none.
bool removeUserEntry(const QString &path, const QString &value);

// Sets one setting of lines 1 to 28, of the structure section or of those
// after "[END]" by its key
// (as the file names it, letter case ignored), keeping every other line.
enum class SetResult { Done, UnknownKey, BadValue, WriteFailed };
SetResult setIniValue(const QString &path, const QString &key, const QString &value);

} // namespace kaz
