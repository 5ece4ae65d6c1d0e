#include "FolderListing.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace kaz {

QString escapedName(QByteArrayView raw)
{
    QString shown;
    for (qsizetype i = 0; i < raw.size();) {
        const uchar lead = uchar(raw[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length > 0 && i + length <= raw.size() && raw.sliced(i, length).isValidUtf8()) {
            shown += QString::fromUtf8(raw.sliced(i, length));
            i += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(lead, 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

bool isDecodableName(QByteArrayView raw)
{
    return QFile::encodeName(QFile::decodeName(raw.toByteArray())) == raw;
}

QList<FolderEntry> listFolder(const QString &folder, bool *ok, int *error)
{
    QList<FolderEntry> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (ok)
        *ok = dir != nullptr;
    if (error)
        *error = dir ? 0 : errno;
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
        if (!isDecodableName(name)) {
            entry.name = escapedName(name);
            if (entry.kind != FolderEntry::Other)
                entry.kind = entry.kind == FolderEntry::Folder ? FolderEntry::UndecodableFolder
                                                               : FolderEntry::UndecodableFile;
        }
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
