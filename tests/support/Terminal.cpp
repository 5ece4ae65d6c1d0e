#include "Terminal.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace kaz::test {

CliResult runCliOnTerminal(const QStringList &arguments, const QByteArray &input, int timeoutMs)
{
    // Everything the child needs is made before the fork: it only calls exec.
    std::vector<QByteArray> words{QByteArray(KAZ_CLI_PATH)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    termios raw{};
    cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 100;

    CliResult result;
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, &raw, &size);
    if (child < 0)
        return result;
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (!input.isEmpty())
        [[maybe_unused]] const ssize_t typed = ::write(terminal, input.constData(), size_t(input.size()));
    const QDeadlineTimer deadline(timeoutMs);
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        const int n = ::poll(&ready, 1, int(qMin<qint64>(deadline.remainingTime(), 60000)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 && deadline.hasExpired()) {
            ::kill(child, SIGKILL);
            timedOut = true;
            break;
        }
        if (n <= 0)
            continue;
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EIO once the child has closed its side
        result.out.append(buffer, got);
    }
    ::close(terminal);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut)
        result.err = "timed out";
    else
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace kaz::test
