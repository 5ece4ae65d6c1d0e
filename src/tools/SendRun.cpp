#include "SendRun.h"

#include "SendTexts.h"

#include "platform/FileOps.h"
#include "platform/PathParts.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

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
    qint64 step = 0;
    for (const QString &path : m_request.paths) {
        m_hooks.pump();
        m_hooks.report(++step, m_request.paths.size());
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        // The trash first, so that a mistaken delete can be taken back.
        if (QFile::moveToTrash(path)) {
            m_outcome.trashed.append(path);
            ++m_outcome.done;
            continue;
        }
        ensureOwnerWritable(path);
        QFile file(path);
        if (file.remove()) {
            m_outcome.deletedForGood.append(path);
            ++m_outcome.done;
        } else {
            fail(path, file.errorString());
        }
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
    if (!QFileInfo(path).isFile()) {
        fail(path, QString::fromLocal8Bit(std::strerror(ENOENT)));
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
