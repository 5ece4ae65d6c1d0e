#include "FileGathering.h"

#include "FolderTree.h"
#include "platform/WorkFiles.h"
#include "WorkListWriter.h"

#include "platform/FolderListing.h"
#include "tags/Id3v1.h"

#include <QFile>
#include <QSet>

#include <sys/stat.h>

#include <algorithm>

namespace kaz {

bool isMp3Name(const QString &name)
{
    // No character outside ASCII folds to one of ".mp3": the last four are
    // compared as ASCII.
    if (name.size() < 4)
        return false;
    const char16_t *end = QStringView(name).utf16() + name.size();
    return end[-4] == u'.' && (end[-3] | 0x20) == u'm' && (end[-2] | 0x20) == u'p' && end[-1] == u'3';
}

namespace {

// The file a path names: device and inode, or the path when there is none.
QString identity(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return path;
    return QStringLiteral("%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
}

void take(WorkListWriter &list, const QString &path, GatherResult &result)
{
    if (list.append(path))
        ++result.files;
    else if (hasLineBreak(path))
        result.skipped.append(path);
    else
        result.listFailed = true;
}

} // namespace

GatherResult writeSelectionList(const QStringList &paths, bool byIdentity)
{
    GatherResult result;
    WorkListWriter list(workFilePath(workfile::FileList));
    list.reportRefusal(result.problems);
    // A folder's files come in ascending order, each path once: no path
    // needs to be looked up then.
    const auto notAscending = [](const QString &a, const QString &b) { return !(a < b); };
    if (!byIdentity && std::adjacent_find(paths.cbegin(), paths.cend(), notAscending) == paths.cend()) {
        for (const QString &path : paths)
            take(list, path, result);
        result.listFailed |= !list.close();
        result.folders = 1;
        return result;
    }
    QSet<QString> taken;
    taken.reserve(paths.size());
    for (const QString &path : paths) {
        const QString id = byIdentity ? identity(path) : path;
        if (!taken.contains(id)) {
            taken.insert(id);
            take(list, path, result);
        }
    }
    result.listFailed |= !list.close();
    result.folders = 1;
    return result;
}

GatherResult writeTreeList(const QString &startFolder, bool testSizes)
{
    GatherResult result;
    WorkListWriter list(workFilePath(workfile::FileList));
    list.reportRefusal(result.problems);
    const auto takeFiles = [&](const QString &folder, const QList<FolderEntry> &entries) {
        bool matched = false;
        for (const FolderEntry &file : entries) {
            if (file.kind == FolderEntry::UndecodableFile && isMp3Name(file.name))
                result.problems.append(folder + file.name + QStringLiteral(": left alone, the name is not valid UTF-8"));
            if (file.kind != FolderEntry::File || !isMp3Name(file.name))
                continue;
            matched = true;
            const QString path = folder + file.name;
            if (testSizes && regularFileSize(path) <= id3v1::kTailSize)
                continue;
            take(list, path, result);
        }
        if (matched)
            ++result.folders;
    };
    const FolderTreeResult tree = buildFolderList(startFolder, takeFiles);
    result.skipped += tree.skipped;
    result.problems = tree.problems + result.problems;
    result.listFailed |= tree.listFailed;
    result.listFailed |= !list.close();
    return result;
}

} // namespace kaz
