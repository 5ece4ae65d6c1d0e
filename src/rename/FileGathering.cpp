#include "FileGathering.h"

#include "FolderTree.h"
#include "WorkFiles.h"
#include "WorkListReader.h"
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

GatherResult writeTreeList(const QString &startFolder)
{
    GatherResult result;
    result.skipped = buildFolderList(startFolder).skipped;
    WorkListWriter list(workFilePath(workfile::FileList));
    WorkListReader folders(workFilePath(workfile::FolderList));
    while (std::optional<QString> entry = folders.next()) {
        const QString folder = withSlash(*entry);
        bool matched = false;
        for (const FolderEntry &file : listFolder(folder)) {
            if (file.kind != FolderEntry::File || !isMp3Name(file.name))
                continue;
            matched = true;
            const QString path = folder + file.name;
            if (prepareRegularFile(path) <= id3v1::kTailSize)
                continue;
            if (list.append(path))
                ++result.files;
            else
                result.skipped.append(path);
        }
        if (matched)
            ++result.folders;
    }
    list.close();
    return result;
}

} // namespace kaz
