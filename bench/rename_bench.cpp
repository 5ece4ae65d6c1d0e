// Renames 100,000 generated MP3 files spread over a folder tree with
// "kaz-cli rename --recursive" and, on an identical tree, with a minimal loop
// that does only open, fstat, pread of the last 128 bytes, close and
// renameat2 per file, relative to the folder. With --flat the files lie in
// one folder, renamed by "kaz-cli rename FOLDER". Prints both times of each
// round and their ratio, the medians, the peak memory of kaz-cli, and the
// time of the preview over the same files; beside the wall-clock times the
// processor times of both.
//
//   rename_bench [--files N] [--rounds N] [--flat] [--dir DIR] [--cli PATH] [--keep]
#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void fail(const std::string &what)
{
    std::fprintf(stderr, "rename_bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void makeDir(const std::string &path)
{
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        fail("mkdir " + path);
}

void putField(char *tag, int offset, const std::string &text, int width)
{
    std::memset(tag + offset, ' ', size_t(width));
    std::memcpy(tag + offset, text.data(), std::min<size_t>(text.size(), size_t(width)));
}

// One silent MPEG frame and an ID3v1.1 tag.
std::string fileBytes(int i)
{
    std::string bytes(417, '\0');
    bytes[0] = char(0xFF), bytes[1] = char(0xFB), bytes[2] = char(0x90), bytes[3] = char(0x64);
    char tag[128];
    std::memcpy(tag, "TAG", 3);
    putField(tag, 3, "Song " + std::to_string(i), 30);
    putField(tag, 33, "Artist " + std::to_string(i % 50), 30);
    putField(tag, 63, "Album " + std::to_string(i % 100), 30);
    putField(tag, 93, "2001", 4);
    putField(tag, 97, "", 30);
    tag[125] = 0;
    tag[126] = char(i % 20 + 1);
    tag[127] = 17;
    return bytes + std::string(tag, 128);
}

// 20 folders of 50 folders of files: three levels below the root; or all in
// the root.
void generate(const std::string &root, int files, bool flat)
{
    makeDir(root);
    for (int i = 0; i < files; ++i) {
        const std::string a = root + "/a" + std::to_string(i % 20);
        const std::string b = a + "/b" + std::to_string(i / 20 % 50);
        if (i < 1000 && !flat) {
            makeDir(a);
            makeDir(b);
        }
        const std::string path = (flat ? root : b) + "/" + std::to_string(i) + " track.mp3";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            fail("create " + path);
        const std::string bytes = fileBytes(i);
        if (::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            fail("write " + path);
        ::close(fd);
    }
}

std::string trimmed(const char *field, int width)
{
    int end = width;
    while (end > 0 && static_cast<unsigned char>(field[end - 1]) <= 32)
        --end;
    return std::string(field, size_t(end));
}

struct Renamed {
    std::string folder, from, to;
};

// The loop to compare with: walk the tree; per file open, read the last 128
// bytes, close, renameat2 to "artist - album - title.mp3". What it renamed
// is noted, so that the tree can be put back for the next round.
long baselineLoop(const std::string &folder, std::vector<Renamed> &done)
{
    long renamed = 0;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    const int dfd = ::dirfd(dir);
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    while (const dirent *e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type == DT_DIR)
            subfolders.emplace_back(e->d_name);
        else
            files.emplace_back(e->d_name);
    }
    for (const std::string &name : files) {
        const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        char tag[128];
        struct stat st {};
        const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 128
                        && ::pread(fd, tag, 128, st.st_size - 128) == 128;
        ::close(fd);
        if (!ok || std::memcmp(tag, "TAG", 3) != 0)
            continue;
        const std::string target
            = trimmed(tag + 33, 30) + " - " + trimmed(tag + 63, 30) + " - " + trimmed(tag + 3, 30) + ".mp3";
        if (::renameat2(dfd, name.c_str(), dfd, target.c_str(), RENAME_NOREPLACE) == 0) {
            ++renamed;
            done.push_back({folder, name, target});
        }
    }
    ::closedir(dir);
    for (const std::string &sub : subfolders)
        renamed += baselineLoop(folder + "/" + sub, done);
    return renamed;
}

void putBack(const std::vector<Renamed> &done)
{
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        if (::rename((it->folder + "/" + it->to).c_str(), (it->folder + "/" + it->from).c_str()) != 0)
            fail("put back " + it->to);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double cpuSeconds(const struct rusage &usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The processor time this process has used so far (user and system).
double ownCpuSeconds()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0; // user and system
    long peakKb = 0;
    int status = 0;
};

ChildRun runChild(const std::vector<std::string> &arguments, const std::string &home)
{
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        std::vector<char *> argv;
        for (const std::string &a : arguments)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    struct rusage usage {};
    ::wait4(pid, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakKb = usage.ru_maxrss;
    run.cpuSeconds = cpuSeconds(usage);
    return run;
}

void removeTree(const std::string &path)
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "rename_bench: could not remove %s\n", path.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    int files = 100000;
    std::string base;
    std::string cli = KAZ_CLI_PATH;
    bool keep = false;
    int rounds = 3;
    bool flat = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--flat")
            flat = true;
        else if (a == "--files" && i + 1 < argc)
            files = std::atoi(argv[++i]);
        else if (a == "--dir" && i + 1 < argc)
            base = argv[++i];
        else if (a == "--cli" && i + 1 < argc)
            cli = argv[++i];
        else if (a == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep")
            keep = true;
        else {
            std::fprintf(stderr, "usage: rename_bench [--files N] [--rounds N] [--flat] [--dir DIR] [--cli PATH] [--keep]\n");
            return 2;
        }
    }
    if (base.empty()) {
        char pattern[] = "/tmp/kaz-rename-bench-XXXXXX";
        if (!::mkdtemp(pattern))
            fail("mkdtemp");
        base = pattern;
    }
    makeDir(base);
    std::printf("generating 2 x %d files %s %s\n", files, flat ? "in one folder below" : "in a tree below",
                base.c_str());
    std::fflush(stdout);
    generate(base + "/loop", files, flat);
    generate(base + "/kaz", files, flat);
    ::sync();
    const auto command = [&](bool preview) {
        std::vector<std::string> arguments{cli, "rename"};
        if (preview)
            arguments.push_back("--preview");
        if (!flat)
            arguments.push_back("--recursive");
        for (const char *a : {"--lang", "en"})
            arguments.push_back(a);
        arguments.push_back(base + "/kaz");
        return arguments;
    };

    const ChildRun preview = runChild(command(true), base);
    // Rounds in turn, the trees put back in between, so that a busy moment
    // of the machine does not decide the comparison.
    // Processor times beside the wall-clock ones: on a machine that others
    // keep busy they vary far less.
    std::vector<double> loopTimes, kazTimes, loopCpu, kazCpu;
    long peakKb = 0;
    int kazStatus = 0;
    long loopRenamed = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<Renamed> done;
        ::sync(); // each timed phase starts with nothing left to write back
        const auto loopStart = Clock::now();
        const double loopCpuStart = ownCpuSeconds();
        loopRenamed = baselineLoop(base + "/loop", done);
        loopTimes.push_back(std::chrono::duration<double>(Clock::now() - loopStart).count());
        loopCpu.push_back(ownCpuSeconds() - loopCpuStart);
        ::sync();
        const ChildRun kaz = runChild(command(false), base);
        kazTimes.push_back(kaz.seconds);
        kazCpu.push_back(kaz.cpuSeconds);
        peakKb = std::max(peakKb, kaz.peakKb);
        kazStatus = kaz.status;
        if (round + 1 < rounds) {
            putBack(done);
            runChild({cli, "undo", "--yes"}, base);
        }
        std::printf("round %d: loop %.3f s, kaz-cli %.3f s, ratio %.2f; processor time %.3f s, %.3f s, ratio %.2f\n",
                    round + 1, loopTimes.back(), kazTimes.back(), kazTimes.back() / loopTimes.back(), loopCpu.back(),
                    kazCpu.back(), kazCpu.back() / loopCpu.back());
        std::fflush(stdout);
    }
    const double loopSeconds = median(loopTimes);
    const double kazSeconds = median(kazTimes);

    std::printf("files                         %d\n", files);
    std::printf("minimal loop (openat, fstat, pread 128 bytes, close, renameat2): %.3f s median of %d (%ld renamed)\n",
                loopSeconds, rounds, loopRenamed);
    std::printf("kaz-cli rename%s:   %.3f s median of %d, peak memory %.1f MB, exit %d\n", flat ? "" : " --recursive", kazSeconds,
                rounds, peakKb / 1024.0, WEXITSTATUS(kazStatus));
    std::printf("ratio kaz / loop:             %.2f (target 1.3 or less)\n", kazSeconds / loopSeconds);
    std::printf("processor time ratio:         %.2f (%.3f s / %.3f s, medians)\n", median(kazCpu) / median(loopCpu),
                median(kazCpu), median(loopCpu));
    std::printf("kaz-cli rename --preview:     %.3f s, peak memory %.1f MB\n", preview.seconds,
                preview.peakKb / 1024.0);
    if (!keep)
        removeTree(base);
    return WEXITSTATUS(kazStatus) == 0 ? 0 : 1;
}
