#include "SendToList.h"

#include "platform/PathParts.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QFile>
#include <QFileInfo>

namespace kaz {

bool SendToList::write(const QStringList &paths)
{
    QFile file(workFilePath(workfile::SendTo));
    if (!openWorkFile(file, QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (const QString &path : paths) {
        if (!hasLineBreak(path))
            bytes += path.toUtf8() + "\r\n";
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

SendToList SendToList::read()
{
    SendToList list;
    QFile file(workFilePath(workfile::SendTo));
    if (!openWorkFile(file, QIODevice::ReadOnly))
        return list;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QString path = QString::fromUtf8(line);
        list.paths.append(path);
        const QFileInfo info(path);
        if (info.isFile()) {
            list.totalBytes += info.size();
            list.names.append(info.fileName());
        }
    }
    if (!list.paths.isEmpty()) {
        const QString &last = list.paths.constLast();
        list.sourceFolder = folderOf(last);
    }
    return list;
}

} // namespace kaz
