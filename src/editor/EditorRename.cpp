#include "EditorRename.h"

#include "platform/FreeName.h"
#include "platform/PathParts.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace kaz {
namespace {

bool exists(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Both names lead to the same file (a case-insensitive file system).
bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::lstat(QFile::encodeName(a).constData(), &sa) == 0 && ::lstat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

EditorRenameResult attempt(const QString &from, const QString &to)
{
    EditorRenameResult result;
    result.status = renameNoReplace(from, to);
    result.renamed = result.status.ok();
    result.path = result.renamed ? to : from;
    return result;
}

} // namespace

bool isForbiddenNameChar(QChar c)
{
    return QStringLiteral("\\/:*?\"<>|").contains(c);
}

QString withoutForbiddenChars(const QString &text)
{
    QString clean;
    for (QChar c : text) {
        if (!isForbiddenNameChar(c))
            clean += c;
    }
    return clean;
}

QString mp3ExtensionOf(const QString &path)
{
    const QString name = fileNameOf(path);
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive) ? name.right(4) : QString();
}

QString nameWithoutMp3(const QString &path)
{
    const QString name = fileNameOf(path);
    return name.left(name.size() - mp3ExtensionOf(path).size());
}

EditorRenameResult renameWithFreeName(const QString &path, const QString &base)
{
    const QString stem = folderOf(path) + base;
    const QString extension = mp3ExtensionOf(path);
    EditorRenameResult result{false, path, {}};
    if (stem + extension == path)
        return result;
    for (int k = 0; k <= kMaxNameNumber; ++k) {
        const QString target = stem + (k == 0 ? QString() : nameNumber(k)) + extension;
        if (exists(target) && !sameFile(target, path))
            continue;
        result = attempt(path, target);
        // Someone took the name between the test and the rename: next one.
        if (result.status.outcome != FsStatus::TargetExists)
            return result;
    }
    return result;
}

EditorRenameResult renameExactly(const QString &path, const QString &base)
{
    const QString target = folderOf(path) + base + mp3ExtensionOf(path);
    if (target == path)
        return {false, path, {}};
    return attempt(path, target);
}

} // namespace kaz
