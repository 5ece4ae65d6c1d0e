#include "RunLock.h"

#include "Paths.h"

#include <QDir>
#include <QFileInfo>

namespace kaz {

RunLock::RunLock()
{
    QDir().mkpath(programFolder());
    m_lock = std::make_unique<QLockFile>(programFolder() + QStringLiteral("/run.lock"));
    // A run of any length keeps its lock; only a dead holder gives it up.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
    if (!m_acquired && m_lock->error() != QLockFile::LockFailedError) {
        const QFileInfo folder(programFolder());
        m_problem = QStringLiteral("the program folder %1 cannot be written (%2)")
                        .arg(programFolder(), !folder.isDir() ? QStringLiteral("it is missing or no folder")
                                              : !folder.isWritable() ? QStringLiteral("no write permission")
                                                                     : QStringLiteral("no room or another error"));
    }
}

RunLock::~RunLock()
{
    if (m_acquired)
        m_lock->unlock();
}

} // namespace kaz
