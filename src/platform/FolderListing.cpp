#include "FolderListing.h"

#include "NativeName.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
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
    // Decoding drops a leading byte order mark: the decoded name would then
    // name another file.
    if (raw.startsWith("\xEF\xBB\xBF"))
        return false;
    // The full UTF-8 check refuses overlong forms, surrogates and code
    // points beyond U+10FFFF, as decoding does; nearly every name is ASCII.
    return isAscii(raw) || raw.isValidUtf8();
}

void appendNativeBytes(std::string &out, QStringView name)
{
    const std::size_t start = out.size();
    out.resize(start + 3 * std::size_t(name.size()));
    const char *end = writeUtf8(out.data() + start, name);
    out.resize(std::size_t(end - out.data()));
}

namespace {

// One name as read, kept in a shared buffer until the entries are sorted;
// key holds its first eight bytes, so that most comparisons end there.
struct RawName {
    quint64 key;
    std::size_t offset;
    std::size_t size;
    FolderEntry::Kind kind;
    bool decodable;
};

// The first eight bytes of a name as a number that sorts as they do; a
// shorter name is padded with zero bytes, which no name holds.
quint64 sortKey(std::string_view name)
{
    quint64 key = 0;
    const std::size_t n = std::min<std::size_t>(name.size(), 8);
    for (std::size_t i = 0; i < n; ++i)
        key |= quint64(uchar(name[i])) << (56 - 8 * i);
    return key;
}

// Whether the bytes hold a character beyond U+FFFF (a four-byte sequence):
// UTF-16 sorts such a character before U+E000..U+FFFF, UTF-8 after them.
bool hasAstralCharacter(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0xF0; });
}

} // namespace

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
    std::string buffer;
    std::vector<RawName> names;
    // The names sort by their bytes as long as each shows as it is and holds
    // no character beyond U+FFFF; otherwise the shown names are sorted.
    bool byteOrder = true;
    const int dirFd = ::dirfd(dir);
    while (const dirent *e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name == "." || name == "..")
            continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
        }
        FolderEntry::Kind kind = type == DT_DIR ? FolderEntry::Folder : type == DT_REG ? FolderEntry::File : FolderEntry::Other;
        const bool decodable = isDecodableName(QByteArrayView(name.data(), qsizetype(name.size())));
        if (!decodable) {
            byteOrder = false;
            if (kind != FolderEntry::Other)
                kind = kind == FolderEntry::Folder ? FolderEntry::UndecodableFolder : FolderEntry::UndecodableFile;
        } else if (byteOrder && hasAstralCharacter(name)) {
            byteOrder = false;
        }
        names.push_back({sortKey(name), buffer.size(), name.size(), kind, decodable});
        buffer.append(name);
    }
    ::closedir(dir);
    const auto bytesOf = [&buffer](const RawName &n) { return std::string_view(buffer).substr(n.offset, n.size); };
    if (byteOrder)
        std::sort(names.begin(), names.end(), [&buffer](const RawName &a, const RawName &b) {
            if (a.key != b.key)
                return a.key < b.key;
            // Equal keys: both names hold the same first eight bytes (a
            // shorter one would differ by its padding).
            if (a.size <= 8 || b.size <= 8)
                return a.size < b.size;
            const std::size_t common = std::min(a.size, b.size) - 8;
            const int order = std::memcmp(buffer.data() + a.offset + 8, buffer.data() + b.offset + 8, common);
            return order != 0 ? order < 0 : a.size < b.size;
        });
    entries.reserve(qsizetype(names.size()));
    for (const RawName &n : names) {
        const QByteArrayView bytes(bytesOf(n).data(), qsizetype(n.size));
        entries.append({n.decodable ? QString::fromUtf8(bytes) : escapedName(bytes), n.kind});
    }
    if (!byteOrder)
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
