#include "CleanupRun.h"

#include "CleanupComputation.h"
#include "CleanupLog.h"
#include "CleanupTexts.h"

#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "platform/Messages.h"
#include "platform/NativeName.h"
#include "platform/FreeName.h"
#include "platform/PathParts.h"
#include "platform/Prompter.h"
#include "platform/RunLock.h"
#include "platform/Utf16Scan.h"
#include "platform/WorkFiles.h"
#include "rename/NameComposer.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace kaz {
namespace {

CleanupFileResult kept(const CleanupItem &item, CleanupFileResult::Outcome outcome, const QString &reason)
{
    return {item.oldPath, item.oldPath, outcome, reason};
}

QString skipReason(CleanupItem::Skip skip, Language l)
{
    switch (skip) {
    case CleanupItem::EmptyBaseName:
        return cleanupText(CleanupText::EmptyBaseName, l);
    case CleanupItem::NameWouldVanish:
        return cleanupText(CleanupText::NameWouldVanish, l);
    case CleanupItem::OnlyExtension:
        return cleanupText(CleanupText::OnlyExtension, l);
    case CleanupItem::LineBreak:
        return cleanupText(CleanupText::LineBreak, l);
    case CleanupItem::NotSkipped:
        break;
    }
    return {};
}

QString targetOf(const CleanupItem &item, int suffix)
{
    QString tail;
    if (suffix != 0)
        tail.append(nameNumber(suffix)).append(item.extension());
    const QStringView tailView = suffix == 0 ? item.extension() : QStringView(tail);
    return joined({item.folder(), fitFileName(item.newBase, tailView), tailView});
}

using ResultTaker = std::function<void(const CleanupFileResult &)>;

// Makes the renames of a plan. The pairs are logged many at a time, each
// batch before its renames; when a rename fails, its pair and the ones after
// it are taken back, the file is renamed alone (with a numbered suffix when
// its name is taken), and the rest form the next batch. The results of a
// batch are handed on when it ends.
class Performer
{
public:
    Performer(Language language, const RunHooks &hooks, const ResultTaker &take)
        : m_language(language)
        , m_hooks(hooks)
        , m_take(take)
    {
        m_indexes.reserve(kBatch);
        m_pairs.reserve(kBatch);
    }

    void performAll(const QList<CleanupItem> &items)
    {
        qsizetype next = 0;
        while (next < items.size()) {
            const qsizetype end = performBatch(items, next);
            for (qsizetype i = next; i < end; ++i)
                m_take(m_window[i - next]);
            next = end;
        }
    }

private:
    static constexpr qsizetype kBatch = 256;

    // The results of the batch from m_from on.
    CleanupFileResult &result(qsizetype i) { return m_window[i - m_from]; }

    qsizetype performBatch(const QList<CleanupItem> &items, qsizetype from)
    {
        m_from = from;
        m_window.clear();
        m_indexes.clear();
        m_pairs.clear();
        qsizetype end = from;
        for (; end < items.size() && m_pairs.size() < kBatch; ++end) {
            const CleanupItem &item = items[end];
            m_window.emplace_back();
            if (item.skip != CleanupItem::NotSkipped) {
                result(end) = perform(item, 0);
                continue;
            }
            QString target = targetOf(item, 0);
            if (target == item.oldPath) {
                result(end) = {item.oldPath, std::move(target), CleanupFileResult::Unchanged, {}};
                continue;
            }
            m_indexes.append(end);
            m_pairs.append({item.oldPath, std::move(target)});
        }
        if (!m_pairs.isEmpty() && !m_log.recordBatch(m_pairs)) {
            for (const qsizetype i : m_indexes)
                result(i) = kept(items[i], CleanupFileResult::Failed, notLogged());
            return end;
        }
        for (qsizetype k = 0; k < m_pairs.size(); ++k) {
            const qsizetype i = m_indexes[k];
            m_hooks.pump();
            const FsStatus status = renameInFolder(items[i], m_pairs[k].second);
            if (status.ok()) {
                result(i) = {m_pairs[k].first, std::move(m_pairs[k].second), CleanupFileResult::Renamed, {}};
            } else {
                m_log.retractBatchFrom(k);
                result(i) = status.outcome == FsStatus::TargetExists
                                ? perform(items[i], 1)
                                : kept(items[i], CleanupFileResult::Failed, status.errorText());
                end = i + 1;
            }
            m_hooks.report(i + 1, items.size());
            if (!status.ok())
                break;
        }
        return end;
    }

