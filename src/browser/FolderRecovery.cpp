#include "FolderRecovery.h"

#include "platform/Paths.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QDir>

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace kaz {
namespace {

const QString kDirList = QLatin1String(workfile::DirList);
const QString kNewDirList = QLatin1String(workfile::NewDirList);

QString workFile(const QString &name)
{
    QDir().mkpath(programFolder());
    return programFolder() + QLatin1Char('/') + name;
}

void writeLines(const QString &path, const QStringList &lines)
{
    QFile f(path);
    if (!openWorkFile(f, QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const QString &line : lines)
        f.write(line.toUtf8() + "\r\n");
}

QStringList readLines(const QString &path)
{
    QByteArray bytes;
    QStringList lines;
    // Folder lists of one folder's parent and siblings: a few megabytes at most.
    if (!readSmallFile(path, 64 * 1024 * 1024, &bytes))
        return lines;
    QList<QByteArray> split = bytes.split('\n');
    if (split.last().isEmpty())
        split.removeLast();
    for (QByteArray &line : split) {
        while (line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    return lines;
}

QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

QString parentFolder(const QString &folder)
{
    const QString f = withoutTrailingSlash(QDir::cleanPath(folder));
    const qsizetype slash = f.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return f + QLatin1Char('/');
    return f.left(slash + 1);
}

QStringList subFolderNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

void writeSiblingList(const QString &currentFolder)
{
    writeLines(workFile(kDirList), subFolderNames(parentFolder(currentFolder)));
}

FolderRecovery recoverFolder(const QString &lastFolder)
{
    FolderRecovery result;
    const QString last = withoutTrailingSlash(QDir::cleanPath(lastFolder));
    if (QFileInfo(last).isDir()) {
        result.folder = last;
    } else {
        result.vanished = true;
        result.missing = last;
        QString parent = parentFolder(last);
        while (!QFileInfo(parent).isDir() && parent.size() > 1)
            parent = parentFolder(parent);
        const QStringList known = readLines(workFile(kDirList));
        const QSet<QString> knownSet(known.begin(), known.end());
        QStringList fresh;
        for (const QString &name : subFolderNames(parent))
            if (!knownSet.contains(name))
                fresh << name;
        writeLines(workFile(kNewDirList), fresh);
        const QString base = withoutTrailingSlash(parent);
        if (fresh.size() == 1) {
            result.renamed = true;
            result.folder = (base == QLatin1String("/") ? base : base + QLatin1Char('/')) + fresh.first();
        } else {
            result.folder = base;
        }
    }
    QFile::remove(workFile(kDirList));
    QFile::remove(workFile(kNewDirList));
    return result;
}

} // namespace kaz
