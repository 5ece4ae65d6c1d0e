#include "SendRun.h"

#include "SendTexts.h"

#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "platform/PathParts.h"
#include "platform/Prompter.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

QString existingAncestor(QString path)
{
    while (!path.isEmpty() && !QFileInfo::exists(path))
        path = QFileInfo(path).path() == path ? QString() : QFileInfo(path).path();
    return path.isEmpty() ? QStringLiteral("/") : path;
}

class Sender
{
public:
    Sender(const SendRequest &request, Prompter *prompter, Language language, const RunHooks &hooks)
        : m_request(request)
        , m_prompter(prompter)
        , m_language(language)
        , m_hooks(hooks)
        , m_overwrite(request.overwrite)
    {
    }

    SendOutcome run()
    {
        if (m_request.operation == SendOperation::Delete)
            deleteAll();
        else if (prepareDestination() && spaceSuffices())
            transferAll();
        return m_outcome;
    }

private:
    Button ask(MessageKind kind, ButtonSet buttons, SendText text)
    {
        return m_prompter ? m_prompter->ask(kind, buttons, sendText(text, m_language)) : firstButton(buttons);
    }
    void refuse(SendOutcome::Refusal refusal, SendText text)
    {
        m_outcome.refusal = refusal;
        ask(MessageKind::Error, ButtonSet::Ok, text);
    }
    void fail(const QString &path, const QString &reason)
    {
        m_outcome.failures.append(path + QStringLiteral(": ") + reason);
    }

    void deleteAll();
    bool deleteForGood(const QStringList &paths);
    void removeForGood(const QString &path);
    bool prepareDestination();
    bool spaceSuffices();
    void transferAll();
    void copyOne(const QString &path, const QString &target);
    void moveOne(const QString &path, const QString &target);

    const SendRequest &m_request;
    Prompter *m_prompter;
    Language m_language;
    const RunHooks &m_hooks;
    OverwritePolicy m_overwrite;
    QString m_destination;
    bool m_toldNotMoved = false;
    SendOutcome m_outcome;
};

void Sender::deleteAll()
{
    if (!m_request.confirmed && ask(MessageKind::Warning, ButtonSet::OkCancel, SendText::ReallyDelete) != Button::Ok) {
        m_outcome.refusal = SendOutcome::Refusal::Cancelled;
        return;
    }
    QStringList noTrash, reasons;
    qint64 step = 0;
    for (const QString &path : m_request.paths) {
        m_hooks.pump();
        m_hooks.report(++step, m_request.paths.size());
        if (!pathExists(path)) {
            fail(path, QString::fromLocal8Bit(std::strerror(ENOENT)));
            continue;
        }
        // The trash, so that a mistaken delete can be taken back.
        const TrashResult trashed = moveToTrash(path);
        if (trashed.ok()) {
            m_outcome.trashed.append(path);
            ++m_outcome.done;
        } else if (trashed.outcome == TrashResult::NoTrash) {
            noTrash.append(path);
            reasons.append(trashed.problem);
        } else {
            fail(path, trashed.problem);
        }
    }
    if (!noTrash.isEmpty() && deleteForGood(noTrash))
        for (const QString &path : noTrash)
            removeForGood(path);
    else
        for (qsizetype i = 0; i < noTrash.size(); ++i)
            m_outcome.notTrashed.append(noTrash[i] + QStringLiteral(": ") + sendText(SendText::NotTrashedKept, m_language)
                                        + (reasons[i].isEmpty() ? QString() : QStringLiteral(" (") + reasons[i] + QLatin1Char(')')));
}

// The question for the files no trash can take names each of them.
bool Sender::deleteForGood(const QStringList &paths)
{
    if (m_request.permanent != SendRequest::Permanent::Ask)
        return m_request.permanent == SendRequest::Permanent::Yes;
    if (!m_prompter)
        return false;
    QStringList shown = paths.mid(0, 20);
    if (paths.size() > 20)
        shown.append(QStringLiteral("..."));
    const QString text = QString::number(paths.size()) + sendText(SendText::CannotTrash, m_language)
                         + shown.join(QStringLiteral("\n\r"));
    return m_prompter->ask(MessageKind::Warning, ButtonSet::YesNo, text) == Button::Yes;
}

