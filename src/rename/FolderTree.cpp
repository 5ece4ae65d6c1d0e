#include "FolderTree.h"

#include "platform/WorkFiles.h"
#include "WorkListReader.h"
#include "WorkListWriter.h"


#include <QFile>

namespace kaz {

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

FolderTreeResult buildFolderList(const QString &startFolder, const FolderVisitor &visit)
{
    FolderTreeResult result;
    const QString level = workFilePath(workfile::FolderLevel);
    const QString nextLevel = workFilePath(workfile::FolderNextLevel);
    {
        WorkListWriter first(level);
        if (!first.append(startFolder))
            result.skipped.append(startFolder);
        first.close();
    }
    WorkListWriter all(workFilePath(workfile::FolderList));
    for (bool found = true; found;) {
        found = false;
        WorkListWriter next(nextLevel);
        WorkListReader current(level);
        while (std::optional<QString> folder = current.next()) {
            const QList<FolderEntry> entries = listFolder(withSlash(*folder));
            if (visit)
                visit(withSlash(*folder), entries);
            for (const FolderEntry &entry : entries) {
                if (entry.kind != FolderEntry::Folder)
                    continue;
                const QString path = withSlash(*folder) + entry.name;
                if (next.append(path))
                    found = true;
                else
                    result.skipped.append(path);
            }
            all.append(*folder);
            ++result.folderCount;
        }
        next.close();
        QFile::remove(level);
        QFile::copy(nextLevel, level);
    }
    all.close();
    QFile::remove(level);
    QFile::remove(nextLevel);
    return result;
}

} // namespace kaz
