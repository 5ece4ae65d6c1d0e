#include "FolderTree.h"

#include "platform/WorkFiles.h"
#include "WorkListReader.h"
#include "WorkListWriter.h"

#include "platform/FileOps.h"


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
    // A path refused for its line break is skipped; any other refusal means
    // the list file is not whole.
    const auto append = [&result](WorkListWriter &writer, const QString &path) {
        if (writer.append(path))
            return true;
        if (hasLineBreak(path))
            result.skipped.append(path);
        else
            result.listFailed = true;
        return false;
    };
    {
        WorkListWriter first(level);
        first.reportRefusal(result.problems);
        append(first, startFolder);
        result.listFailed |= !first.close();
    }
    WorkListWriter all(workFilePath(workfile::FolderList));
    all.reportRefusal(result.problems);
    for (bool found = true; found && !result.listFailed;) {
        found = false;
        WorkListWriter next(nextLevel);
        next.reportRefusal(result.problems);
        WorkListReader current(level);
        while (std::optional<QString> folder = current.next(true)) {
            int error = 0;
            bool listed = false;
            const QList<FolderEntry> entries = listFolder(withSlash(*folder), &listed, &error);
            if (!listed)
                result.problems.append(*folder + QStringLiteral(": cannot be listed: ") + FsStatus::fromErrno(error).errorText());
            if (visit)
                visit(withSlash(*folder), entries);
            for (const FolderEntry &entry : entries) {
                if (entry.kind == FolderEntry::UndecodableFolder)
                    result.problems.append(withSlash(*folder) + entry.name
                                           + QStringLiteral(": left alone, the name is not valid UTF-8"));
                if (entry.kind == FolderEntry::Folder && append(next, withSlash(*folder) + entry.name))
                    found = true;
            }
            append(all, *folder);
            ++result.folderCount;
        }
        result.listFailed |= !next.close();
        QFile::remove(level);
        if (result.listFailed)
            break; // the next level may be anything but a list of ours
        if (!QFile::copy(nextLevel, level))
            result.listFailed |= found;
    }
    result.listFailed |= !all.close();
    QFile::remove(level);
    QFile::remove(nextLevel);
    return result;
}

} // namespace kaz
