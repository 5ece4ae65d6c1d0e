// The floor for writing tags: open, fstat, pread of the last 128 bytes,
// pwrite of them with a new comment, close per file, nothing else (no flush).
// Reads the file names from a list file.
//
//   raw_tail_write LIST COMMENT
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: raw_tail_write LIST COMMENT\n");
        return 2;
    }
    std::vector<std::string> files;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);)
        files.push_back(line);
    const size_t commentLength = std::min<size_t>(std::strlen(argv[2]), 28);
    long written = 0;
    char tag[128];
    for (const std::string &f : files) {
        const int fd = ::open(f.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        ::fstat(fd, &st);
        if (st.st_size >= 128 && ::pread(fd, tag, sizeof tag, st.st_size - 128) == 128 && std::memcmp(tag, "TAG", 3) == 0) {
            std::memset(tag + 97, 0, 28);
            std::memcpy(tag + 97, argv[2], commentLength);
            written += ::pwrite(fd, tag, sizeof tag, st.st_size - 128) == 128;
        }
        ::close(fd);
    }
    std::printf("%ld written\n", written);
    return 0;
}
