#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// The mounted volumes a user keeps files on ("/" and removable media, not
// the kernel's and the system's own mounts), sorted, each once.
QStringList userVolumeRoots();

// The root of the volume that holds folder.
QString volumeRootOf(const QString &folder);

// A folder that is the root of a mounted volume ("/" included): the
// operations that would rename or delete it refuse.
bool isDriveRoot(const QString &folder);

} // namespace kaz
