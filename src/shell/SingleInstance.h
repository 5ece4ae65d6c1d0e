#pragma once

#include "platform/Prompter.h"

#include <QLockFile>
#include <QString>
#include <QStringList>

namespace kaz {

// Keeps a second instance of the program out: a lock file in the runtime
// folder, held while the program runs. A lock left by an instance that was
// killed does not block the next start.
class SingleInstance
{
public:
    static QString defaultLockPath(); // runtime folder + "/KAZ.lock"

    explicit SingleInstance(const QString &lockPath = defaultLockPath());
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this is the only running instance; the lock is then held
    // until this object goes.
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }

private:
    QString m_path;
    QLockFile m_lock;
};

// The first step of program entry: false when another instance runs. A start
// without arguments then tells the user "  KAZ is already running!  "; a
// start with arguments (from the folder context menu) ends silently.
bool claimSingleInstance(SingleInstance &guard, const QStringList &arguments, Prompter &prompter);

} // namespace kaz
