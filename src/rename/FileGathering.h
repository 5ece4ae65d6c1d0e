#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// What went into the file list "fl.kaz".
struct GatherResult {
    qint64 files = 0;
    // Folders with at least one MP3 file (the folder progress bar's count).
    qint64 folders = 0;
    // Paths left out because they hold a line break.
    QStringList skipped;
    // Files and folders left alone for another reason (a name that is not
    // valid UTF-8, a folder that cannot be listed), each with the reason.
    QStringList problems;
    // "fl.kaz" (or a folder list) could not be written whole: the run must
    // not start.
    bool listFailed = false;
};

// "*.mp3" in any letter case.
bool isMp3Name(const QString &name);

// Writes the selected files to "fl.kaz", in list order, as they are; a path
// given twice is taken once, where it first appears. With byIdentity, so is
// the same file under another name; a run that opens every file anyway tells
// those apart itself, by the open file.
GatherResult writeSelectionList(const QStringList &paths, bool byIdentity = true);

// Writes every MP3 file of the tree below startFolder to "fl.kaz", folder by
// folder in the order of the folder list (which is built on the way and left
// as "dl.kaz"). With testSizes, files of 144 bytes or less are left out;
// without it the caller does that when it reads the tags, which looks at the
// size anyway.
GatherResult writeTreeList(const QString &startFolder, bool testSizes);

} // namespace kaz
