#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// "sendto.kaz": the files handed from the file list to the copy/move/delete
// dialog, one full path per line, in list order.
struct SendToList {
    QStringList paths;     // every line
    QStringList names;     // names of the files that exist, without folder
    qint64 totalBytes = 0; // of the files that exist
    QString sourceFolder;  // folder of the last line, with "/"

    int count() const { return int(names.size()); }

    // Writes the list fresh; a path with a line break cannot be listed and is left out.
    static bool write(const QStringList &paths);
    static SendToList read();
};

} // namespace kaz
