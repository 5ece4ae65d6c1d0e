#pragma once

#include <QList>
#include <QString>

namespace kaz {

// One entry of a folder as the file system lists it.
struct FolderEntry {
    enum Kind { Folder, File, Other };
    QString name;
    Kind kind = Other;
};

// The entries of a folder without "." and "..", sorted by name. Symbolic
// links count as Other, so that walking a tree never follows one into a
// loop. A folder that cannot be read gives no entries (ok false).
QList<FolderEntry> listFolder(const QString &folder, bool *ok = nullptr);

// The size of a regular file; -1 when the path is no regular file.
qint64 regularFileSize(const QString &path);

// Whether anything (a file, folder or link) is at the path.
bool pathExists(const QString &path);

} // namespace kaz
