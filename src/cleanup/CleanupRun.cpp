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
    const QString tail = suffix == 0 ? item.extension : nameNumber(suffix) + item.extension;
    return item.folder + fitFileName(item.newBase, tail) + tail;
}

// Makes the renames of a plan. The pairs are logged many at a time, each
// batch before its renames; when a rename fails, its pair and the ones after
// it are taken back, the file is renamed alone (with a numbered suffix when
// its name is taken), and the rest form the next batch.
class Performer
{
public:
    Performer(Language language, const RunHooks &hooks)
        : m_language(language)
        , m_hooks(hooks)
    {
    }

    QList<CleanupFileResult> performAll(const QList<CleanupItem> &items)
    {
        m_results.resize(items.size());
        qsizetype next = 0;
        while (next < items.size())
            next = performBatch(items, next);
        return m_results;
    }

private:
    static constexpr qsizetype kBatch = 256;

    qsizetype performBatch(const QList<CleanupItem> &items, qsizetype from)
    {
        QList<qsizetype> indexes;
        QList<std::pair<QString, QString>> pairs;
        indexes.reserve(kBatch);
        pairs.reserve(kBatch);
        qsizetype end = from;
        for (; end < items.size() && pairs.size() < kBatch; ++end) {
            const CleanupItem &item = items[end];
            if (item.skip != CleanupItem::NotSkipped) {
                m_results[end] = perform(item, 0);
                continue;
            }
            QString target = targetOf(item, 0);
            if (target == item.oldPath) {
                m_results[end] = {item.oldPath, std::move(target), CleanupFileResult::Unchanged, {}};
                continue;
            }
            indexes.append(end);
            pairs.append({item.oldPath, std::move(target)});
        }
        if (!pairs.isEmpty() && !m_log.recordBatch(pairs)) {
            for (const qsizetype i : indexes)
                m_results[i] = kept(items[i], CleanupFileResult::Failed, notLogged());
            return end;
        }
        for (qsizetype k = 0; k < pairs.size(); ++k) {
            const qsizetype i = indexes[k];
            m_hooks.pump();
            const FsStatus status = renameInFolder(items[i], pairs[k].second);
            if (status.ok()) {
                m_results[i] = {pairs[k].first, pairs[k].second, CleanupFileResult::Renamed, {}};
            } else {
                m_log.retractBatchFrom(k);
                m_results[i] = status.outcome == FsStatus::TargetExists
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
        const int fd = m_folder.open(item.folder);
        if (fd < 0)
            return renameNoReplace(item.oldPath, target);
        const NativeName from(item.oldName());
        const NativeName to(QStringView(target).mid(item.folder.size()));
        return renameNoReplaceAt(fd, from.bytes(), to.bytes());
    }

    QString notLogged() const
    {
        const QString why = m_log.problem();
        return cleanupText(CleanupText::NotLogged, m_language) + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')'));
    }

    Language m_language;
    const RunHooks &m_hooks;
    CleanupLogWriter m_log;
    FolderDescriptor m_folder;
    QList<CleanupFileResult> m_results;
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
    return fitFileName(newBase, extension) + extension;
}

CleanupPlan planCleanup(const QStringList &paths, const QString &script, const CleanupOptions &options)
{
    CleanupPlan plan;
    plan.script = script;
    plan.items.reserve(paths.size());
    // Read once; only an empty-name message changes the script.
    QList<CleanupRule> rules = parseCleanupScript(script);
    // Files of one folder share its path, and mostly their extension too.
    QString folder;
    bool folderHasLineBreak = false;
    QString extension;
    CleanNameComputer computer;
    for (const QString &path : paths) {
        CleanupItem item;
        item.oldPath = path;
        const qsizetype slash = lastIndexOfUnit(path, u'/');
        if (QStringView(path).left(slash + 1) != folder) {
            folder = path.left(slash + 1);
            folderHasLineBreak = hasLineBreak(folder);
        }
        item.folder = folder;
        const QStringView name = QStringView(path).mid(slash + 1);
        const qsizetype dot = extensionStart(name);
        if (name.mid(dot) != extension)
            extension = name.mid(dot).toString();
        item.extension = extension;
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
            const QString fitted = fitFileName(item.newBase, item.extension);
            if (item.newBase.isEmpty())
                item.skip = CleanupItem::NameWouldVanish;
            else if (isWhitespace(fitted) || (fitted.startsWith(QLatin1Char('.')) && !name.startsWith(QLatin1Char('.'))))
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

QList<CleanupFileResult> performCleanup(const CleanupPlan &plan, const RunHooks &hooks, Language language)
{
    return Performer(language, hooks).performAll(plan.items);
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
    if (request.preview) {
        for (const CleanupItem &item : plan.items) {
            if (item.skip != CleanupItem::NotSkipped)
                outcome.files.append(kept(item, CleanupFileResult::Skipped, skipReason(item.skip, environment.language)));
            else
                outcome.files.append({item.oldPath, item.folder + item.newName(),
                                      item.newName() == item.oldName() ? CleanupFileResult::Unchanged
                                                                     : CleanupFileResult::Renamed,
                                      {}});
        }
    } else {
        const RunLock lock;
        if (!lock.acquired()) {
            outcome.busy = true;
            return outcome;
        }
        outcome.files = performCleanup(plan, environment.hooks, environment.language);
    }
    for (const CleanupFileResult &file : outcome.files) {
        outcome.renamed += file.outcome == CleanupFileResult::Renamed;
        outcome.unchanged += file.outcome == CleanupFileResult::Unchanged;
    }
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
