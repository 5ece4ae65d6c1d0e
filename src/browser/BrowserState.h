#pragma once

#include "FileListing.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kaz {

// What the browser shows: the open folder, the mask and filter of the file
// list, the listed names and which of them are selected. The folder browser
// keeps it current; the pages and the main window read it.
struct BrowserState {
    QString folder;          // the open folder, without trailing "/" ("/" for the root)
    QString lastFolder;      // the folder shown before the last deactivation
    MaskState mask = MaskState::Mp3;
    TagFilter filter = TagFilter::All;
    bool letterSorted = false;
    bool useId3v2 = false;   // the filter counts an ID3v2 tag in place of a missing ID3v1 tag
    bool includeSubdirectories = false;
    QStringList files;       // the file list, in its order
    QList<int> selectedRows; // ascending

    QStringList selectedNames() const;
    int count() const { return int(files.size()); }
    int selectedCount() const { return int(selectedRows.size()); }
};

} // namespace kaz
