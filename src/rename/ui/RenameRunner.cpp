#include "RenameRunner.h"

#include "RenamePreviewDialog.h"

#include "platform/Prompter.h"
#include "rename/RenameTexts.h"
#include "rename/RunReport.h"
#include "platform/WorkFiles.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>

namespace kaz {
namespace {

void setBar(QProgressBar *bar, qint64 position, qint64 total)
{
    bar->setMaximum(int(qMax<qint64>(total, 1)));
    bar->setValue(int(qMin(position, total)));
}

} // namespace

RenameRunner::RenameRunner(PageHost &host, RunState &state, QWidget *dialogParent)
    : m_host(host)
    , m_state(state)
    , m_dialogParent(dialogParent)
{
}

RenameEnvironment RenameRunner::environment() const
{
    RenameEnvironment env;
    env.prompter = &m_host.prompter();
    env.player = &m_host.mediaPlayer();
    env.language = m_host.language();
    env.useId3v2 = m_host.useId3v2();
    env.hooks.processEvents = [this] { m_host.processEvents(); };
    env.hooks.progress = [this](qint64 position, qint64 total) { setBar(m_host.files().fileProgress(), position, total); };
    env.folderProgress = [this](qint64 position, qint64 total) { setBar(m_host.files().folderProgress(), position, total); };
    env.status = [this](const QString &text) { m_host.status().setStatusText(text); };
    return env;
}

RenameRequest RenameRunner::request(const RenameSettings &settings, const QStringList &selection, bool preview) const
{
    RenameRequest r;
    r.settings = settings;
    r.settings.includeSubdirectories = m_host.files().includeSubdirectories();
    r.startFolder = m_host.files().currentFolder();
    const QDir folder(r.startFolder);
    for (const QString &name : selection)
        r.selection << folder.filePath(name);
    r.preview = preview;
    return r;
}

void RenameRunner::resetProgress()
{
    m_host.files().fileProgress()->setMaximum(100);
    m_host.files().fileProgress()->setValue(0);
    m_host.files().folderProgress()->setMaximum(100);
    m_host.files().folderProgress()->setValue(0);
}

template<typename Outcome>
bool RenameRunner::refusedAsBusy(const Outcome &outcome)
{
    if (outcome.busy) {
        m_host.prompter().inform(MessageKind::Information, runLockRefusal(outcome.lockProblem, m_host.language()));
    }
    return outcome.busy;
}

void RenameRunner::showReport(const RunReport &report)
{
    if (!report.isEmpty())
        m_host.prompter().report(MessageKind::Warning, report.summary, report.lines);
}

RenameOutcome RenameRunner::run(const RenameSettings &settings, const QStringList &selection, bool continueUndoLogs)
{
    RunGuard frame(m_host.runFrame());
    m_host.hideRenameEdit();
    RenameRequest r = request(settings, selection, false);
    r.continueUndoLogs = continueUndoLogs;
    RenameOutcome outcome = renaming(r, environment(), m_state);
    resetProgress();
    if (!refusedAsBusy(outcome))
        showReport(renameReport(outcome, m_host.language()));
    return outcome;
}

void RenameRunner::previewAndRun(const RenameSettings &settings, const QStringList &selection)
{
    // The whole command is one frame; the list is read again only after a real run.
    RunGuard frame(m_host.runFrame(), false);
    m_host.hideRenameEdit();
    for (;;) {
        RenameOutcome outcome = renaming(request(settings, selection, true), environment(), m_state);
        resetProgress();
        if (refusedAsBusy(outcome))
            return;
        PreviewTable table = std::move(outcome.preview);
        table.sortByPath();
        RenamePreviewDialog dialog(std::move(table), outcome.notRenamed, m_host.language(), m_dialogParent);
        dialog.setHelp([this] { m_host.showHelp(21); });
        if (m_tagEditor)
            dialog.setTagEditor([this, &dialog](const QList<qsizetype> &rows) {
                QStringList paths;
                for (qsizetype row : rows)
                    paths << dialog.table().rows().at(row).path;
                QList<qsizetype> saved;
                for (qsizetype index : m_tagEditor(paths))
                    saved << rows.at(index);
                return saved;
            });
        dialog.exec();
        if (dialog.outcome() == RenamePreviewDialog::Reinitialize)
            continue;
        if (dialog.outcome() == RenamePreviewDialog::Rename) {
            RunGuard realRun(m_host.runFrame());
            RenameRequest real = request(settings, selection, false);
            real.usePreviewList = true;
            const RenameOutcome done = renaming(real, environment(), m_state);
            resetProgress();
            if (!refusedAsBusy(done))
                showReport(renameReport(done, m_host.language()));
        } else {
            removeWorkFile(workfile::FileList);
        }
        return;
    }
}

UndoOutcome RenameRunner::undo()
{
    RunGuard frame(m_host.runFrame());
    m_host.hideRenameEdit();
    const bool knownFolder = !m_state.lastStartFolder.isEmpty() && QFileInfo(m_state.lastStartFolder).isDir();
    if (knownFolder)
        m_host.files().openFolder(m_state.lastStartFolder);
    RenameEnvironment env = environment();
    UndoOutcome outcome = undoLastRun(m_state, &m_host.prompter(), m_host.language(), env.player, env.hooks);
    // Logs of an earlier session name no start folder: show where the files went back to.
    if (!knownFolder && !outcome.folder.isEmpty() && QFileInfo(outcome.folder).isDir())
        m_host.files().openFolder(outcome.folder);
    resetProgress();
    if (!refusedAsBusy(outcome))
        showReport(undoReport(outcome, m_host.language()));
    return outcome;
}

} // namespace kaz