    // One file alone, trying the suffixes from firstSuffix on.
    CleanupFileResult perform(const CleanupItem &item, int firstSuffix)
    {
        if (item.skip != CleanupItem::NotSkipped)
            return kept(item, CleanupFileResult::Skipped, skipReason(item.skip, m_language));
        for (int k = firstSuffix; k <= kMaxNameNumber; ++k) {
            const QString target = targetOf(item, k);
            if (target == item.oldPath)
                return {item.oldPath, target, CleanupFileResult::Unchanged, {}};
            if (!m_log.record(item.oldPath, target))
                return kept(item, CleanupFileResult::Failed, notLogged());
            const FsStatus status = renameInFolder(item, target);
            if (status.ok())
                return {item.oldPath, target, CleanupFileResult::Renamed, {}};
            m_log.retract();
            if (status.outcome != FsStatus::TargetExists)
                return kept(item, CleanupFileResult::Failed, status.errorText());
        }
        return kept(item, CleanupFileResult::Failed, FsStatus::fromErrno(EEXIST).errorText());
    }

    // By names relative to the folder's descriptor: no walk of the whole path per file.
    FsStatus renameInFolder(const CleanupItem &item, const QString &target)
    {
        const int fd = m_folder.open(item.folder());
        if (fd < 0)
            return renameNoReplace(item.oldPath, target);
        const NativeName from(item.oldName());
        const NativeName to(QStringView(target).mid(item.folderSize));
        return renameNoReplaceAt(fd, from.bytes(), to.bytes());
    }

    QString notLogged() const
    {
        const QString why = m_log.problem();
        return cleanupText(CleanupText::NotLogged, m_language) + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')'));
    }

    Language m_language;
    const RunHooks &m_hooks;
    const ResultTaker &m_take;
    CleanupLogWriter m_log;
    FolderDescriptor m_folder;
    qsizetype m_from = 0;
    QList<CleanupFileResult> m_window;
    QList<qsizetype> m_indexes;
    QList<std::pair<QString, QString>> m_pairs;
};

} // namespace

qsizetype extensionStart(QStringView fileName)
{
    const qsizetype dot = lastIndexOfUnit(fileName, u'.');
    return dot < 0 ? fileName.size() : dot;
}

NameParts splitFileName(const QString &fileName)
{
    const qsizetype dot = extensionStart(fileName);
    return {fileName.left(dot), fileName.mid(dot)};
}

