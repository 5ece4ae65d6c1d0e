#pragma once

#include "platform/Language.h"
#include "platform/RunHooks.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kaz {

class Prompter;

enum class SendOperation { Copy, Move, Delete };

// What a copy does with a target that exists: ask ("File exists!" with OK,
// No, All), or the answer given beforehand.
enum class OverwritePolicy { Ask, All, None };

struct SendRequest {
    SendOperation operation = SendOperation::Copy;
    QString destination; // copy and move; ignored by delete
    QStringList paths;   // full paths, in list order
    OverwritePolicy overwrite = OverwritePolicy::Ask;
    // Delete: the question "Really delete files?" is asked unless set.
    bool confirmed = false;
    // Delete: files no trash can take are deleted for good only after their
    // own question (Ask), always (Yes) or never (No).
    enum class Permanent { Ask, Yes, No };
    Permanent permanent = Permanent::Ask;
};

struct SendOutcome {
    enum class Refusal { None, BadDestination, NotEnoughSpace, Cancelled };
    Refusal refusal = Refusal::None;
    QString destination; // the destination as used, with "/"
    int done = 0;
    QStringList skipped;  // existing targets: not overwritten (copy) or not moved (move)
    QStringList failures; // "path: reason"
    QStringList trashed;  // delete: moved to the trash
    QStringList deletedForGood;
    QStringList notTrashed; // delete: no trash could take them and they were kept ("path: reason")

    bool refused() const { return refusal != Refusal::None; }
};

// Copies, moves or deletes the files. Nothing is ever overwritten by a move;
// a copy replaces an existing target only when the user says so, and then
// only with a complete copy. A delete moves the files to the desktop's
// trash; a file no trash can take is deleted for good only when the user
// says so to a question that names it. Single failures do not stop the
// run: they are counted and listed.
// The refusals (destination unusable, not enough space, delete cancelled)
// are shown through the prompter and leave every file as it was.
SendOutcome sendFiles(const SendRequest &request, Prompter *prompter, Language language, const RunHooks &hooks = {});

// The free bytes for a copy to destination (a folder that may not exist
// yet: its nearest existing parent counts).
qint64 freeBytesFor(const QString &destination);
// Whether two paths lie on one file system (a move between them is a rename).
bool sameVolume(const QString &a, const QString &b);

} // namespace kaz
