#include "HoldingProcess.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace kaz::test {

HoldingProcess::HoldingProcess(const std::function<bool()> &take)
{
    int report[2];
    if (::pipe(report) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        const char byte = take() ? 'y' : 'n';
        if (::write(report[1], &byte, 1) == 1) {
            for (;;)
                ::pause();
        }
        ::_exit(1);
    }
    ::close(report[1]);
    m_report = report[0];
}

HoldingProcess::~HoldingProcess()
{
    kill();
}

bool HoldingProcess::took()
{
    char byte = 0;
    return m_report >= 0 && ::read(m_report, &byte, 1) == 1 && byte == 'y';
}

void HoldingProcess::kill()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_report >= 0)
        ::close(m_report);
    m_report = -1;
}

} // namespace kaz::test
