// The floor for writing ID3v2 tags, per file and without any flush:
//   inplace: open, fstat, pread of the tag, pwrite of it with one byte
//            changed, close;
//   rewrite: the same read, then a new file beside it with the tag and the
//            rest copied by copy_file_range, renamed over the old one.
// Reads the file names from a list file.
//
//   raw_head_write LIST inplace|rewrite
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

long tagSize(const unsigned char *h)
{
    if (std::memcmp(h, "ID3", 3) != 0)
        return -1;
    return 10 + (long(h[6]) << 21 | long(h[7]) << 14 | long(h[8]) << 7 | long(h[9]));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 || (std::strcmp(argv[2], "inplace") != 0 && std::strcmp(argv[2], "rewrite") != 0)) {
        std::fprintf(stderr, "usage: raw_head_write LIST inplace|rewrite\n");
        return 2;
    }
    const bool rewrite = std::strcmp(argv[2], "rewrite") == 0;
    std::vector<std::string> files;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);)
        files.push_back(line);
    long written = 0;
    std::vector<unsigned char> tag(1 << 16);
    for (const std::string &f : files) {
        const int fd = ::open(f.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        ::fstat(fd, &st);
        const long size = ::pread(fd, tag.data(), tag.size(), 0) >= 10 ? tagSize(tag.data()) : -1;
        if (size > 0 && size <= long(tag.size())) {
            tag[size - 1] ^= 1; // a byte of the padding
            if (!rewrite) {
                written += ::pwrite(fd, tag.data(), size_t(size), 0) == size;
            } else {
                const std::string temp = f + ".floor-tmp";
                const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
                if (out >= 0) {
                    loff_t from = size;
                    bool ok = ::write(out, tag.data(), size_t(size)) == size;
                    while (ok && from < st.st_size) {
                        const ssize_t n = ::copy_file_range(fd, &from, out, nullptr, size_t(st.st_size - from), 0);
                        ok = n > 0;
                    }
                    ::close(out);
                    written += ok && ::rename(temp.c_str(), f.c_str()) == 0;
                }
            }
        }
        ::close(fd);
    }
    std::printf("%ld written\n", written);
    return 0;
}
