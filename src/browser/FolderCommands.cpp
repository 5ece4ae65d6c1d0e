#include "FolderCommands.h"

#include "platform/FileOps.h"
#include "rename/Undo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kaz {

bool isUsableFolderName(const QString &parent, const QString &name, const QString &currentName)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c.unicode() < 32)
            return false;
    if (QFile::encodeName(name).size() > 255)
        return false;
    if (!currentName.isEmpty() && name.compare(currentName, Qt::CaseInsensitive) == 0)
        return name != currentName;
    return !QFileInfo::exists(QDir(parent).filePath(name)) && !QFileInfo(QDir(parent).filePath(name)).isSymLink();
}

bool makeFolder(const QString &parent, const QString &name)
{
    return QDir(parent).mkdir(name);
}

bool renameFolder(const QString &from, const QString &to)
{
    if (!renameNoReplace(from, to).ok())
        return false;
    // The logged paths no longer exist under the old folder name; a failed
    // rename leaves them, and the last run can still be undone.
    discardUndoInformation();
    return true;
}

bool deleteEmptyFolderTree(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink())
        return false;
    QDirIterator files(folder, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    if (files.hasNext())
        return false;
    // Deepest first: a folder is removed only after its children.
    QStringList dirs;
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        dirs << it.next();
    std::sort(dirs.begin(), dirs.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &d : dirs)
        QDir().rmdir(d);
    return QDir().rmdir(folder);
}

} // namespace kaz
