#pragma once

#include <QString>

namespace kaz {

// Held while a run writes the work files and undo logs of the program
// folder, so that the window and the command line never run at once over
// the same files. Taken without waiting. The lock is an flock on
// "run.lock", which the kernel lets go when its holder ends in any way, so
// a killed run never locks out the next one; the file's contents (the
// holder's process id) are only for messages, and an empty or garbled file
// locks no one out.
class RunLock
{
public:
    RunLock();
    ~RunLock();
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    // False when another run holds the lock, or when it cannot be taken at
    // all (problem() then says why).
    bool acquired() const { return m_fd >= 0; }
    // Why the lock could not be taken when no other run holds it (a program
    // folder that cannot be written); empty otherwise.
    QString problem() const { return m_problem; }
    // With another run holding the lock: what its file says about it (the
    // process id), for messages; may be empty.
    QString holder() const { return m_holder; }

private:
    int m_fd = -1;
    QString m_problem;
    QString m_holder;
};

} // namespace kaz
