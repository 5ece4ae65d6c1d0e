#include "FolderNames.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace kaz {

bool FolderNames::read(int dirFd)
{
    clear();
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    // readdir() ends with null on an error too: only errno tells them apart.
    errno = 0;
    while (const dirent *e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name != "." && name != "..")
            m_names.emplace(name);
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    if (!complete) {
        clear();
        return false;
    }
    m_read = true;
    return true;
}

void FolderNames::clear()
{
    m_names.clear();
    m_read = false;
}

} // namespace kaz