namespace {

// Whether text ends in ".mp3" in any case; nullopt when one of its last four
// units is not ASCII (or there are fewer), where only the full comparison knows.
std::optional<bool> asciiMp3Ending(QStringView text)
{
    if (text.size() < 4)
        return std::nullopt;
    const char16_t *u = text.utf16() + text.size() - 4;
    if ((u[0] | u[1] | u[2] | u[3]) >= 0x80)
        return std::nullopt;
    return u[0] == u'.' && (u[1] | 0x20) == u'm' && (u[2] | 0x20) == u'p' && u[3] == u'3';
}

bool isWhitespace(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

bool isMp3FileName(QStringView fileName)
{
    // The extension is ".mp3" exactly when the name ends in it.
    if (const std::optional<bool> ending = asciiMp3Ending(fileName))
        return *ending;
    return fileName.mid(extensionStart(fileName)).compare(QLatin1String(".mp3"), Qt::CaseInsensitive) == 0;
}

QString CleanupItem::newName() const
{
    QString name = fitFileName(newBase, extension());
    name.append(extension());
    return name;
}

CleanupPlan planCleanup(const QStringList &paths, const QString &script, const CleanupOptions &options)
{
    CleanupPlan plan;
    plan.script = script;
    plan.items.reserve(paths.size());
    // Read once; only an empty-name message changes the script.
    QList<CleanupRule> rules = parseCleanupScript(script);
    // Files of one folder share its path.
    QStringView folder;
    bool folderHasLineBreak = false;
    CleanNameComputer computer;
    for (const QString &path : paths) {
        CleanupItem item;
        item.oldPath = path;
        const qsizetype slash = lastIndexOfUnit(path, u'/');
        item.folderSize = slash + 1;
        if (item.folder() != folder) {
            folder = QStringView(path).left(slash + 1);
            folderHasLineBreak = hasLineBreak(folder);
        }
        const QStringView name = item.oldName();
        const qsizetype dot = extensionStart(name);
        item.extensionSize = name.size() - dot;
        if (dot == 0) {
            item.skip = CleanupItem::EmptyBaseName;
        } else {
            CleanupResult cleaned = computer.compute(name.left(dot), rules, options);
            if (cleaned.empty) {
                const CleanupFallback fallback = cleanWithFallback(name.left(dot).toString(), plan.script, options);
                plan.script = fallback.script;
                plan.droppedEntries += fallback.droppedEntries;
                item.droppedEntries = fallback.droppedEntries;
                rules = parseCleanupScript(plan.script);
                cleaned.name = fallback.name;
            }
            item.newBase = cleaned.name;
            const QString fitted = fitFileName(item.newBase, item.extension());
            if (item.newBase.isEmpty())
                item.skip = CleanupItem::NameWouldVanish;
            else if (isWhitespace(fitted)) // the computation already strips leading dots
                item.skip = CleanupItem::OnlyExtension; // the file would become a hidden ".mp3"
            else if (folderHasLineBreak || containsEither(name, u'\n', u'\r'))
                item.skip = CleanupItem::LineBreak;
        }
        plan.items.append(std::move(item));
    }
    return plan;
}

qsizetype countNonMp3(const QStringList &paths)
{
    qsizetype count = 0;
    for (const QString &path : paths) {
        // Four ASCII units at the end of a path are those of its name, or the
        // name is shorter than ".mp3".
        const std::optional<bool> ending = asciiMp3Ending(path);
        const bool mp3 = ending ? *ending : isMp3FileName(QStringView(path).mid(lastIndexOfUnit(path, u'/') + 1));
        count += !mp3;
    }
    return count;
}

QString nonMp3Question(qsizetype count, Language language)
{
    return QString::number(count) + message(count == 1 ? Msg::OneNonMp3File : Msg::SeveralNonMp3Files, language);
}

CleanupOutcome cleanupFiles(const CleanupRequest &request, const CleanupEnvironment &environment)
{
    CleanupOutcome outcome;
    outcome.script = request.script;
    QStringList paths = request.paths;
    const qsizetype nonMp3 = countNonMp3(paths);
    if (nonMp3 > 0 && environment.prompter) {
        const Button answer = environment.prompter->ask(MessageKind::Warning, ButtonSet::YesCancelIgnore,
                                                        nonMp3Question(nonMp3, environment.language));
        if (answer == Button::Cancel) {
            outcome.cancelled = true;
            return outcome;
        }
        if (answer == Button::Yes) {
            paths.removeIf([](const QString &p) { return !isMp3FileName(fileNameOf(p)); });
            outcome.nonMp3Left = nonMp3;
        }
    }
    const CleanupPlan plan = planCleanup(paths, request.script, request.options);
    outcome.script = plan.script;
    // Each file passes the live view; a message stands beside the name it is about.
    for (const CleanupItem &item : plan.items) {
        if (environment.showFile) {
            environment.showFile(item);
            environment.hooks.pump();
        }
        for (int i = 0; i < item.droppedEntries && environment.prompter; ++i)
            environment.prompter->inform(MessageKind::Error, message(Msg::WholeNameRemoved, environment.language));
    }
    const ResultTaker take = [&outcome, &environment](const CleanupFileResult &file) {
        ++outcome.handled;
        outcome.renamed += file.outcome == CleanupFileResult::Renamed;
        outcome.unchanged += file.outcome == CleanupFileResult::Unchanged;
        if (environment.takeResult)
            environment.takeResult(file);
        else
            outcome.files.append(file);
    };
    if (request.preview) {
        for (const CleanupItem &item : plan.items) {
            if (item.skip != CleanupItem::NotSkipped) {
                take(kept(item, CleanupFileResult::Skipped, skipReason(item.skip, environment.language)));
                continue;
            }
            const QString newName = item.newName();
            take({item.oldPath, joined({item.folder(), newName}),
                  newName == item.oldName() ? CleanupFileResult::Unchanged : CleanupFileResult::Renamed, {}});
        }
        return outcome;
    }
    const RunLock lock;
    if (!lock.acquired()) {
        outcome.busy = true;
        outcome.lockProblem = lock.problem();
        return outcome;
    }
    Performer(environment.language, environment.hooks, take).performAll(plan.items);
    return outcome;
}

namespace {

enum class Restore { Done, AlreadyThere, Kept };

// Gives one file its old name back. A line is done only when the file at
// the old path is the file the run renamed: another file standing there
// keeps the line for a later undo.
Restore restore(const CleanupLogEntry &entry, QString *reason)
{
    if (entry.oldPath == entry.newPath)
        return Restore::AlreadyThere;
    struct stat atOld {}, atNew {};
    const bool oldExists = ::lstat(QFile::encodeName(entry.oldPath).constData(), &atOld) == 0;
    const bool newExists = ::lstat(QFile::encodeName(entry.newPath).constData(), &atNew) == 0;
    if (oldExists) {
        // The new path gone: the rename was never made (a run killed after
        // logging it) or was undone already (an undo killed halfway).
        if (!newExists && !S_ISDIR(atOld.st_mode))
            return Restore::AlreadyThere;
        if (newExists && atOld.st_dev == atNew.st_dev && atOld.st_ino == atNew.st_ino)
            return Restore::AlreadyThere; // one file under both names
        *reason = QStringLiteral("another file stands at the old path");
        return Restore::Kept;
    }
    const FsStatus status = renameNoReplace(entry.newPath, entry.oldPath);
    if (status.ok())
        return Restore::Done;
    *reason = status.errorText();
    return Restore::Kept;
}

} // namespace

CleanupUndoOutcome undoCleanup(const RunHooks &hooks)
{
    CleanupUndoOutcome outcome;
    const RunLock lock;
    if (!lock.acquired()) {
        outcome.busy = true;
        outcome.lockProblem = lock.problem();
        return outcome;
    }
    settleCleanupLog();
    if (!cleanupLogExists()) {
        outcome.nothingToUndo = true;
        return outcome;
    }
    const CleanupLogContents log = readCleanupLog();
    outcome.failures = log.problems;
    outcome.notes = log.notes;
    if (log.refused)
        return outcome; // left as it is
    QList<bool> keep(log.entries.size(), false);
    for (qsizetype i = log.entries.size() - 1; i >= 0; --i) {
        hooks.pump();
        const CleanupLogEntry &entry = log.entries[i];
        QString reason;
        switch (restore(entry, &reason)) {
        case Restore::Done:
            ++outcome.restored;
            break;
        case Restore::AlreadyThere:
            ++outcome.alreadyThere;
            break;
        case Restore::Kept:
            keep[i] = true;
            outcome.failures.append(entry.newPath + QStringLiteral(" -> ") + entry.oldPath + QStringLiteral(": ") + reason);
            break;
        }
        hooks.report(log.entries.size() - i, log.entries.size());
    }
    QList<CleanupLogEntry> kept;
    for (qsizetype i = 0; i < log.entries.size(); ++i)
        if (keep[i])
            kept.append(log.entries[i]);
    QString problem;
    if (rewriteCleanupLog(kept, &problem))
        outcome.keptLines = kept.size();
    else
        outcome.failures.append(problem + QStringLiteral("; the log stays as it was, a later undo skips what is done"));
    return outcome;
}

} // namespace kaz
