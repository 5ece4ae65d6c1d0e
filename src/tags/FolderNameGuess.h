#pragma once

#include <QString>

namespace kaz {

// The two properties of the folder-names button (page "2" and the tag editor).
struct FolderNameOptions {
    bool noticeAlbum = true; // noticealbum1: folders named ALBUM or SAMPLER are no names
    bool noticeCd = true;    // noticeCD1: a CD sub-folder goes into the comment
};

// The general-info fields the folder names fill; fields the rules do not
// reach keep what they held.
struct FolderNameFields {
    QString artist;
    QString album;
    QString comment;
};

// Artist and album from the names of a folder and its parent. Not swapped:
// the folder is the album and its parent the artist; swapped: the other way
// round. swapped flips on every call, so that a second click swaps the
// fields. root is the root of the volume the folder lies on; it is never a
// name ("/media/stick/Queen" has no parent name).
void guessFromFolderNames(const QString &folder, const QString &root, const FolderNameOptions &options,
                          bool &swapped, FolderNameFields &fields);

} // namespace kaz
