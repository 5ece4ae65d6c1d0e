#include "SingleInstance.h"

#include "platform/Messages.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace kaz {

QString SingleInstance::defaultLockPath()
{
    return runtimeFolder() + QStringLiteral("/KAZ.lock");
}

SingleInstance::SingleInstance(const QString &lockPath)
    : m_path(lockPath)
    , m_lock(lockPath)
{
    // A lock is stale only when its process is gone, never because of its age:
    // the running instance may hold it for days.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryLock()
{
    if (m_lock.isLocked())
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return m_lock.tryLock(0);
}

bool claimSingleInstance(SingleInstance &guard, const QStringList &arguments, Prompter &prompter)
{
    if (guard.tryLock())
        return true;
    if (arguments.isEmpty())
        prompter.inform(MessageKind::Information, message(Msg::AlreadyRunning, kDefaultLanguage));
    return false;
}

} // namespace kaz
