#include "RenameRun.h"

#include "CollisionRenamer.h"
#include "FileGathering.h"
#include "NameComposer.h"
#include "PlaylistCopy.h"
#include "RenameTexts.h"
#include "UndoLogWriter.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "WorkListReader.h"
#include "WorkListWriter.h"

#include "platform/RunLock.h"
#include "platform/SmallFile.h"
#include "platform/MediaPlayer.h"
#include "platform/Messages.h"
#include "platform/FolderListing.h"
#include "platform/Prompter.h"
#include "tags/Id3v1.h"
#include "tags/TagIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

namespace kaz {
namespace {

const QString kMp3 = QStringLiteral(".mp3");
constexpr qsizetype kBatchSize = 256;

qint64 countEntries(const QString &path)
{
    qint64 count = 0;
    WorkListReader reader(path);
    while (reader.next())
        ++count;
    return count;
}

class Runner
{
public:
    Runner(const RenameRequest &request, const RenameEnvironment &environment, RunState &state)
        : m_request(request)
        , m_settings(request.settings)
        , m_env(environment)
        , m_state(state)
        , m_player(environment.player ? *environment.player : nullMediaPlayer())
    {
        m_settings.numbering = m_settings.numbering.normalized();
        m_tagContext.codec = environment.codec;
        m_tagContext.prompter = environment.prompter;
        m_tagContext.language = environment.language;
        m_tagContext.useId3v2 = environment.useId3v2;
        // The year never goes into a name, the comment only when appended.
        m_tagContext.nameFieldsOnly = !m_settings.appendComment;
    }

    RenameOutcome run();

private:
    bool userCounterNames() const
    {
        return m_settings.userDefined && (!m_settings.keepNumbers || userTextIsEmpty(m_settings));
    }
    bool gather();
    bool takePreviewList();
    void renameToTemporaryNames();
    void processFile(const QString &path);
    void renameUserDefined(const QString &path, const QString &folder);
    void renameByTag(const QString &path, const QString &folder, QStringView name);
    void addPreviewRow(const QString &path, const QString &name, const QString &previewed, const QString &info);
    QString tagInfo(const TagRecord &tag);
    void count(const CollisionRenamer::Result &result, const QString &path);
    void renamePending();
    void finish();