void Sender::removeForGood(const QString &path)
{
    ensureOwnerWritable(path);
    if (::unlink(QFile::encodeName(path).constData()) == 0) {
        m_outcome.deletedForGood.append(path);
        ++m_outcome.done;
    } else {
        fail(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

bool Sender::prepareDestination()
{
    QString destination = m_request.destination.trimmed();
    // A relative destination would depend on whatever folder is current.
    if (destination.size() < 2 || !QDir::isAbsolutePath(destination) || !QDir().mkpath(destination)
        || !QFileInfo(destination).isDir()) {
        refuse(SendOutcome::Refusal::BadDestination, SendText::DestinationError);
        return false;
    }
    m_destination = QDir::cleanPath(destination);
    if (!m_destination.endsWith(QLatin1Char('/')))
        m_destination += QLatin1Char('/');
    m_outcome.destination = m_destination;
    return true;
}

bool Sender::spaceSuffices()
{
    qint64 total = 0;
    bool allOnDestinationVolume = true;
    for (const QString &path : m_request.paths) {
        const QFileInfo info(path);
        if (!info.isFile())
            continue;
        total += info.size();
        allOnDestinationVolume = allOnDestinationVolume && sameVolume(path, m_destination);
    }
    // A move within one file system needs no space.
    if (m_request.operation == SendOperation::Move && allOnDestinationVolume)
        return true;
    if (freeBytesFor(m_destination) > total)
        return true;
    refuse(SendOutcome::Refusal::NotEnoughSpace, SendText::NotEnoughSpace);
    return false;
}

void Sender::transferAll()
{
    removeDeadCopyLeftovers(m_destination);
    qint64 step = 0;
    for (const QString &path : m_request.paths) {
        m_hooks.pump();
        const QString target = m_destination + fileNameOf(path);
        if (m_request.operation == SendOperation::Move)
            moveOne(path, target);
        else
            copyOne(path, target);
        m_hooks.report(++step, m_request.paths.size());
    }
}

void Sender::copyOne(const QString &path, const QString &target)
{
    if (!pathExists(path)) {
        fail(path, QString::fromLocal8Bit(std::strerror(ENOENT)));
        return;
    }
    if (!QFileInfo(path).isFile()) {
        fail(path, QStringLiteral("not a regular file; left alone"));
        return;
    }
    CopyMode mode = CopyMode::NeverReplace;
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        if (QFileInfo(path).canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
            m_outcome.skipped.append(path); // the file itself
            return;
        }
        if (m_overwrite == OverwritePolicy::Ask) {
            const Button answer = ask(MessageKind::Error, ButtonSet::OkNoAll, SendText::FileExists);
            if (answer == Button::No)
                m_overwrite = OverwritePolicy::None;
            else if (answer == Button::All)
                m_overwrite = OverwritePolicy::All;
            else if (answer != Button::Ok)
                m_overwrite = OverwritePolicy::None;
            if (answer == Button::Ok)
                mode = CopyMode::ReplaceExisting;
        }
        if (m_overwrite == OverwritePolicy::All)
            mode = CopyMode::ReplaceExisting;
        if (mode == CopyMode::NeverReplace) {
            m_outcome.skipped.append(path);
            return;
        }
    }
    const FsStatus status = copyFile(path, target, mode);
    if (status.ok())
        ++m_outcome.done;
    else if (status.outcome == FsStatus::TargetExists)
        m_outcome.skipped.append(path);
    else
        fail(path, status.errorText());
}

void Sender::moveOne(const QString &path, const QString &target)
{
    ensureOwnerWritable(path);
    const FsStatus status = moveFile(path, target);
    if (status.ok()) {
        ++m_outcome.done;
    } else if (status.outcome == FsStatus::TargetExists) {
        m_outcome.skipped.append(path);
        if (!m_toldNotMoved) {
            m_toldNotMoved = true;
            ask(MessageKind::Information, ButtonSet::Ok, SendText::SomeNotMoved);
        }
    } else {
        fail(path, status.errorText());
    }
}

} // namespace

qint64 freeBytesFor(const QString &destination)
{
    return QStorageInfo(existingAncestor(destination)).bytesAvailable();
}

bool sameVolume(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(existingAncestor(a)).constData(), &sa) == 0
           && ::stat(QFile::encodeName(existingAncestor(b)).constData(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

SendOutcome sendFiles(const SendRequest &request, Prompter *prompter, Language language, const RunHooks &hooks)
{
    return Sender(request, prompter, language, hooks).run();
}

} // namespace kaz
