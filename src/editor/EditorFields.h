#pragma once

#include "tags/TagRecord.h"

#include <QString>

namespace kaz {

// What the tag editor shows for one file. Title, artist and album hold the
// full texts (the Lyrics3 fields where the file has them).
struct EditorFields {
    QString title;
    QString artist;
    QString album;
    QString comment;
    QString year;
    int track = 0;   // 0: none
    QString genre;   // a name of the genre list; empty for none
};

// The fields as the editor opens them for a file's tag; an untagged file
// gives empty fields.
EditorFields fieldsFromTag(const TagRecord &tag);

// The values handed to the tag writer on Save: comment fitted to 30
// characters, year to 4, the track as ID3v1.1 track byte when it is 1..255,
// the genre number of the chosen name (255 for none).
TagValues valuesForSave(const EditorFields &fields);

// A track as typed: empty, not a number or above 255 is no track (0).
int trackFromInput(const QString &text);

// True when the fields hold something worth a tag.
bool hasAnyValue(const EditorFields &fields);

} // namespace kaz