    const RenameRequest &m_request;
    RenameSettings m_settings;
    const RenameEnvironment &m_env;
    RunState &m_state;
    MediaPlayer &m_player;
    TagContext m_tagContext;
    RenameOutcome m_outcome;
    std::unique_ptr<UndoLogWriter> m_log;
    PlaylistCopy m_playlist;
    std::unique_ptr<CollisionRenamer> m_renamer;
    qint64 m_totalFiles = 0;
    qint64 m_totalFolders = 0;
    qint64 m_folderStep = 0;
    QString m_lastFolder;
    int m_userCounter = 1;
    bool m_treeRun = false;
    QList<CollisionRenamer::Job> m_jobs;
    // The files are read by name in their folder's descriptor; each file is
    // worked on once, also when the list names it twice.
    FolderDescriptor m_folder;
    std::string m_name; // the file's name as the system takes it
    QSet<std::pair<quint64, quint64>> m_seen;
    // The list the run goes through: "fl.kaz", the preview's list, or the
    // list of temporary names. Read where it is, never renamed over another.
    QString m_list;
};

RenameOutcome Runner::run()
{
    m_state.running = true;
    m_state.filesTouched = true;
    if (m_env.status)
        m_env.status(renameText(m_request.preview ? RenameText::CalculatingPreview : RenameText::RenamingFiles,
                                m_env.language));
    if (!gather()) {
        finish();
        return std::move(m_outcome);
    }
    // Before the temporary names: the preview's list holds the paths the
    // files have now.
    m_list = workFilePath(workfile::FileList);
    if (!takePreviewList()) {
        finish();
        return std::move(m_outcome);
    }
    if (!m_request.preview) {
        m_log = std::make_unique<UndoLogWriter>(m_request.continueUndoLogs);
        m_state.playingFile.clear(); // a release of an earlier run is over
        m_playlist.notePlayer(m_player);
        m_renamer = std::make_unique<CollisionRenamer>(m_log.get(), m_player, m_playlist, m_state);
        if (userCounterNames())
            renameToTemporaryNames();
    }
    if (m_env.folderProgress)
        m_env.folderProgress(0, m_totalFolders);
    m_env.hooks.report(0, m_totalFiles);
    WorkListReader list(m_list);
    while (std::optional<QString> path = list.next(true))
        processFile(*path);
    if (m_renamer)
        renamePending();
    finish();
    return std::move(m_outcome);
}

// False when the file list could not be written whole: then nothing is
// renamed, since the run would read cut-off lines as paths.
bool Runner::gather()
{
    GatherResult gathered;
    // A tree run needs a real start folder: an empty one would mean "/".
    m_treeRun = m_request.selection.isEmpty() && m_settings.includeSubdirectories
                && QDir::isAbsolutePath(m_request.startFolder);
    m_tagContext.quietWhenShort = m_treeRun;
    if (!m_request.selection.isEmpty())
        gathered = writeSelectionList(m_request.selection, m_settings.userDefined);
    else if (m_treeRun)
        gathered = writeTreeList(m_request.startFolder, m_settings.userDefined);
    else
        gathered = writeSelectionList({});
    m_totalFiles = gathered.files;
    m_totalFolders = gathered.folders;
    m_seen.reserve(m_totalFiles);
    m_outcome.lineBreakPaths = gathered.skipped;
    m_outcome.failures += gathered.problems;
    if (gathered.listFailed) {
        m_outcome.workListFailed = true;
        m_outcome.failures.append(workFilePath(workfile::FileList)
                                  + QStringLiteral(": the list of files could not be written whole (a full disk, or "
                                                   "something other than a file in its place); nothing was renamed"));
        m_outcome.preview = {};
    }
    return !gathered.listFailed;
}

// False when the preview's list is not there to be read: the run would
// otherwise rename the files the preview excluded.
bool Runner::takePreviewList()
{
    if (!m_request.usePreviewList)
        return true;
    const QString previewList = workFilePath(workfile::PreviewFileList);
    QString problem;
    if (!QFileInfo(previewList).isFile() || !isRegularOrMissing(previewList, &problem)) {
        m_outcome.workListFailed = true;
        m_outcome.failures.append((problem.isEmpty() ? previewList + QStringLiteral(": ")
                                                           + QString::fromLocal8Bit(std::strerror(ENOENT))
                                                     : problem)
                                  + QStringLiteral("; nothing was renamed"));
        return false;
    }
    m_list = previewList;
    m_totalFiles = countEntries(m_list);
    return true;
}

// Every file first gets a temporary name, so that no file of the run holds a
// counter name that another file of the run is to get.
void Runner::renameToTemporaryNames()
{
    const QString list = m_list;
    const QString rewrite = workFilePath(workfile::FileListRewrite);
    bool written = true;
    {
        WorkListReader reader(list);
        WorkListWriter writer(rewrite);
        for (int counter = 1; std::optional<QString> path = reader.next(true); ++counter) {
            m_env.hooks.pump();
            const CollisionRenamer::Result result = m_renamer->renameWithSuffix(
                *path, folderOf(*path), QString::number(counter) + QStringLiteral("~_$$_~"), kMp3);
            written &= writer.append(result.outcome == CollisionRenamer::Failed ? *path : result.target);
        }
        written &= writer.close();
    }
    if (!written) {
        // The files hold their temporary names, which the undo logs know;
        // going on from a cut-off list would leave some of them behind.
        QFile::remove(rewrite);
        QFile::remove(list);
        m_outcome.workListFailed = true;
        m_outcome.failures.append(rewrite + QStringLiteral(": the list of files could not be written whole (a full disk, "
                                                           "or something other than a file in its place); the run stopped, undo "
                                                           "gives the files their names back"));
        return;
    }
    m_list = rewrite;
}

void Runner::processFile(const QString &path)
{
    m_env.hooks.pump();
    ++m_outcome.files;
    if (m_request.preview)
        m_outcome.preview.addRunPath(path);
    const QStringView folderView = QStringView(path).left(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (folderView != m_lastFolder) {
        m_lastFolder = folderView.toString();
        if (m_env.folderProgress)
            m_env.folderProgress(qMin(++m_folderStep, m_totalFolders), m_totalFolders);
    }
    const QString folder = m_lastFolder; // shared by the files of the folder
    if (m_settings.userDefined)
        renameUserDefined(path, folder);
    else
        renameByTag(path, folder, QStringView(path).sliced(folderView.size()));
    m_env.hooks.report(m_outcome.files, m_totalFiles);
}

void Runner::renameUserDefined(const QString &path, const QString &folder)
{
    if (m_request.preview) {
        addPreviewRow(path, fileNameOf(path), userDefinedName(m_settings, m_userCounter++) + kMp3, QString());
        return;
    }
    if (!userCounterNames()) {
        count(m_renamer->renameWithSuffix(path, folder, userDefinedName(m_settings, 0), kMp3), path);
        return;
    }
    // Counter names taken outside the run are skipped, and the following
    // files go on from there.
    CollisionRenamer::Result result;
    do {
        const QString base = userDefinedName(m_settings, m_userCounter++);
        result = m_renamer->renameTo(path, folder + fitFileName(base, kMp3) + kMp3);
    } while (result.outcome == CollisionRenamer::TargetTaken && m_userCounter < 10000000);
    count(result, path);
}

void Runner::renameByTag(const QString &path, const QString &folder, QStringView name)
{
    const int dir = m_folder.open(folder);
    if (dir < 0) {
        m_outcome.failures.append(path + QStringLiteral(": ") + FsStatus::fromErrno(errno).errorText());
        return;
    }
    m_name.clear();
    appendNativeBytes(m_name, name);
    const ReadOnlyFile file(dir, QByteArray::fromRawData(m_name.data(), qsizetype(m_name.size())));
    FsStatus readStatus;
    TagRecord tag = readTag(file, path, m_tagContext, &readStatus);
    if (readStatus.errorNumber == ELOOP)
        readStatus.detail = QStringLiteral("a symbolic link, left alone");
    if (!readStatus.ok()) {
        m_outcome.failures.append(path + QStringLiteral(": ") + readStatus.errorText());
        return;
    }
    if (m_seen.contains({file.device(), file.inode()})) {
        --m_outcome.files; // the same file under a name met before
        return;
    }
    m_seen.insert({file.device(), file.inode()});
    if (m_treeRun && tag.fileSize <= id3v1::kTailSize) {
        --m_outcome.files; // too small to be a tagged MP3 file: not part of a tree run
        return;
    }
    replaceForbiddenCharacters(tag, m_settings.replacements);
    const NamePlan plan = planName(tag, name, m_settings);
    if (!plan.complete)
        ++m_outcome.notRenamed;
    if (m_request.preview) {
        const QString fileName = name.toString();
        const QString previewed = plan.complete ? plan.name + kMp3 : markedBase(fileName) + extensionOf(fileName);
        addPreviewRow(path, fileName, previewed, tagInfo(tag));
        return;
    }
    CollisionRenamer::Job job{path, folder, plan.name, kMp3, file.mode(), {}};
    if (!plan.complete) {
        const QString fileName = name.toString();
        job = {path, folder, markedBase(fileName), extensionOf(fileName), file.mode(), {}};
    }
    job.target = CollisionRenamer::firstChoice(job);
    if (job.target == path) {
        ++m_outcome.unchanged;
        return;
    }
    m_jobs.append(std::move(job));
    if (m_jobs.size() >= kBatchSize)
        renamePending();
}

// The renames go in batches: the undo logs get one write per batch instead
// of two per file, each batch logged before its first rename.
void Runner::renamePending()
{
    const QList<CollisionRenamer::Result> results = m_renamer->renameAll(m_jobs);
    for (qsizetype i = 0; i < results.size(); ++i)
        count(results[i], m_jobs[i].oldPath);
    m_jobs.clear();
}

void Runner::count(const CollisionRenamer::Result &result, const QString &path)
{
    if (result.outcome == CollisionRenamer::Renamed)
        ++m_outcome.renamed;
    else if (result.outcome == CollisionRenamer::Unchanged)
        ++m_outcome.unchanged;
    else
        m_outcome.failures.append(path + QStringLiteral(": ") + result.status.errorText());
}

QString Runner::tagInfo(const TagRecord &tag)
{
    if (!tag.hasTag())
        return renameText(RenameText::NoId3Tag, m_env.language);
    QStringList missing;
    if (tag.longArtist.isEmpty())
        missing << renameText(RenameText::NoArtist, m_env.language);
    if (tag.longAlbum.isEmpty())
        missing << renameText(RenameText::NoAlbum, m_env.language);
    if (tag.longTitle.isEmpty())
        missing << renameText(RenameText::NoTitle, m_env.language);
    if (missing.isEmpty())
        return {};
    ++m_outcome.missingFields;
    const QString joined = missing.join(m_settings.delimiter);
    return missing.size() > 1 ? QString::number(missing.size()) + QLatin1Char(' ') + joined : joined;
}

void Runner::addPreviewRow(const QString &path, const QString &name, const QString &previewed, const QString &info)
{
    m_outcome.preview.append(PreviewRow{QString(), info, name, previewed, path});
}

void Runner::finish()
{
    if (m_env.folderProgress) {
        m_env.folderProgress(m_totalFolders, m_totalFolders);
        m_env.folderProgress(0, m_totalFolders);
    }
    m_env.hooks.report(0, m_totalFiles);
    m_log.reset();
    m_playlist.save();
    m_playlist.resume(m_player, m_state.playingFile, m_state.playingPosition);
    if (!m_request.preview && m_outcome.notRenamed > 0 && m_env.prompter) {
        m_env.prompter->inform(MessageKind::Warning, QString::number(m_outcome.notRenamed)
                                                         + message(Msg::FilesNotRenamed, m_env.language));
    }
    removeWorkFile(workfile::FolderList);
    if (!m_request.preview) {
        removeWorkFile(workfile::FileList);
        removeWorkFile(workfile::PreviewFileList);
        removeWorkFile(workfile::FileListRewrite);
    }
    m_state.lastStartFolder = m_request.startFolder;
    m_state.running = false;
}

} // namespace

RenameOutcome renaming(const RenameRequest &request, const RenameEnvironment &environment, RunState &state)
{
    const RunLock lock;
    if (!lock.acquired()) {
        RenameOutcome busy;
        busy.busy = true;
        busy.lockProblem = lock.problem();
        return busy;
    }
    return Runner(request, environment, state).run();
}

} // namespace kaz
