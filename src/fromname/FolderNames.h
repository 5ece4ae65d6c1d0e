#pragma once

#include <QString>

namespace kaz {

// The two properties of the folder-names button.
struct FolderNameOptions {
    bool noticeAlbum = true; // noticealbum1: folders named ALBUM or SAMPLER are no names
    bool noticeCd = true;    // noticeCD1: a CD sub-folder goes into the comment
};

// The general-info fields the folder names fill; fields the rules do not
// reach keep what they held.
struct FolderFields {
    QString artist;
    QString album;
    QString comment;
};

// Artist and album from the names of a folder and its parent. swap 0: the
// folder is the album and its parent the artist; 1: the other way round.
// The toggle flips on every call, so that a second click swaps the fields.
// root is the root of the volume the folder lies on; it is never a name.
void fieldsFromFolderNames(const QString &folder, const QString &root, const FolderNameOptions &options,
                           int &swap, FolderFields &fields);

// "CD1", "cd 2": C and D in any case, then a blank or a digit.
bool isCdFolderName(const QString &name);

} // namespace kaz
