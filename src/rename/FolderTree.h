#pragma once

#include "platform/FolderListing.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kaz {

struct FolderTreeResult {
    qint64 folderCount = 0;
    // Folders left out because their path holds a line break.
    QStringList skipped;
    // Folders that could not be listed or whose name is not valid UTF-8,
    // each with the reason: the tree is incomplete.
    QStringList problems;
    // A list file could not be written whole (a full program folder).
    bool listFailed = false;
};

// Writes the folder list "dl.kaz" of a tree, breadth first: the start folder
// as given, then the folders one level below it, then two levels below, and
// so on; under one parent in name order. Works through "dl_temp2.kaz" (the
// level being searched) and "dl_temp.kaz" (the level found), which are
// deleted at the end. Symbolic links to folders are not followed.
// visit, when given, sees each folder (with its "/") and its entries in the
// order of the list, so that a caller needs no second pass over the tree.
using FolderVisitor = std::function<void(const QString &folder, const QList<FolderEntry> &entries)>;
FolderTreeResult buildFolderList(const QString &startFolder, const FolderVisitor &visit = {});

// A folder entry of a list with its trailing "/" (readers add it when missing).
QString withSlash(const QString &folder);

} // namespace kaz
