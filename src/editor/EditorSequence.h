#pragma once

#include <QList>
#include <QStringList>

#include <functional>

namespace kaz {

// How the editor's dialog was closed for one file.
enum class EditorClose { Save, SaveAndCopy, Skip, Exit };

struct EditorSequenceResult {
    QStringList paths;          // the files afterwards (renamed ones under their new names)
    QList<qsizetype> saved;     // indexes of the files closed with a Save
    bool stopped = false;       // Exit ended the sequence
};

// Shows the editor for each file in order; show gets the index, the file
// (which it may rename) and returns how the dialog closed. Exit stops.
EditorSequenceResult runEditorSequence(const QStringList &paths,
                                       const std::function<EditorClose(qsizetype index, QString &path)> &show);

} // namespace kaz
