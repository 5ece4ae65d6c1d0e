#include "FolderListing.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace kaz {

QList<FolderEntry> listFolder(const QString &folder, bool *ok)
{
    QList<FolderEntry> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (ok)
        *ok = dir != nullptr;
    if (!dir)
        return entries;
    const int dirFd = ::dirfd(dir);
    while (const dirent *e = ::readdir(dir)) {
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
        }
        FolderEntry entry;
        entry.name = QFile::decodeName(name);
        entry.kind = type == DT_DIR ? FolderEntry::Folder : type == DT_REG ? FolderEntry::File : FolderEntry::Other;
        entries.append(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry &a, const FolderEntry &b) { return a.name < b.name; });
    return entries;
}

qint64 regularFileSize(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

bool pathExists(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace kaz
