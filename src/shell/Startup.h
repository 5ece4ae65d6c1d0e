#pragma once

#include "config/KazSettings.h"

#include "platform/Prompter.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// How the program starts and ends, for the window code:
//
//   1. main(): SingleInstance guard; if (!claimSingleInstance(guard, args, prompter)) return 0;
//      the guard lives until the program ends.
//   2. Main window creation: StartupResult r = startUp({args, screen, executable}, prompter);
//      NotWritable ends the program. Otherwise: applyLanguage(r.language); put r.settings into
//      the controls (selection groups only when r.applySelection); place the window at
//      *r.windowGeometry when set; check "Shell registration" by r.shellRegistration and
//      "WinAmp path" by r.winampPathChecked; open r.settings.lastDir and select r.selectName
//      after its first listing.
//   3. Language switch: applyLanguage(), then applyShellRegistration() (ShellEntry.h) stores it.
//   4. After a dialog patched KAZ.INI, and on re-activation: loadIni() again and take what the
//      dialogs own with takeDialogSettingsFrom(); on re-activation also checkWinampPath().
//   5. Exit: keep settings.windowWidth/Height at the last normal (not maximised) size, then
//      shutDown(r, settings, language, shellRegistration, executable).
namespace kaz {

// What the GUI hands to start-up.
struct StartupRequest {
    QStringList arguments; // command-line arguments without the program name
    QSize screen;          // the screen the main window opens on
    QString executable;    // the program file, for the folder context-menu entry
};

// The state start-up leaves for the main window.
struct StartupResult {
    enum class Outcome { Ready, NotWritable };
    Outcome outcome = Outcome::Ready;
    Language language = kDefaultLanguage; // from the registry stand-in
    QString programFolder;                // work files, undo logs, saved cleanup rules
    QString iniPath;
    bool withArguments = false; // started from the folder context menu
    bool noSave = false;        // nothing is written at exit
    // The settings; settings.lastDir is the folder to open.
    KazSettings settings;
    // False when the file was missing and has just been written: the window
    // then keeps its own size and position and the controls their defaults.
    bool settingsLoaded = false;
    bool startupFolderWarningShown = false;
    // Whether the three selection groups of page 0 are set from settings.selection.
    bool applySelection = false;
    // Where to put the window; empty when it keeps its own geometry.
    std::optional<QRect> windowGeometry;
    // Entry of the file list to select after the first listing of the folder.
    QString selectName;
    bool shellRegistration = false; // "Shell registration" checked
    bool winampKnown = true;        // false when the stored player was gone
    bool winampPathChecked = false; // "WinAmp path" checked
};

// The main window's creation steps that need no window, in order: program
// folder and registry stand-in, write test, folder context-menu entry,
// "-open", deletion of stale work files, configuration (written when
// missing, else loaded and converted when old), start folder, window
// geometry and the media-player path check. Messages go to prompter. When
// the program folder cannot be written, the outcome is NotWritable (after
// the not-on-hard-disk message) and nothing has been written.
StartupResult startUp(const StartupRequest &request, Prompter &prompter);

// The folder to open for "-open PATH" and the entry to select in it: a
// folder opens itself, a file opens its folder with the file selected. The
// path is the second argument, or the only one. Empty when there is no
// argument or the path does not exist.
struct OpenTarget {
    QString folder;
    QString selectName;
};
std::optional<OpenTarget> openTarget(const QStringList &arguments);

// When settings.lastDir is gone: the startup-folder message with the folder
// (only the first time, as warningShown tells) and the home folder instead.
void checkStartFolder(KazSettings &settings, bool *warningShown, Prompter *prompter, Language language);

// When the stored media player (at least 3 characters) is no existing file
// and no program on the search path: the Winamp-folder message (when
// prompter is given), the path reset to "." in the settings and in line 12
// of the file. Returns whether the player is known; "WinAmp path" is checked
// when settings.winampPath is longer than 1 character afterwards.
bool checkWinampPath(KazSettings &settings, const QString &iniPath, Prompter *prompter, Language language);

// The exit handler's file work: unless noSave, lines 1 to 26 are written
// from the settings and the scratch files deleted; then, in any case, the
// folder context-menu entry and the registry values are stored. Returns the
// files that could not be written, each with the system's error.
[[nodiscard]] QStringList shutDown(const StartupResult &session, const KazSettings &settings, Language language,
                                   bool shellRegistration, const QString &executable);


} // namespace kaz
