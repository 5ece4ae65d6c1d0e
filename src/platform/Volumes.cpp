#include "Volumes.h"

#include <QStorageInfo>

#include <algorithm>

namespace kaz {
namespace {

bool isUserVolume(const QStorageInfo &volume)
{
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady())
        return false;
    if (root == QLatin1String("/"))
        return true;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"})
        if (root.startsWith(QLatin1String(system)))
            return root.startsWith(QLatin1String("/run/media"));
    return true;
}

} // namespace

QStringList userVolumeRoots()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (isUserVolume(volume) && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString volumeRootOf(const QString &folder)
{
    return QStorageInfo(folder).rootPath();
}

bool isDriveRoot(const QString &folder)
{
    return folder == QLatin1String("/") || volumeRootOf(folder) == folder;
}

} // namespace kaz
