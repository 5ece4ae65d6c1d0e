#pragma once

#include <QString>
#include <QStringList>

class QProgressBar;

namespace kaz {

// The folder browser as the pages use it: the folder, its files and the
// selection, the two progress bars, and the commands that list again.
class HostFiles
{
public:
    virtual ~HostFiles() = default;

    virtual QString currentFolder() const = 0;
    virtual QStringList fileNames() const = 0;
    virtual QStringList selectedNames() const = 0;
    virtual bool includeSubdirectories() const = 0;
    // Selects the first file when none is selected; false for an empty list.
    virtual bool selectFirstIfNone() = 0;

    virtual QProgressBar *folderProgress() const = 0;
    virtual QProgressBar *fileProgress() const = 0;

    virtual void refillFileList() = 0;
    virtual void folderUpdate() = 0;
    virtual void openFolder(const QString &folder) = 0;
};

} // namespace kaz
