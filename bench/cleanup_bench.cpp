// Cleans 20,000 files of one folder with "kaz-cli cleanup" and a five-entry
// script, and, on an identical folder, renames them with a minimal loop of
// stat and renameat2 per file. Prints both times and their ratio, and the
// time of one preview of a 255-character name with a 50-entry script.
//
//   cleanup_bench [--files N] [--rounds N] [--dir DIR] [--cli PATH]
#include "cleanup/CleanupComputation.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char *kScript = "\"_\"\" \":\" (live)\"\"\":\"-x\"\"\":\"track\"\"Track\":1\"#\":";

void fail(const std::string &what)
{
    std::fprintf(stderr, "cleanup_bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

std::string nameOf(int i)
{
    char name[64];
    std::snprintf(name, sizeof name, "%05d_track-x_%d (live).mp3", i, i % 97);
    return name;
}

// What the script makes of a name, for the loop that only renames.
std::string cleanedOf(int i)
{
    char name[64];
    std::snprintf(name, sizeof name, "#%05d Track %d.mp3", i, i % 97);
    return name;
}

std::vector<std::string> makeFolder(const std::string &dir, int files)
{
    std::system(("rm -rf '" + dir + "'").c_str());
    if (::mkdir(dir.c_str(), 0755) != 0)
        fail("mkdir " + dir);
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(dir + "/" + nameOf(i));
        const int fd = ::open(paths.back().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::write(fd, "ID3", 3) != 3)
            fail("create " + paths.back());
        ::close(fd);
    }
    ::sync();
    return paths;
}

struct Times {
    double wall = 0; // seconds
    double cpu = 0;  // user + system seconds: what a loaded machine does not inflate
};

double cpuSeconds(const struct rusage &usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ownCpuSeconds()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

Times runCli(const std::string &cli, const std::vector<std::string> &paths, const std::string &home)
{
    std::vector<std::string> arguments{cli, "cleanup", "--no-capitalize", "--script", kScript};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        std::vector<char *> argv;
        for (const std::string &a : arguments)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "cleanup_bench: kaz-cli ended with status %d\n", status);
    return {seconds, cpuSeconds(usage)};
}

Times runLoop(const std::string &dir, int files)
{
    const double cpuBefore = ownCpuSeconds();
    const auto start = Clock::now();
    for (int i = 0; i < files; ++i) {
        const std::string from = dir + "/" + nameOf(i);
        const std::string to = dir + "/" + cleanedOf(i);
        struct stat st {};
        if (::stat(from.c_str(), &st) != 0)
            fail("stat " + from);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
            fail("renameat2 " + from);
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(), ownCpuSeconds() - cpuBefore};
}

double previewMilliseconds()
{
    const QString base(255, QLatin1Char('a'));
    QString script;
    for (int i = 0; i < 50; ++i)
        script += QStringLiteral("\"a%1\"\"b\":").arg(i % 10);
    const int rounds = 200;
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        kaz::computeCleanName(base, script, kaz::CleanupOptions());
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    int files = 20000;
    int rounds = 3;
    std::string dir = "/tmp/kaz-cleanup-bench";
    std::string cli = KAZ_CLI_PATH;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--files")
            files = std::atoi(argv[i + 1]);
        else if (option == "--rounds")
            rounds = std::atoi(argv[i + 1]);
        else if (option == "--dir")
            dir = argv[i + 1];
        else if (option == "--cli")
            cli = argv[i + 1];
    }
    const std::string home = dir + "-home";
    std::system(("rm -rf '" + home + "' && mkdir -p '" + home + "'").c_str());
    std::vector<double> kaz, loop, kazCpu, loopCpu;
    for (int round = 0; round < rounds; ++round) {
        const Times k = runCli(cli, makeFolder(dir, files), home);
        makeFolder(dir, files);
        const Times l = runLoop(dir, files);
        kaz.push_back(k.wall);
        kazCpu.push_back(k.cpu);
        loop.push_back(l.wall);
        loopCpu.push_back(l.cpu);
    }
    std::system(("rm -rf '" + dir + "' '" + home + "'").c_str());
    const double k = median(kaz), l = median(loop);
    std::printf("files: %d in one folder, script of 5 entries, median of %d rounds\n", files, rounds);
    std::printf("kaz-cli cleanup:      %.3f s\n", k);
    std::printf("stat+renameat2 loop:  %.3f s\n", l);
    std::printf("ratio:                %.2f (target 1.3 or less)\n", k / l);
    const double kc = median(kazCpu), lc = median(loopCpu);
    std::printf("cpu (user+system):    %.3f s against %.3f s, ratio %.2f\n", kc, lc, kc / lc);
    std::printf("preview, 255 characters, 50 entries: %.3f ms (target under 16 ms)\n", previewMilliseconds());
    return 0;
}
