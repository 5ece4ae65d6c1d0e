#include "RunLock.h"

#include "Paths.h"

#include <QDir>

namespace kaz {

RunLock::RunLock()
{
    QDir().mkpath(programFolder());
    m_lock = std::make_unique<QLockFile>(programFolder() + QStringLiteral("/run.lock"));
    // A run of any length keeps its lock; only a dead holder gives it up.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
}

RunLock::~RunLock()
{
    if (m_acquired)
        m_lock->unlock();
}

} // namespace kaz
