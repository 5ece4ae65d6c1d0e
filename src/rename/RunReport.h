#pragma once

#include "RenameRun.h"
#include "Undo.h"

#include "platform/Language.h"

#include <QString>
#include <QStringList>

namespace kaz {

// What a run could not do: a sentence that counts the files, and one line
// per file with its path and the reason. Empty when all went well.
struct RunReport {
    QString summary;
    QStringList lines;

    bool isEmpty() const { return lines.isEmpty(); }
};

RunReport renameReport(const RenameOutcome &outcome, Language language);
RunReport undoReport(const UndoOutcome &outcome, Language language);

} // namespace kaz
