#pragma once

#include "platform/RunHooks.h"

#include <QString>
#include <QStringList>

namespace kaz {

// What the file list shows, as the mask button cycles it.
enum class MaskState { Mp3 = 0, NotMp3 = 1, All = 2 };
// Which MP3 files the filter button lets through; only with MaskState::Mp3.
enum class TagFilter { All = 0, Tagged = 1, Untagged = 2 };

MaskState nextMaskState(MaskState state);
TagFilter nextTagFilter(TagFilter filter);

// The names (no path) of the files of folder that pass the mask, in the
// natural order of the list (by name, letter case ignored).
QStringList listMaskedNames(const QString &folder, MaskState mask);
// Whether the file at path passes the tag filter, its tag read as
// "kaz-cli tag show" reads it. With useId3v2 a file without an ID3v1 tag
// counts as tagged by its ID3v2 tag.
bool passesTagFilter(const QString &path, TagFilter filter, bool useId3v2);

// The names (no path) of the files of folder that pass the mask and the
// filter, in the natural order of the list (by name, letter case ignored).
// The filter reads every listed file's tag; hooks get the progress (from
// the last entry to the first, as the list is thinned) and the event pump.
QStringList listFolderFiles(const QString &folder, MaskState mask, TagFilter filter, const RunHooks &hooks = {},
                            bool useId3v2 = false);

// Orders names by name with letter case ignored, as folder lists show them;
// names that differ only in case by their letters' codes.
void sortIgnoringCase(QStringList &names);

// A name with every leading character removed whose upper-case form is not
// a letter A..Z; empty when there is no such letter.
QString letterSortKey(const QString &name);
// Orders names by their keys, equal keys keeping their order; upper case
// sorts before lower case.
void letterSort(QStringList &names);

} // namespace kaz
