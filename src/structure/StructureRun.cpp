#include "StructureRun.h"

#include "StructurePerformer.h"

#include "platform/FolderListing.h"
#include "platform/MediaPlayer.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/RunLock.h"
#include "rename/FolderTree.h"

#include <QHash>
#include <QSet>

namespace kaz {
namespace {

void say(const StructureEnvironment &env, const char *english, const char *german)
{
    if (env.status)
        env.status(QString::fromUtf8(tr2(env.language, english, german)));
}

// Outside a preview the run holds the run lock and marks the session.
class RunScope
{
public:
    RunScope(bool preview, RunState &state)
        : m_state(state)
    {
        if (!preview) {
            m_lock.emplace();
            m_busy = !m_lock->acquired();
        }
        if (!m_busy && !preview) {
            state.running = true;
            state.filesTouched = true;
        }
    }
    ~RunScope()
    {
        if (!m_busy && m_lock)
            m_state.running = false;
    }
    bool busy() const { return m_busy; }
    QString lockProblem() const { return m_lock ? m_lock->problem() : QString(); }

private:
    RunState &m_state;
    std::optional<RunLock> m_lock;
    bool m_busy = false;
};

// The too-small question; true when the build may go on.
bool mayPack(const BuildPlan &plan, const StructureRequest &request, const StructureEnvironment &env,
             StructureOutcome &outcome)
{
    outcome.tooBig = plan.tooBig() && request.context.settings.fitOnCdr;
    if (!outcome.tooBig || request.preview)
        return true;
    const Button answer = env.prompter ? env.prompter->ask(MessageKind::Error, ButtonSet::YesCancel,
                                                           message(Msg::StructureSizeTooSmall, env.language))
                                       : Button::Cancel;
    outcome.refused = answer != Button::Yes;
    return !outcome.refused;
}

void listPlanned(const BuildPlan &plan, const QHash<QString, QString> &origins, StructureOutcome &outcome)
{
    for (const StructureMove &m : plan.moves) {
        const QString to = m.restoreTo.isEmpty() ? m.to : m.restoreTo;
        const QString from = origins.value(m.from, m.from);
        if (to != from)
            outcome.moved.push_back({from, to, m.cls, m.cd});
    }
}

// A playing player would lose its files: it is stopped and its play list cleared.
void releasePlayer(const StructureEnvironment &env)
{
    if (!env.player || !env.player->isPlaying())
        return;
    env.player->stop();
    env.player->clearPlaylist();
    if (env.prompter)
        env.prompter->inform(MessageKind::Information, message(Msg::WinampStopped, env.language));
}

// Whether the break would leave each sub-folder empty, so that it can go: a
// folder keeps what does not move (other files in safe mode, links, names
// that are not UTF-8) and every folder that keeps something. What a preview
// tells in place of the run's own check.
bool breakEmptiesEveryFolder(const BreakPlan &plan)
{
    QSet<QString> leaving;
    for (const BreakMove &m : plan.moves)
        leaving.insert(m.from);
    QSet<QString> emptied;
    for (const QString &folder : plan.folders) { // deepest first
        bool listed = false;
        for (const FolderEntry &e : listFolder(folder, &listed)) {
            const bool goes = e.kind == FolderEntry::File     ? leaving.contains(folder + e.name)
                              : e.kind == FolderEntry::Folder ? emptied.contains(folder + e.name + QLatin1Char('/'))
                                                              : false;
            if (!goes)
                return false;
        }
        if (!listed)
            return false;
        emptied.insert(folder);
    }
    return true;
}

void tellNotAllMoved(const StructureEnvironment &env, const StructureOutcome &outcome)
{
    if (!outcome.moveComplete && env.prompter)
        env.prompter->inform(MessageKind::Error, message(Msg::NotAllMoved, env.language));
}

} // namespace

bool hasSubfolders(const QString &base)
{
    for (const FolderEntry &e : listFolder(base)) {
        if (e.kind == FolderEntry::Folder)
            return true;
    }
    return false;
}

StructureOutcome make_dstructure(const StructureRequest &request, const StructureEnvironment &env, RunState &state)
{
    StructureOutcome outcome;
    const RunScope scope(request.preview, state);
    if ((outcome.busy = scope.busy())) {
        outcome.lockProblem = scope.lockProblem();
        return outcome;
    }
    say(env, "creating directory-structure", "Erstellen der Verzeichnisstruktur");
    const BuildInput input = scanBaseFolder(request.base, request.context, env.hooks);
    outcome.files = input.files;
    outcome.lineBreakPaths = input.lineBreakPaths;
    const BuildPlan plan = planBuild(request.base, input.items, request.context.settings);
    outcome.unsafePictureNames = plan.unsafePictureNames;
    if (!mayPack(plan, request, env, outcome))
        return outcome;
    if (request.preview) {
        listPlanned(plan, {}, outcome);
        return outcome;
    }
    releasePlayer(env);
    StructurePerformer performer(request.base, env.hooks);
    outcome.moved.reserve(plan.moves.size());
    performer.performBuild(plan, [&outcome](const StructureMove &m, const QString &at) {
        outcome.moved.push_back({m.from, at, m.cls, m.cd});
    });
    outcome.failures = performer.failures();
    if (env.status)
        env.status(QString());
    return outcome;
}

StructureOutcome breakStructure(const StructureRequest &request, BreakMode mode, const StructureEnvironment &env,
                                RunState &state)
{
    StructureOutcome outcome;
    const RunScope scope(request.preview, state);
    if ((outcome.busy = scope.busy())) {
        outcome.lockProblem = scope.lockProblem();
        return outcome;
    }
    say(env, "analysing directory-structure", "Analyse der Verzeichnisstruktur");
    const BreakPlan plan = planBreak(request.base, mode, false, request.context, env.hooks);
    outcome.lineBreakPaths = plan.lineBreakPaths;
    outcome.files = qint64(plan.moves.size());
    if (request.preview) {
        for (const BreakMove &m : plan.moves)
            outcome.moved.push_back({m.from, m.to, StructureClass::Stay, -1});
        outcome.moveComplete = breakEmptiesEveryFolder(plan);
        return outcome;
    }
    if (plan.moves.empty() && plan.folders.isEmpty())
        return outcome; // no sub-folders: the last run's undo information stays
    say(env, "breaking directory-structure", "Auflösen der Verzeichnisstruktur");
    releasePlayer(env);
    StructurePerformer performer(request.base, env.hooks);
    outcome.moveComplete = performer.performBreak(plan, [&outcome](const QString &from, const QString &to) {
        outcome.moved.push_back({from, to, StructureClass::Stay, -1});
    });
    outcome.failures = performer.failures();
    tellNotAllMoved(env, outcome);
    return outcome;
}

StructureOutcome reorganizeStructure(const StructureRequest &request, const StructureEnvironment &env,
                                     RunState &state)
{
    StructureOutcome outcome;
    const RunScope scope(request.preview, state);
    if ((outcome.busy = scope.busy())) {
        outcome.lockProblem = scope.lockProblem();
        return outcome;
    }
    say(env, "analysing directory-structure", "Analyse der Verzeichnisstruktur");
    const BreakPlan breakPlan = planBreak(request.base, BreakMode::Safe, true, request.context, env.hooks);
    outcome.lineBreakPaths = breakPlan.lineBreakPaths;
    const BuildPlan buildPlan = planBuild(request.base, breakPlan.items, request.context.settings);
    outcome.files = qint64(breakPlan.items.size());
    outcome.unsafePictureNames = buildPlan.unsafePictureNames;
    if (!mayPack(buildPlan, request, env, outcome))
        return outcome;
    QHash<QString, QString> origins; // base-folder path -> where the file was before the run
    for (const BreakMove &m : breakPlan.moves)
        origins.insert(m.to, m.from);
    if (request.preview) {
        QSet<QString> builtFrom;
        for (const StructureMove &m : buildPlan.moves)
            builtFrom.insert(m.from);
        for (const BreakMove &m : breakPlan.moves) {
            if (!builtFrom.contains(m.to))
                outcome.moved.push_back({m.from, m.to, StructureClass::Stay, -1});
        }
        listPlanned(buildPlan, origins, outcome);
        outcome.moveComplete = breakEmptiesEveryFolder(breakPlan);
        return outcome;
    }
    say(env, "breaking directory-structure", "Auflösen der Verzeichnisstruktur");
    releasePlayer(env);
    StructurePerformer performer(request.base, env.hooks);
    QSet<QString> builtFrom;
    for (const StructureMove &m : buildPlan.moves)
        builtFrom.insert(m.from);
    outcome.moveComplete = performer.performBreak(breakPlan, [&](const QString &from, const QString &to) {
        if (!builtFrom.contains(to) || !origins.contains(to))
            outcome.moved.push_back({from, to, StructureClass::Stay, -1});
    });
    say(env, "creating directory-structure", "Erstellen der Verzeichnisstruktur");
    performer.performBuild(buildPlan, [&](const StructureMove &m, const QString &at) {
        outcome.moved.push_back({origins.value(m.from, m.from), at, m.cls, m.cd});
    });
    outcome.failures = performer.failures();
    tellNotAllMoved(env, outcome);
    if (env.status)
        env.status(QString());
    return outcome;
}

} // namespace kaz
