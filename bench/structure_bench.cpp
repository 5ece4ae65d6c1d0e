// Sorts 100,000 generated MP3 files of one folder (albums, samplers, loose
// songs, multi-CD albums) into a structure. Prints the time of reading the
// tags alone beside the time of planning, the whole "kaz-cli structure
// build" beside a minimal loop of tag read, mkdir and renameat2 over the same
// moves on an identical folder, and the peak memory of kaz-cli.
//
//   structure_bench [--files N] [--dir DIR] [--keep] [--cli PROGRAM]
//
// --cli runs PROGRAM in kaz-cli's place (a wrapper that profiles it).
#include "structure/BuildPlan.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// User + system seconds: what a loaded machine does not inflate.
double cpuSeconds(const struct rusage &usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void putField(char *tag, int offset, const std::string &text, int width)
{
    std::memset(tag + offset, ' ', size_t(width));
    std::memcpy(tag + offset, text.data(), std::min<size_t>(text.size(), size_t(width)));
}

struct Song {
    std::string artist, album, comment;
    int frames;
};

// A realistic mix: most files in albums of 8 to 15 songs, some samplers of
// 12 to 20 artists, some multi-CD albums, the rest loose songs.
std::vector<Song> plan(int files)
{
    std::mt19937 random(5);
    std::vector<Song> songs;
    int group = 0;
    while (int(songs.size()) < files) {
        const int kind = int(random() % 10);
        ++group;
        if (kind < 6) {
            const int n = 8 + int(random() % 8);
            for (int i = 0; i < n; ++i)
                songs.push_back({"Artist " + std::to_string(group % 3000), "Album " + std::to_string(group), "", 1 + int(random() % 4)});
        } else if (kind < 7) {
            const int n = 12 + int(random() % 9);
            for (int i = 0; i < n; ++i)
                songs.push_back({"Artist " + std::to_string(random() % 20000), "Sampler " + std::to_string(group), "", 1 + int(random() % 4)});
        } else if (kind < 8) {
            for (int cd = 1; cd <= 2; ++cd)
                for (int i = 0; i < 8; ++i)
                    songs.push_back({"Artist " + std::to_string(group % 3000), "Double " + std::to_string(group), "Live CD" + std::to_string(cd), 1 + int(random() % 4)});
        } else {
            for (int i = 0; i < 5; ++i)
                songs.push_back({"Loose " + std::to_string(random() % 30000), "Single " + std::to_string(random()), "", 1 + int(random() % 4)});
        }
    }
    songs.resize(size_t(files));
    return songs;
}

std::string bytesOf(const Song &song, int i)
{
    std::string bytes(size_t(417 * song.frames), '\0');
    bytes[0] = char(0xFF), bytes[1] = char(0xFB), bytes[2] = char(0x90), bytes[3] = char(0x64);
    char tag[128];
    std::memcpy(tag, "TAG", 3);
    putField(tag, 3, "Song " + std::to_string(i), 30);
    putField(tag, 33, song.artist, 30);
    putField(tag, 63, song.album, 30);
    putField(tag, 93, "2001", 4);
    putField(tag, 97, song.comment, 30);
    tag[127] = 17;
    return bytes + std::string(tag, 128);
}

void generate(const std::string &dir, const std::vector<Song> &songs)
{
    ::mkdir(dir.c_str(), 0755);
    for (size_t i = 0; i < songs.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06zu.mp3", i);
        const std::string path = dir + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        const std::string bytes = bytesOf(songs[i], int(i));
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
}

void mkdirs(const std::string &path, std::set<std::string> &made)
{
    if (path.empty() || made.count(path))
        return;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        mkdirs(path.substr(0, slash), made);
    ::mkdir(path.c_str(), 0755);
    made.insert(path);
}

// The least a build must do per file: read the tag, make the folder, move.
double minimalLoop(const std::vector<std::pair<std::string, std::string>> &moves)
{
    const auto start = Clock::now();
    std::set<std::string> made;
    char tag[128];
    for (const auto &[from, to] : moves) {
        const int fd = ::open(from.c_str(), O_RDONLY);
        struct stat st {};
        ::fstat(fd, &st);
        if (::pread(fd, tag, sizeof tag, st.st_size - 128) != 128)
            std::perror(from.c_str());
        ::close(fd);
        mkdirs(to.substr(0, to.rfind('/')), made);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
            std::perror(to.c_str());
    }
    return since(start);
}

// What a run of kaz-cli gave: its exit status and resource use.
struct Finished {
    int status = 0;
    struct rusage usage {};
};

// Starts the programs to be timed from a process forked before the bench
// grows: a child inherits the high-water mark of the process it is forked
// from, so that kaz-cli forked from the bench itself would report the
// bench's peak memory as its own.
class Starter
{
public:
    Starter()
    {
        int toStarter[2], fromStarter[2];
        if (::pipe(toStarter) != 0 || ::pipe(fromStarter) != 0) {
            std::perror("pipe");
            std::exit(1);
        }
        if (::fork() == 0) {
            ::close(toStarter[1]);
            ::close(fromStarter[0]);
            serve(toStarter[0], fromStarter[1]);
            _exit(0);
        }
        ::close(toStarter[0]);
        ::close(fromStarter[1]);
        m_to = toStarter[1];
        m_from = fromStarter[0];
    }
    ~Starter() { ::close(m_to); }

    // Runs the program with the arguments, environment settings "NAME=value" among them.
    Finished run(const std::vector<std::string> &words)
    {
        std::string request;
        for (const std::string &w : words)
            request += w + '\0';
        const size_t size = request.size();
        Finished finished;
        if (::write(m_to, &size, sizeof size) != ssize_t(sizeof size)
            || ::write(m_to, request.data(), size) != ssize_t(size)
            || ::read(m_from, &finished, sizeof finished) != ssize_t(sizeof finished)) {
            std::perror("starter");
            std::exit(1);
        }
        return finished;
    }

private:
    static void serve(int in, int out)
    {
        size_t size = 0;
        while (::read(in, &size, sizeof size) == ssize_t(sizeof size)) {
            std::string request(size, '\0');
            if (::read(in, request.data(), size) != ssize_t(size))
                return;
            std::vector<char *> argv;
            for (size_t at = 0; at < size; at += std::strlen(request.data() + at) + 1)
                argv.push_back(request.data() + at);
            argv.push_back(nullptr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                size_t first = 0;
                for (; argv[first] && std::strchr(argv[first], '='); ++first)
                    ::putenv(argv[first]);
                const int null = ::open("/dev/null", O_WRONLY);
                ::dup2(null, 1);
                ::execv(argv[first], argv.data() + first);
                _exit(127);
            }
            Finished finished;
            ::wait4(pid, &finished.status, 0, &finished.usage);
            if (::write(out, &finished, sizeof finished) != ssize_t(sizeof finished))
                return;
        }
    }

    int m_to = -1;
    int m_from = -1;
};

} // namespace

int main(int argc, char **argv)
{
    Starter starter;
    QCoreApplication app(argc, argv);
    int files = 100000;
    std::string base = "/tmp/kaz-structure-bench";
    bool keep = false;
    std::string cli = KAZ_CLI_PATH;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--files" && i + 1 < argc)
            files = std::atoi(argv[++i]);
        else if (a == "--dir" && i + 1 < argc)
            base = argv[++i];
        else if (a == "--cli" && i + 1 < argc)
            cli = argv[++i];
        else if (a == "--keep")
            keep = true;
    }
    std::system(("rm -rf '" + base + "'").c_str());
    ::mkdir(base.c_str(), 0755);
    const std::vector<Song> songs = plan(files);
    generate(base + "/kaz", songs);
    generate(base + "/loop", songs);

    kaz::BuildContext context;
    context.settings.variousDir = QStringLiteral("Various");
    context.tags.quietWhenShort = true;
    auto start = Clock::now();
    const kaz::BuildInput input = kaz::scanBaseFolder(QString::fromStdString(base + "/kaz"), context);
    const double readSeconds = since(start);
    start = Clock::now();
    const kaz::BuildPlan buildPlan = kaz::planBuild(QString::fromStdString(base + "/kaz"), input.items, context.settings);
    const double planSeconds = since(start);

    std::vector<std::pair<std::string, std::string>> moves;
    const std::string from = base + "/kaz/", to = base + "/loop/";
    for (const kaz::StructureMove &m : buildPlan.moves)
        moves.emplace_back(to + m.from.toStdString().substr(from.size()), to + m.to.toStdString().substr(from.size()));
    struct rusage own {};
    ::getrusage(RUSAGE_SELF, &own);
    const double ownCpuBefore = cpuSeconds(own);
    const double ownUserBefore = own.ru_utime.tv_sec + own.ru_utime.tv_usec / 1e6;
    const double loopSeconds = minimalLoop(moves);
    ::getrusage(RUSAGE_SELF, &own);
    const double loopCpu = cpuSeconds(own) - ownCpuBefore;
    const double loopUser = own.ru_utime.tv_sec + own.ru_utime.tv_usec / 1e6 - ownUserBefore;

    const auto buildStart = Clock::now();
    const Finished finished = starter.run({"XDG_DATA_HOME=" + base + "/home/data",
                                           "XDG_CONFIG_HOME=" + base + "/home/config",
                                           "XDG_RUNTIME_DIR=" + base + "/home", cli, "structure", "build",
                                           base + "/kaz"});
    const int status = finished.status;
    const struct rusage &usage = finished.usage;
    const double buildSeconds = since(buildStart);

    std::printf("files: %d, moved: %zu\n", files, buildPlan.moves.size());
    std::printf("reading the tags:      %.3f s\n", readSeconds);
    std::printf("planning:              %.3f s\n", planSeconds);
    std::printf("kaz-cli structure build: %.3f s (exit %d), peak memory %.1f MB\n", buildSeconds,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss / 1024.0);
    std::printf("minimal loop:          %.3f s (build / loop = %.2f)\n", loopSeconds, buildSeconds / loopSeconds);
    std::printf("cpu (user+system):     %.3f s against %.3f s, ratio %.2f\n", cpuSeconds(usage), loopCpu,
                cpuSeconds(usage) / loopCpu);
    std::printf("  of which user:       %.3f s against %.3f s\n",
                usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6, loopUser);
    if (!keep)
        std::system(("rm -rf '" + base + "'").c_str());
    return 0;
}
