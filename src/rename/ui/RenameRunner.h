#pragma once

#include "rename/RenameRun.h"
#include "rename/Undo.h"

#include <functional>

class QWidget;

namespace kaz {

class PageHost;

// Runs the rename, its preview and the undo for page "0" inside the
// window's run frame, with the window's progress bars, status line and
// event pump.
class RenameRunner
{
public:
    RenameRunner(PageHost &host, RunState &state, QWidget *dialogParent);

    // "&Go!" on the selection (or the tree).
    RenameOutcome run(const RenameSettings &settings, const QStringList &selection);
    // "&Preview": preview, dialog, and the real run when the user confirms;
    // again from the start when the dialog asks for a re-initialisation.
    void previewAndRun(const RenameSettings &settings, const QStringList &selection);
    UndoOutcome undo();

    // How the preview dialog opens the tag editor; none until there is one.
    // It answers with the indexes (into paths) of the files saved.
    void setTagEditor(std::function<QList<qsizetype>(const QStringList &paths)> editor)
    {
        m_tagEditor = std::move(editor);
    }

private:
    RenameEnvironment environment() const;
    RenameRequest request(const RenameSettings &settings, const QStringList &selection, bool preview) const;
    void resetProgress();
    // Tells the user when another run held the files; returns busy.
    bool refusedAsBusy(bool busy);

    PageHost &m_host;
    RunState &m_state;
    QWidget *m_dialogParent;
    std::function<QList<qsizetype>(const QStringList &)> m_tagEditor;
};

} // namespace kaz
