#include "FileGathering.h"

#include "FolderTree.h"
#include "platform/WorkFiles.h"
#include "WorkListWriter.h"

#include "platform/FolderListing.h"
#include "tags/Id3v1.h"

namespace kaz {

bool isMp3Name(const QString &name)
{
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
}

GatherResult writeSelectionList(const QStringList &paths)
{
    GatherResult result;
    WorkListWriter list(workFilePath(workfile::FileList));
    for (const QString &path : paths) {
        if (list.append(path))
            ++result.files;
        else
            result.skipped.append(path);
    }
    list.close();
    result.folders = 1;
    return result;
}

GatherResult writeTreeList(const QString &startFolder, bool testSizes)
{
    GatherResult result;
    WorkListWriter list(workFilePath(workfile::FileList));
    const auto takeFiles = [&](const QString &folder, const QList<FolderEntry> &entries) {
        bool matched = false;
        for (const FolderEntry &file : entries) {
            if (file.kind != FolderEntry::File || !isMp3Name(file.name))
                continue;
            matched = true;
            const QString path = folder + file.name;
            if (testSizes && regularFileSize(path) <= id3v1::kTailSize)
                continue;
            if (list.append(path))
                ++result.files;
            else
                result.skipped.append(path);
        }
        if (matched)
            ++result.folders;
    };
    result.skipped += buildFolderList(startFolder, takeFiles).skipped;
    list.close();
    return result;
}

} // namespace kaz
