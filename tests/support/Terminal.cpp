#include "Terminal.h"

#include <QFile>

#include <cerrno>
#include <vector>

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace kaz::test {

CliResult runCliOnTerminal(const QStringList &arguments, const QByteArray &input)
{
    // Everything the child needs is made before the fork.
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
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n > 0)
            result.out.append(buffer, n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // EIO once the child has closed its side
    }
    ::close(terminal);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace kaz::test
