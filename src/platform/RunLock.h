#pragma once

#include <QLockFile>
#include <QString>

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

    // False when another run holds the lock, or when it cannot be taken at
    // all (problem() then says why).
    bool acquired() const { return m_acquired; }
    // Why the lock could not be taken when no other run holds it (a program
    // folder that cannot be written); empty otherwise.
    QString problem() const { return m_problem; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
    QString m_problem;
};

} // namespace kaz
