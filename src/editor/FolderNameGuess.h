#pragma once

#include <QString>

namespace kaz {

// Artist and album guessed from the current folder and its parent, the
// comment from a CD sub-folder ("CD1", "cd 2"), for the tag editor.
struct FolderNameProperties {
    bool noticeAlbum = true; // folders named ALBUM or SAMPLER are not names
    bool noticeCd = true;    // a CD sub-folder name goes into the comment
};

struct FolderNameFields {
    QString artist;
    QString album;
    QString comment;
};

// Fills fields from the folder's names; swapped: the current folder is the
// artist and its parent the album. Fields without a name stay as they are.
void guessFromFolderNames(const QString &folder, bool swapped, const FolderNameProperties &properties,
                          FolderNameFields &fields);

} // namespace kaz
