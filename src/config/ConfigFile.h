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

// Every function below that writes the file returns false when it could
// not, and then says in problem which file and the system's error; the file
// is then as it was.

// Writes the file a first start writes.
[[nodiscard]] bool createDefaultIni(const QString &path, const IniContext &context, QString *problem = nullptr);

// Reads the settings. A file whose first line is not "V3.5" is converted
// first (with the old-file message); a missing file gives the defaults
// without writing anything. converted tells whether a conversion ran; a
// converted file that cannot be written is told through the prompter.
KazSettings loadIni(const QString &path, const IniContext &context, bool *converted = nullptr);

// Turns a file of an older version into the current layout: the general
// block from the defaults, the user's lines from the three lines above
// "[userdefined directories]" on kept, then "[END]".
[[nodiscard]] bool convertOldIni(const QString &path, const IniContext &context, QString *problem = nullptr);

// Rewrites lines 1 to 26 from the settings and keeps the rest of the file up
// to "[END]". A file that lost lines or sections gets them from the settings.
[[nodiscard]] bool writeIniOnExit(const QString &path, const KazSettings &settings, QString *problem = nullptr);

// The line patcher the dialogs use: reads every line, lets change replace
// its own ones, and writes the whole file back. Before change runs, a
// damaged file is given every line and section it lacks, so that positions
// and headers are always where change looks for them.
[[nodiscard]] bool patchIni(const QString &path, const std::function<void(IniDocument &)> &change,
                            QString *problem = nullptr);

// Patchers for the dialogs that own parts of the file.
[[nodiscard]] bool patchWinampPath(const QString &path, const QString &winampPath,
                                   QString *problem = nullptr); // line 12
[[nodiscard]] bool patchCharactersAndDelimiter(const QString &path, const std::array<QString, 9> &characters,
                                               const QString &delimiter, QString *problem = nullptr); // lines 27, 28
[[nodiscard]] bool patchUserSections(const QString &path, const std::array<QString, 6> &directories,
                                     const std::array<ExternalProgram, 6> &programs,
                                     QString *problem = nullptr); // middle sections
[[nodiscard]] bool patchStructureSection(const QString &path, const StructureSettings &structure,
                                         QString *problem = nullptr); // to "[END]"
// The tag-source setting, written after "[END]" (the window's menu item).
[[nodiscard]] bool patchTagSource(const QString &path, bool useId3v2, QString *problem = nullptr);
// The same for the ID3v2-write setting ("update", "add" or "off").
[[nodiscard]] bool patchId3v2Write(const QString &path, const QString &mode, QString *problem = nullptr);
// Removes the favourite folder or program whose value (the text after "=")
// is value from the middle sections; false when there was none (problem
// stays empty) or when the file could not be written.
[[nodiscard]] bool removeUserEntry(const QString &path, const QString &value, QString *problem = nullptr);

// Sets one setting of lines 1 to 28, of the structure section or of those
// after "[END]" by its key
// (as the file names it, letter case ignored), keeping every other line.
enum class SetResult { Done, UnknownKey, BadValue, WriteFailed };
SetResult setIniValue(const QString &path, const QString &key, const QString &value, QString *problem = nullptr);

// The steps above on lines in memory, for callers that hold the bytes (the
// fuzz target): the lines loadIni parses (an old file's converted), those
// writeIniOnExit writes and those setIniValue leaves in doc.
IniDocument currentLayout(const IniDocument &doc, const IniContext &context);
IniDocument exitDocument(IniDocument doc, const KazSettings &settings);
SetResult setIniValue(IniDocument &doc, const QString &key, const QString &value);

} // namespace kaz
