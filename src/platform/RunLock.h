#pragma once

#include <QLockFile>

#include <memory>

namespace kaz {

// Held while a run writes the work files and undo logs of the program
// folder, so that the window and the command line never run at once over
// the same files. Taken without waiting; a lock left by a killed process
// does not count.
class RunLock
{
public:
    RunLock();
    ~RunLock();
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    // False when another run holds the lock.
    bool acquired() const { return m_acquired; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

} // namespace kaz
