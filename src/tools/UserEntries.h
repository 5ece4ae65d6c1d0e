#pragma once

#include "platform/Language.h"

#include <QString>

namespace kaz {

class Prompter;

// What choosing a favourite folder or an external program led to.
enum class EntryOutcome {
    Ignored,          // the menu item held no usable entry
    Open,             // the folder exists: the caller opens it
    Started,          // the program runs
    StartFailed,      // the program exists but could not be started
    Removed,          // it was gone: removed from KAZ.INI, nothing else wanted
    RemovedChooseNew, // removed, and the user wants to choose a new one
};

// A favourite folder (Alt+1 to Alt+6). A folder that is gone is removed
// from KAZ.INI first, then the user is asked whether to choose a new one.
EntryOutcome openUserFolder(const QString &folder, const QString &iniPath, Prompter *prompter, Language language);

// An external program: started detached, in its own folder. A program that
// is gone is removed like a folder.
EntryOutcome startExternalProgram(const QString &program, const QString &iniPath, Prompter *prompter,
                                  Language language);

// "The program could not be started:" and the path.
QString programNotStartedText(const QString &program, Language language);

} // namespace kaz
