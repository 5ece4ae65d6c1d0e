#pragma once

#include <functional>

#include <sys/types.h>

namespace kaz::test {

// Another process that runs take() (it takes a lock, say), reports whether it
// succeeded and holds what it took until it is killed: with SIGKILL, as a
// crash would end it, by kill() or at the latest by the destructor.
class HoldingProcess
{
public:
    explicit HoldingProcess(const std::function<bool()> &take);
    ~HoldingProcess();

    pid_t pid() const { return m_pid; }
    // Waits for the report; ask once.
    bool took();
    void kill();

private:
    pid_t m_pid = -1;
    int m_report = -1;
};

} // namespace kaz::test
